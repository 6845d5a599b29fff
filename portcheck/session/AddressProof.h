// What PortCheck knows of an address before it writes there, or reads a
// register whose read changes a device. Windows speaks first: an address it
// gives to another device (a serial port, a parallel port's other range),
// or where it lists no port at all, is not touched. Where it cannot say
// (no answer, as under Wine; an ISA PC), a 16550 serial port is told from a
// parallel port by base+1 and base+2 alone, reads that change nothing: its
// interrupt enable has bits 7-4 zero, and its interrupt identification one
// of the 16550's patterns. Reading base+0 of a serial port would take a
// received byte, base+5 or base+6 clear its error and change flags. The
// mainboard's own bases hold no serial port and need no such look.
#pragma once

#include <cstdint>
#include <string>

#include "PortIdentity.h"
#include "PortLibrary.h"

namespace portcheck {

// 0x378, 0x278 and 0x3BC.
bool IsMainboardBase(int base);

// Whether base+1 and base+2, as read, are a 16550's interrupt enable and
// interrupt identification. A parallel port whose inputs read low with BUSY
// high and whose control reads 0xC4 gives the same.
bool LooksLikeSerialPort(uint8_t plus1, uint8_t plus2);
// What was read and why it looks so; ends in a line feed.
std::string SerialPortMessage(int base, uint8_t plus1, uint8_t plus2, bool forced);

// What Windows' answer leaves a command to do at `base`.
struct AddressVerdict {
    std::string refusal;      // not empty: touch nothing, say this, exit 5
    bool fingerprint = true;  // look for a serial port's registers first
    int extendedBlock = -1;   // Windows names the port's extended block
    bool oxford = false;      // ... and an Oxford Semiconductor PCI vendor
};
AddressVerdict JudgeAddress(int base, const PortIdentity& windows, bool force);

// Windows is asked of every base but the mainboard's: there it has nothing
// to add, and asking takes a second copy of the program.
AddressVerdict CheckAddress(int base, bool force);

// For a command that writes nothing (--watch): what reads that change
// nothing prove. "" to go on; else why not, for exit 5.
std::string ProveByReading(PortReadEntry read, int base, bool force);

}  // namespace portcheck
