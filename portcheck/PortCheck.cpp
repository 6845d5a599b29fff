// PortCheck: tests a parallel port and its cable with a loopback plug, in
// one command, through the same port library as the panel; probes what
// answers at an address, sets an ECP port's mode, lists the ports Windows
// knows, says why the port library can't reach the port, and records the
// port's lines. Problems go to stderr; the exit code says how it went
// (ExitCodes.h, CheckUsage).
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "CheckArgs.h"
#include "DriverCheck.h"
#include "ExitCodes.h"
#include "ListCommand.h"
#include "PortIdentity.h"
#include "LoopbackCommand.h"
#include "PortCommand.h"
#include "ProbeCommand.h"
#include "SetModeCommand.h"
#include "WatchCommand.h"

namespace {

using namespace portcheck;

int Run(const CheckOptions& options) {
    switch (options.command) {
    case Command::Help: std::fputs(CheckUsage(), stdout); return kExitOk;
    case Command::List: return ListPorts();
    case Command::Driver: return CheckDriver();
    case Command::Test: return RunOnPort(options, {&LoopbackCommand, "the test", ""});
    case Command::Probe: return RunOnPort(options, {&ProbeCommand, "the probe", ProbeWarning(options.base)});
    case Command::SetMode:
        return RunOnPort(options, {&SetModeCommand, "the mode change", SetModeWarning(options.base)});
    case Command::Watch: return RunWatch(options);
    }
    return kExitBadArguments;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], kListWorkerOption) == 0) return ListPortsWorker();
    if (argc == 3 && std::strcmp(argv[1], kPortWorkerOption) == 0) return PortIdentityWorker(argv[2]);
    const ParsedArgs parsed = ParseCheckArgs(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.ok) {
        std::fprintf(stderr, "PortCheck: %s\n%s", parsed.error.c_str(), ShortUsage().c_str());
        return kExitBadArguments;
    }
    // Caught here so that the port session unwinds and puts the port back.
    try {
        return Run(parsed.options);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "PortCheck: %s\n", e.what());
        return kExitFault;
    }
}
