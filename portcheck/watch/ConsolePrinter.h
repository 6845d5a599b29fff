// Standard output of --watch through a thread of its own, from the first
// line on: a console that reads nothing (a selection in it, a pipe nobody
// reads) holds up that thread alone, never the recording or the file. The
// lines wait in a backlog (ConsoleBacklog) shared with the writer; at the
// end the printer has a moment to print what is left, and no more.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

#include "ConsoleBacklog.h"

namespace portcheck {

// The backlog between the writer's thread and the console's.
class SharedBacklog {
public:
    SharedBacklog() { InitializeCriticalSection(&lock_); }
    ~SharedBacklog() { DeleteCriticalSection(&lock_); }
    SharedBacklog(const SharedBacklog&) = delete;
    SharedBacklog& operator=(const SharedBacklog&) = delete;

    // `always`: lines never dropped.
    void Add(const std::string& lines, bool always = false);
    std::string Take();
    std::atomic<bool> finished{false};  // nothing more will be added

private:
    CRITICAL_SECTION lock_;
    ConsoleBacklog backlog_;
};

class ConsolePrinter {
public:
    ConsolePrinter();
    ~ConsolePrinter();  // prints what is left, for a moment at most
    ConsolePrinter(const ConsolePrinter&) = delete;
    ConsolePrinter& operator=(const ConsolePrinter&) = delete;

    bool running() const { return thread_ != nullptr; }
    // Lines that are never dropped.
    void Show(const std::string& text) { backlog_.Add(text, true); }
    SharedBacklog& backlog() { return backlog_; }

private:
    SharedBacklog backlog_;
    HANDLE thread_;
};

}  // namespace portcheck
