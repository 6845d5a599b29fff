// The port I/O library ("inpout32.dll") and the two register operations
// everything else uses.
#pragma once

// Loads "inpout32.dll" and resolves "Inp32" and "Out32", once. On failure it
// shows which step failed and returns -1; 0 when both entry points are bound.
// The current directory is not searched for the library, so a DLL planted
// there can't take over the port.
int BindPortLibrary();

namespace PortIo {

// Reads the register at the port's low 16 bits; the register byte is in the
// low 8 bits of the result. Unbound: 0xFF, what a PC reads from an I/O
// address with nothing behind it.
short Read(int port);

// Writes the value's low 16 bits to the port's low 16 bits. Unbound: nothing.
void Write(int port, int value);

}  // namespace PortIo
