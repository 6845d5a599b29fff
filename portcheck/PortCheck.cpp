// PortCheck: tests a parallel port and its cable with a loopback plug, in
// one command, through the same port library as the panel. Problems go to
// stderr; the exit code says how it went (see CheckUsage).
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "CheckArgs.h"
#include "CheckReport.h"
#include "ListCommand.h"
#include "LoopbackRun.h"
#include "PortLibrary.h"
#include "StopRequest.h"

namespace {

using namespace portcheck;

enum ExitCode { kPassed = 0, kFaultFound = 1, kBadArguments = 2, kNoPortLibrary = 3, kInterrupted = 4 };

int Check(const CheckOptions& options) {
    PortLibrary library;
    const PortBinding binding = LoadPortLibrary(&library);
    if (binding != PortBinding::Bound) {
        std::fprintf(stderr, "PortCheck: %s", PortBindingMessage(binding));
        return kNoPortLibrary;
    }
    StopRequest::Install();
    const RunRecord record = RunPatterns(library, options.base, *options.plug, &StopRequest::Requested);
    StopRequest::PortRestored();
    if (record.interrupted) {
        std::fprintf(stderr, "PortCheck: interrupted; data 0x%02X and control 0x%02X put back\n",
                     record.found.data, record.found.control);
        return kInterrupted;
    }
    const CheckResult result = Evaluate(record.observations);
    std::fputs(Report(*options.plug, result, options.base).c_str(), stdout);
    return result.faulty == 0 ? kPassed : kFaultFound;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], kListWorkerOption) == 0) return ListPortsWorker();
    const ParsedArgs parsed = ParseCheckArgs(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.ok) {
        std::fprintf(stderr,
                     "PortCheck: %s\nusage: PortCheck [--plug data|control] BASE (or --list, or --help)\n",
                     parsed.error.c_str());
        return kBadArguments;
    }
    if (parsed.options.help) {
        std::fputs(CheckUsage(), stdout);
        return kPassed;
    }
    if (parsed.options.list) return ListPorts();
    return Check(parsed.options);
}
