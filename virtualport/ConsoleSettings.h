// The console's commands that change the port, or access it as a program
// does: each applied to the port state, with what to tell the user.
#pragma once

#include <string>

#include "ConsoleArgs.h"
#include "PortState.h"

namespace vport {

struct ConsoleOutcome {
    int exitCode = 0;  // 0 done; 2 refused, nothing changed
    std::string out;   // what was done
    std::string err;   // notes, or why it was refused
};

// Applies a command other than help, show, watch, log and reset.
ConsoleOutcome ApplySetting(PortState& port, const ConsoleCommand& command);

}  // namespace vport
