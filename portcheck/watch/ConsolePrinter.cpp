#include "ConsolePrinter.h"

namespace portcheck {

namespace {

const DWORD kConsolePauseMs = 20;
// At the end, how long the console may take to print the summary: one that
// reads nothing must not keep the program running.
const DWORD kConsoleGraceMs = 500;

// Written with WriteFile, not the C library's streams: a console that reads
// nothing blocks this thread only, and the program ends without it.
void Print(HANDLE out, const std::string& text) {
    std::string lines;
    for (char c : text) {
        if (c == '\n') lines += '\r';
        lines += c;
    }
    DWORD written = 0;
    if (!lines.empty()) WriteFile(out, lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr);
}

DWORD WINAPI ConsoleThread(void* context) {
    SharedBacklog& backlog = *static_cast<SharedBacklog*>(context);
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    for (bool last = false; !last;) {
        last = backlog.finished.load();
        Print(out, backlog.Take());
        if (!last) Sleep(kConsolePauseMs);
    }
    return 0;
}

}  // namespace

void SharedBacklog::Add(const std::string& lines, bool always) {
    if (lines.empty()) return;
    EnterCriticalSection(&lock_);
    always ? backlog_.AddAlways(lines) : backlog_.Add(lines);
    LeaveCriticalSection(&lock_);
}

std::string SharedBacklog::Take() {
    EnterCriticalSection(&lock_);
    std::string text = backlog_.Take();
    LeaveCriticalSection(&lock_);
    return text;
}

ConsolePrinter::ConsolePrinter() : thread_(CreateThread(nullptr, 0, &ConsoleThread, &backlog_, 0, nullptr)) {}

ConsolePrinter::~ConsolePrinter() {
    backlog_.finished.store(true);
    if (thread_ == nullptr) return;
    WaitForSingleObject(thread_, kConsoleGraceMs + 2 * kConsolePauseMs);
    CloseHandle(thread_);
}

}  // namespace portcheck
