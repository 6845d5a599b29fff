#include "ListCommand.h"

#include <cstdio>
#include <cstring>

#include "PortListText.h"
#include "WindowsPorts.h"
#include "WindowsError.h"

namespace portcheck {

namespace {

std::string CannotList(const std::string& why) {
    return "PortCheck: cannot list the ports here: " + why + "\n";
}

std::string Code(const char* format, unsigned long value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// A crash in the second copy ends it at once, with the exception's code as
// its exit code: no crash dialog, no debugger, nothing for a person to
// close. The first copy reports it.
LONG WINAPI EndQuietly(EXCEPTION_POINTERS*) { return EXCEPTION_EXECUTE_HANDLER; }

void WriteAll(HANDLE output, const std::string& text) {
    for (size_t done = 0; done < text.size();) {
        DWORD written = 0;
        const DWORD left = static_cast<DWORD>(text.size() - done);
        if (!WriteFile(output, text.data() + done, left, &written, nullptr) || written == 0) return;
        done += written;
    }
}

}  // namespace

CommandOutput JudgeListRun(const ChildRun& run) {
    CommandOutput outcome;
    outcome.exitCode = kExitCannotList;
    switch (run.outcome) {
    case ChildRun::NotStarted:
        outcome.err = CannotList("PortCheck could not start its second copy, which asks Windows: " +
                                 WindowsErrorText(run.startError));
        break;
    case ChildRun::TimedOut:
        outcome.err = CannotList("Windows' device configuration did not answer within " +
                                 std::to_string(kListTimeoutMs / 1000) + " s");
        break;
    case ChildRun::Exited:
        if (run.exitCode == 0) {
            outcome.exitCode = 0;
            outcome.out = run.output;
        } else if (run.exitCode == static_cast<DWORD>(kExitCannotList)) {
            outcome.err = CannotList(run.output);
        } else {
            outcome.err = CannotList("asking Windows' device configuration ended PortCheck's second copy" +
                                     Code(" (code 0x%08lX)", run.exitCode));
        }
        break;
    }
    return outcome;
}

int ListPorts() { return Print(JudgeListRun(RunSecondCopy(kListWorkerOption, kListTimeoutMs))); }

void EndWorkerQuietly() {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(EndQuietly);
}

int ListPortsWorker() {
    EndWorkerQuietly();
    const WindowsPorts ports = ReadWindowsPorts();
    WriteAll(GetStdHandle(STD_OUTPUT_HANDLE), ports.ok ? PortListText(ports.ports) : ports.error);
    return ports.ok ? 0 : kExitCannotList;
}

}  // namespace portcheck
