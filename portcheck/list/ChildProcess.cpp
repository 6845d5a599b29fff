#include "ChildProcess.h"

#include <windows.h>

#include <algorithm>

namespace portcheck {

namespace {

constexpr DWORD kPollMs = 10;

// Moves what the pipe holds now into `output`, without waiting for more:
// the child never stalls on a full pipe, and nothing here blocks.
void TakeAvailable(HANDLE pipe, std::string* output) {
    for (;;) {
        DWORD available = 0;
        if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) || available == 0) return;
        char buffer[4096];
        DWORD read = 0;
        const DWORD wanted = std::min<DWORD>(available, sizeof buffer);
        if (!ReadFile(pipe, buffer, wanted, &read, nullptr) || read == 0) return;
        output->append(buffer, read);
    }
}

}  // namespace

ChildRun RunChild(const std::wstring& program, const std::wstring& arguments, DWORD timeoutMs) {
    ChildRun run;
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) {
        run.startError = GetLastError();
        return run;
    }
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    PROCESS_INFORMATION process = {};
    // No console window of its own flashes up when PortCheck runs from a shortcut.
    const BOOL started = CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                        nullptr, nullptr, &startup, &process);
    if (!started) run.startError = GetLastError();
    CloseHandle(writeEnd);
    if (started) {
        CloseHandle(process.hThread);
        const DWORD start = GetTickCount();
        run.outcome = ChildRun::Exited;
        for (;;) {
            TakeAvailable(readEnd, &run.output);
            if (WaitForSingleObject(process.hProcess, kPollMs) != WAIT_TIMEOUT) break;
            if (GetTickCount() - start >= timeoutMs) {
                run.outcome = ChildRun::TimedOut;
                TerminateProcess(process.hProcess, 1);
                WaitForSingleObject(process.hProcess, kPollMs * 100);
                break;
            }
        }
        TakeAvailable(readEnd, &run.output);
        GetExitCodeProcess(process.hProcess, &run.exitCode);
        CloseHandle(process.hProcess);
    }
    CloseHandle(readEnd);
    return run;
}

ChildRun RunSecondCopy(const std::string& arguments, DWORD timeoutMs) {
    wchar_t self[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (length == 0 || length == MAX_PATH) {
        ChildRun run;
        run.startError = length ? ERROR_FILENAME_EXCED_RANGE : GetLastError();
        return run;
    }
    return RunChild(self, std::wstring(arguments.begin(), arguments.end()), timeoutMs);
}

}  // namespace portcheck
