// PortCheck's exit codes, one list for every command; --help builds its
// list of them from kExitCodeMeanings.
#pragma once

namespace portcheck {

enum ExitCode : int {
    kExitOk = 0,
    kExitFault = 1,
    kExitBadArguments = 2,
    kExitNoPortLibrary = 3,
    kExitInterrupted = 4,
    kExitNoPort = 5,
    kExitDisturbed = 6,
    kExitCannotList = 7,
};

struct ExitCodeMeaning {
    ExitCode code;
    const char* meaning;
};

inline constexpr ExitCodeMeaning kExitCodeMeanings[] = {
    {kExitOk, "all lines ok (--probe: the panel's outputs reach the pins)"},
    {kExitFault, "a fault found (--probe: the outputs do not reach the pins in this mode)"},
    {kExitBadArguments, "bad arguments"},
    {kExitNoPortLibrary, "the port library inpout32.dll is missing, lacks an entry point, or its driver is not running"},
    {kExitInterrupted, "interrupted (the port was put back)"},
    {kExitNoPort, "no port answers at that address"},
    {kExitDisturbed, "another program or Windows' printer polling wrote to the port meanwhile"},
    {kExitCannotList, "Windows cannot list its ports here (--list)"},
};

}  // namespace portcheck
