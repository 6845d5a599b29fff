// PortCheck's exit codes, one list for every command (--help and the
// READMEs give them to the user).
#pragma once

namespace portcheck {

enum ExitCode : int {
    kExitOk = 0,             // all lines ok; --probe: the panel's outputs reach the pins
    kExitFault = 1,          // a fault found; --probe: the outputs do not reach the pins
    kExitBadArguments = 2,
    kExitNoPortLibrary = 3,  // the port library is missing, incomplete, or its driver is not running
    kExitInterrupted = 4,    // Ctrl+C (the port put back)
    kExitNoPort = 5,         // no parallel port answers at that address
    kExitDisturbed = 6,      // another program wrote to the port meanwhile
    kExitCannotList = 7,     // --list: Windows cannot list its ports here
};

}  // namespace portcheck
