// Runs a program as a child process and collects what it writes to its
// standard output, for a limited time: a child that has not ended by then
// is ended. The child shares the console and standard error.
#pragma once

#include "WinTypes.h"

#include <string>

namespace portcheck {

struct ChildRun {
    enum Outcome { NotStarted, Exited, TimedOut };
    Outcome outcome = NotStarted;
    DWORD exitCode = 0;    // Exited: its exit code (the exception's code where it crashed)
    DWORD startError = 0;  // NotStarted: Windows' error code
    std::string output;    // its standard output, byte for byte, up to the end or the time limit
};

ChildRun RunChild(const std::wstring& program, const std::wstring& arguments, DWORD timeoutMs);
// A second copy of this program, with `arguments`.
ChildRun RunSecondCopy(const std::string& arguments, DWORD timeoutMs);

}  // namespace portcheck
