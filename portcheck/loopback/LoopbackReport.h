// What PortCheck prints about a finished loopback test.
#pragma once

#include <cstdint>
#include <string>

#include "LoopbackVerdict.h"
#include "PortSession.h"

namespace portcheck {

// A heading, one line per wired pair, and the verdict, each ending in "\n":
//   Testing the port at 0x378 with the data loopback plug
//     pin  2 D0         -> pin 15 /ERROR     ok
//     pin  3 D1         -> pin 13 SELECT     stuck low
//     ...
//   FAIL: 1 of 5 lines faulty (not tested: pins 7-9, D5-D7)
// `settleMicros`: the wait after each pattern, named where a line was unstable.
std::string Report(const LoopbackPlug& plug, const RoundsResult& result, int base, int64_t settleMicros);

// The heading and verdict when lines of the plug read back other than
// written: each by its pin.
std::string LineFaultReport(const LoopbackPlug& plug, int base, const LineFault& fault);

// The heading and verdict when the data register kept its value whatever
// was written.
std::string DataNotTakenReport(const LoopbackPlug& plug, int base, uint8_t written, uint8_t read);

}  // namespace portcheck
