// What PortCheck says about its session on a port, whichever command ran:
// no port at the address, another writer, and what was put back.
#pragma once

#include <string>

#include "PortSession.h"

namespace portcheck {

// Each ends in a line feed.
std::string NoPortMessage(int base);
// `during`: what PortCheck was doing, e.g. "the test".
std::string DisturbedMessage(const PortSession& session, const char* during);
// What was put back and checked, what could not be, and what was left cleared.
std::string RestoreLines(const RestoreOutcome& outcome);

}  // namespace portcheck
