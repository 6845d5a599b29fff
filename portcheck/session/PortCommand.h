// What the commands that use a port share: the port library bound, Ctrl+C
// held off until the port is back, the session begun (no port, or another
// writer before the first write, end it there), the command's own work,
// the restore and what it says, and the exit code.
#pragma once

#include <string>

#include "CheckArgs.h"
#include "CommandOutput.h"
#include "PortSession.h"

namespace portcheck {


// A command's work on a begun session; it leaves the restore to RunOnPort.
// The restore's lines follow its err where that isn't empty, else its out.
using SessionWork = CommandOutput (*)(PortSession& session, const CheckOptions& options);

struct PortCommand {
    SessionWork work;
    const char* during;   // for the other-writer message: "the test"
    std::string warning;  // printed just before the first write; may be empty
};

int RunOnPort(const CheckOptions& options, const PortCommand& command);

// The output once the session is back: another writer turns it into exit
// 6, a restore that did not hold into a fault, and the restore's lines are
// added.
CommandOutput Finish(CommandOutput output, const PortSession& session, const RestoreOutcome& restored,
                     const char* during);

}  // namespace portcheck
