// `PortCheck --list`: the parallel ports Windows knows, one line each.
//
// A second copy of PortCheck, started with kListWorkerOption, asks Windows
// and writes the list to its standard output; this copy prints it. Where
// Windows' configuration manager is only a stub (Wine), its calls end the
// process that makes them, and no guard inside that process can go on
// soundly: the first copy stays to say that the ports cannot be listed here,
// also when the second crashes or hangs.
#pragma once

#include <string>

#include "ChildProcess.h"
#include "CommandOutput.h"
#include "ExitCodes.h"

namespace portcheck {

constexpr const char* kListWorkerOption = "--list-worker";  // not in the usage text
constexpr DWORD kListTimeoutMs = 10000;

// The first copy: runs the second and prints what it found. Returns the
// exit code: 0 listed (also when there are no ports), kExitCannotList not.
int ListPorts();

// The second copy: asks Windows and writes the list, or why there is none,
// to standard output. Returns 0 or kExitCannotList.
int ListPortsWorker();

// In the second copy: a crash ends it at once, quietly, the exception's
// code its exit code.
void EndWorkerQuietly();

// What the first copy makes of the second's run.
CommandOutput JudgeListRun(const ChildRun& run);

}  // namespace portcheck
