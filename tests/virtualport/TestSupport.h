// Helpers for the virtual port's tests: where the built library and console
// are, a port state of a test's own, and running the console.
#pragma once

#include <windows.h>

#include <string>

#include "PortState.h"

namespace vport_test {

// The port library's entry points, as the panel calls them.
using Inp32Fn = short(__stdcall*)(short);
using Out32Fn = void(__stdcall*)(short, short);
using DriverOpenFn = BOOL(__stdcall*)();

// The entry point `name` of `module` as a function of type Fn, or null.
template <class Fn>
Fn FindEntry(HMODULE module, const char* name) {
    // Through void(*)(), the cast every compiler accepts between function types.
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// A built file, given by its path relative to the test program's folder.
std::string BuiltFile(const char* relativePath);

// Points TARNWICK_VPORT at a name of this test's own for its lifetime, so it
// starts from a new, freshly initialised state; its file is removed before
// and after.
class ScopedPortName {
public:
    explicit ScopedPortName(const std::string& suffix);
    ~ScopedPortName();
    const std::string& name() const { return name_; }

private:
    std::string name_;
    std::string previous_;
    bool hadPrevious_;
};

// Writes the port's state file with `bytes` bytes starting with `magic`
// and `version`, as an older or foreign program might have left it.
void WriteStateFile(DWORD bytes, uint32_t magic, uint32_t version);

// A mapping under the port's name that holds something else: `bytes` long,
// starting with `magic` and `version`. Lets tests see how a port that can't
// be shared is handled.
class ForeignMapping {
public:
    ForeignMapping(const std::string& name, DWORD bytes, uint32_t magic, uint32_t version);
    ~ForeignMapping();
    uint32_t* words() const { return static_cast<uint32_t*>(view_); }

private:
    HANDLE mapping_;
    void* view_;
};

struct ProcessResult {
    DWORD processId = 0;
    DWORD exitCode = 0;
    std::string out;
    std::string err;
};

// Runs `exe` with the command line tail `args`, waits, and collects its
// output with line ends as "\n".
ProcessResult RunProcess(const std::string& exe, const std::string& args);

// The same with a standard output nobody reads (a pipe of the smallest
// buffer, read only once the process ended): `elapsedMs` from its start to
// its end. A process still running after `timeoutMs` is ended, exit ~0u.
ProcessResult RunProcessUnread(const std::string& exe, const std::string& args, DWORD timeoutMs, DWORD* elapsedMs);

}  // namespace vport_test
