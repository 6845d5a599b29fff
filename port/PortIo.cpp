#include "PortIo.h"

#include <windows.h>

#include <string>

#include "Forms.h"

namespace {

using ReadEntry = short(__stdcall*)(short port);
using WriteEntry = void(__stdcall*)(short port, short value);

// Set once by BindPortLibrary and kept to the end of the process.
HMODULE library = nullptr;
ReadEntry readEntry = nullptr;
WriteEntry writeEntry = nullptr;

// Keeps the current directory out of the library search. The program's own
// folder stays first, as in the normal search order.
void ExcludeCurrentDirectoryFromSearch() {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n == MAX_PATH) return;
    std::string folder(path, n);
    folder.erase(folder.find_last_of("\\/") + 1);
    SetDllDirectoryA(folder.c_str());
}

template <class Entry>
Entry Resolve(const char* name) {
    // The entry points are plain functions of the documented types.
    return reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

}  // namespace

int BindPortLibrary() {
    ExcludeCurrentDirectoryFromSearch();
    library = LoadLibraryA("inpout32.dll");
    if (!library) {
        ShowMessage("LoadLibrary Failed.\n");
        return -1;
    }
    readEntry = Resolve<ReadEntry>("Inp32");
    if (!readEntry) {
        ShowMessage("GetProcAddress for Inp32 Failed.\n");
        return -1;
    }
    writeEntry = Resolve<WriteEntry>("Out32");
    if (!writeEntry) {
        ShowMessage("GetProcAddress for Oup32 Failed.\n");
        return -1;
    }
    return 0;
}

namespace PortIo {

short Read(int port) {
    return readEntry ? readEntry(static_cast<short>(port)) : short{0xFF};
}

void Write(int port, int value) {
    if (writeEntry) writeEntry(static_cast<short>(port), static_cast<short>(value));
}

}  // namespace PortIo
