#include "PortLibrary.h"

#include <string>

namespace {

using DriverOpenEntry = BOOL(__stdcall*)();
using SetDllDirectoryEntry = BOOL(WINAPI*)(LPCSTR);

template <class Entry>
Entry Resolve(HMODULE module, const char* name) {
    // The entry points are plain functions of the documented types.
    return reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Keeps the current directory out of the library search: a DLL planted
// there must not take over the port. The program's own folder stays first,
// as in the normal search order. SetDllDirectoryA came with XP SP1, so it is
// looked up rather than imported: the program still starts where it is
// missing.
void ExcludeCurrentDirectoryFromSearch() {
    const auto setDllDirectory =
        Resolve<SetDllDirectoryEntry>(GetModuleHandleA("kernel32.dll"), "SetDllDirectoryA");
    if (!setDllDirectory) return;
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n == MAX_PATH) return;
    std::string folder(path, n);
    folder.erase(folder.find_last_of("\\/") + 1);
    setDllDirectory(folder.c_str());
}

}  // namespace

PortBinding LoadPortLibrary(PortLibrary* library) {
    *library = PortLibrary{};
    ExcludeCurrentDirectoryFromSearch();
    library->module = LoadLibraryA("inpout32.dll");
    if (!library->module) return PortBinding::NoLibrary;
    library->read = Resolve<PortReadEntry>(library->module, "Inp32");
    if (!library->read) return PortBinding::NoInp32;
    library->write = Resolve<PortWriteEntry>(library->module, "Out32");
    if (!library->write) return PortBinding::NoOut32;
    // Older versions of the library don't say; theirs is taken to be open.
    // Until its driver is installed, the library reads 0 and drops writes.
    const auto driverOpen = Resolve<DriverOpenEntry>(library->module, "IsInpOutDriverOpen");
    if (driverOpen && !driverOpen()) {
        library->read = nullptr;
        library->write = nullptr;
        return PortBinding::DriverNotRunning;
    }
    return PortBinding::Bound;
}

const char* PortBindingMessage(PortBinding binding) {
    switch (binding) {
    case PortBinding::Bound: return "";
    case PortBinding::NoLibrary: return "LoadLibrary Failed.\n";
    case PortBinding::NoInp32: return "GetProcAddress for Inp32 Failed.\n";
    case PortBinding::NoOut32: return "GetProcAddress for Oup32 Failed.\n";
    case PortBinding::DriverNotRunning:
        return "inpout32.dll is loaded, but its port driver is not running.\n"
               "Start Tarnwick once with Run as administrator, so that the library can install its driver.\n";
    }
    return "";
}
