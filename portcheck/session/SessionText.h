// What PortCheck says about its session on a port, whichever command ran:
// no port at the address, another writer, and what was put back.
#pragma once

#include <string>

#include "PortSession.h"

namespace portcheck {

// The lines of a fault, without a line feed: "pin 2 (D0) reads back low
// where PortCheck drives it high; pin ...".
std::string LineFaultText(const LineFault& fault);

// Each ends in a line feed.
// `latchTested`: the data register was written and held nothing (--watch
// only reads, and can tell no more than that all three read 0xFF).
std::string NoPortMessage(int base, bool latchTested = true);
// After the check that a port answers failed: what it wrote and read.
std::string NoPortMessage(const PortSession& session);
// `during`: what PortCheck was doing, e.g. "the test".
std::string DisturbedMessage(const PortSession& session, const char* during);
// What was put back and checked, what could not be, and what was left cleared.
std::string RestoreLines(const RestoreOutcome& outcome);

}  // namespace portcheck
