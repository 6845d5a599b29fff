// What PortCheck prints about a finished test.
#pragma once

#include <string>

#include "PatternCheck.h"

namespace portcheck {

// A heading, one line per wired pair, and the verdict, each ending in "\n":
//   Testing the port at 0x378 with the data loopback plug
//     pin  2 D0         -> pin 15 /ERROR     ok
//     pin  3 D1         -> pin 13 SELECT     stuck low
//     ...
//   FAIL: 1 of 5 lines faulty
std::string Report(const LoopbackPlug& plug, const CheckResult& result, int base);

}  // namespace portcheck
