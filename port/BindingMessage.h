// What the user is told when the port library can't be bound.
#pragma once

#include <string>

#include "PortLibrary.h"

// The text that tells the user what failed, ending in a line feed; empty
// for Bound. Where the library's driver is not running, it names the
// likeliest cause and what to do, from what Windows tells (asked only then).
std::string PortBindingMessage(PortBinding binding, const PortLibrary& library);
