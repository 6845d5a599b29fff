// PortCheck --driver, and the cause PortCheck's port commands give where the
// port library can't reach the port (exit 3).
#pragma once

#include <string>

#include "PortLibrary.h"

namespace portcheck {

// Binds the library, then prints every fact of the diagnosis with its
// source, the cause and what to do. 0 where the library and its driver
// reach the port, else 3.
int CheckDriver();

// Binds the library for a command on the port at `base`. Empty where the
// port can be worked; otherwise what to print on stderr: the binding's
// message and the cause, or, for a library without "IsInpOutDriverOpen"
// whose port reads 0 everywhere and keeps nothing written to its data latch,
// that cause (a copy whose driver does not run).
// `readsOnly` (--watch): a library without Out32 will do, and the port is
// not written to tell an old library: that needs a write to the latch.
std::string BindForPort(PortLibrary* library, int base, bool readsOnly = false);

// For --watch, which reads only: where the library can't tell whether its
// driver runs, the line that says so and what shows it; else empty.
std::string UnreportedDriverNote(const PortLibrary& library);

}  // namespace portcheck
