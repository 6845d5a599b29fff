#include "PortIo.h"

#include "BindingMessage.h"

namespace {

// Set once by BindPortLibrary and kept to the end of the process.
void* library = nullptr;
PortReadEntry readEntry = nullptr;
PortWriteEntry writeEntry = nullptr;

}  // namespace

PortBindOutcome BindPortLibrary() {
    PortLibrary bound;
    const PortBinding result = LoadPortLibrary(&bound);
    library = bound.module;
    readEntry = bound.read;
    writeEntry = bound.write;
    if (result == PortBinding::Bound) return {0, ""};
    return {-1, PortBindingMessage(result, bound)};
}

namespace PortIo {

bool CanRead() { return readEntry != nullptr; }

bool CanWrite() { return writeEntry != nullptr; }

short Read(int port) {
    return readEntry ? readEntry(static_cast<short>(port)) : short{0xFF};
}

void Write(int port, int value) {
    if (writeEntry) writeEntry(static_cast<short>(port), static_cast<short>(value));
}

}  // namespace PortIo
