// The port I/O library ("inpout32.dll") and the two register operations
// everything else uses.
#pragma once

#include <string>

// How binding went: result 0 when both entry points are bound, -1 when a
// step failed, with the text that tells the user which (ending in a line
// feed; empty when bound). The caller shows it.
struct PortBindOutcome {
    int result;
    std::string message;
};

// Loads "inpout32.dll" and resolves "Inp32" and "Out32", once. The library
// is taken only from the program's folder or the system folder, so a DLL
// planted elsewhere can't take over the port.
PortBindOutcome BindPortLibrary();

namespace PortIo {

// Whether reads, and writes, reach the port. Neither does without the
// library, without "Inp32" or while its driver is not running; only reads do
// without "Out32". Fixed by BindPortLibrary for the rest of the run.
bool CanRead();
bool CanWrite();

// Reads the register at the port's low 16 bits; the register byte is in the
// low 8 bits of the result. Unbound it reaches nothing and returns 0xFF, as
// an empty bus would: check CanRead before showing what it returns.
short Read(int port);

// Writes the value's low 16 bits to the port's low 16 bits. Unbound: nothing.
void Write(int port, int value);

}  // namespace PortIo
