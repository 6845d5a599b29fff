// Finding and binding the port I/O library "inpout32.dll", with no user
// interface of its own: the panel shows the outcome in a message box,
// PortCheck prints it on stderr (BindingMessage.h).
#pragma once

#include <string>
#include <vector>

#include "WinTypes.h"

// The library's entry points are __stdcall, which only 32-bit Windows tells
// apart; a native build of the logic has no such convention.
#ifdef _WIN32
#define PORT_LIBRARY_CALL __stdcall
#else
#define PORT_LIBRARY_CALL
#endif
using PortReadEntry = short(PORT_LIBRARY_CALL*)(short port);
using PortWriteEntry = void(PORT_LIBRARY_CALL*)(short port, short value);

enum class PortBinding {
    Bound,             // both entry points resolved, and the driver is open (or not reported)
    NoLibrary,         // no "inpout32.dll" that loads in the program's folder or the system folder
    NoInp32,           // loaded, but no "Inp32"; "Out32" is then not looked for
    NoOut32,           // "Inp32" resolved, no "Out32"
    DriverNotRunning,  // complete, but the library says its kernel driver is not open
};

// One place the library was looked for: its full path, and Windows' error
// for it (0 where it loaded).
struct LoadAttempt {
    std::wstring path;
    DWORD error = 0;
};

// What was bound. After NoOut32 only `read` is set; after DriverNotRunning
// neither entry point is, so nothing calls into a library that reaches no
// port. The module stays loaded to the end of the process.
struct PortLibrary {
    void* module = nullptr;  // the loaded module's handle, for Windows' calls only
    PortReadEntry read = nullptr;
    PortWriteEntry write = nullptr;
    bool reportsDriver = false;  // it exports "IsInpOutDriverOpen"
};

// Loads "inpout32.dll" by full path from the program's own folder, or else
// from the Windows system folder, and from nowhere else (not the current
// directory, not PATH). Then resolves "Inp32" and "Out32", stopping at the
// first that is missing. A library that also exports "IsInpOutDriverOpen" is
// asked whether its driver is open. Where `attempts` is given, each path
// tried is added to it with Windows' error for it.
PortBinding LoadPortLibrary(PortLibrary* library, std::vector<LoadAttempt>* attempts = nullptr);
