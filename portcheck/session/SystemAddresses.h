// I/O addresses that every PC gives to its own chips and no parallel port
// can have: a write there can hang the PC or reset a disk (at 0x3F6, say,
// the disk controller's reset bit is where a port at 0x3F4 would have its
// control register). PortCheck touches none of them.
#pragma once

#include <string>

namespace portcheck {

// Empty when none of the addresses first..last is the PC's own; otherwise
// which range it is and whose, e.g. "0x3F0-0x3F7, the floppy and hard disk
// controllers".
std::string SystemRangeAmong(int first, int last);

}  // namespace portcheck
