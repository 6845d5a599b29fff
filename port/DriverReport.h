// The diagnosis as text: every fact with where it came from (PortCheck
// --driver), the cause and what to do, and the panel's message when the
// library's driver is not running.
#pragma once

#include <string>

#include "DriverCause.h"

// One line per fact, "name: value [source]", each ending in a line feed.
std::string FactLines(const DriverFacts& facts);

// "cause: ..." and, where something is to be done, "what to do: ...", then,
// where the install state is the cause and protections are on, "if Windows
// then refuses the driver: ..." with them; each ending in a line feed.
std::string CauseLines(const DriverFacts& facts);

// The start of the line with the protections that are on.
extern const char kIfRefused[];

// The first line of the message where the library's driver is not running.
extern const char kDriverNotRunningLine[];

// The panel's message for a library whose driver is not running: the cause
// and what to do, in four short lines ending in a line feed.
std::string DriverNotRunningMessage(const DriverFacts& facts);
