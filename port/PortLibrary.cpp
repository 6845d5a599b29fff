#include "PortLibrary.h"

#include <windows.h>

#include <cwchar>
#include <vector>

#include "SystemLibrary.h"

namespace {

using DriverOpenEntry = BOOL(__stdcall*)();
using SetDllDirectoryEntry = BOOL(WINAPI*)(LPCWSTR);

constexpr wchar_t kLibraryName[] = L"inpout32.dll";

template <class Entry>
Entry Resolve(HMODULE module, const char* name) {
    // The entry points are plain functions of the documented types.
    return reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// A path as the wide-character calls take it, without its terminator. Wide
// characters, so that a folder named outside the ANSI code page works.
using Path = std::vector<wchar_t>;

// The running program's folder, with its trailing backslash; empty if it
// can't be had. The buffer grows for long paths (XP truncates without
// saying so: a full buffer means try a bigger one).
Path ProgramFolder() {
    constexpr size_t kLongestPath = 32768;
    Path path(MAX_PATH);
    DWORD n = 0;
    while ((n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) >= path.size()) {
        if (path.size() >= kLongestPath) return {};
        path.resize(path.size() * 2);
    }
    while (n > 0 && path[n - 1] != L'\\' && path[n - 1] != L'/') --n;
    path.resize(n);
    return path;
}

// The Windows system folder, with its trailing backslash; empty if it can't
// be had. A 32-bit program on 64-bit Windows is redirected from there to the
// 32-bit system folder, where the 32-bit library belongs.
Path SystemFolder() {
    const UINT size = GetSystemDirectoryW(nullptr, 0);  // counts the terminator
    Path path(size);
    const UINT n = size > 0 ? GetSystemDirectoryW(path.data(), size) : 0;
    if (n == 0 || n >= size) return {};
    path.resize(n);
    if (path.back() != L'\\') path.push_back(L'\\');
    return path;
}

// The library's own imports are looked up by the normal search, which
// includes the current directory. Taking that out, for the whole process,
// leaves the program's folder and the system folders, where Windows' own
// DLLs are found, before PATH. (Loading with an altered search path would
// only start that search in the library's folder, the current directory
// still included.) SetDllDirectoryW came with XP SP1, so it is looked up
// rather than imported.
void ExcludeCurrentDirectoryFromSearch() {
    const auto setDllDirectory =
        Resolve<SetDllDirectoryEntry>(GetModuleHandleW(L"kernel32.dll"), "SetDllDirectoryW");
    if (setDllDirectory) setDllDirectory(L"");
}

// `name` from `folder` by its full path; null where the folder is unknown.
// Where `attempts` is given, the path and Windows' error for it are added.
HMODULE LoadFrom(Path folder, const wchar_t* name, std::vector<LoadAttempt>* attempts = nullptr) {
    if (folder.empty()) return nullptr;
    folder.insert(folder.end(), name, name + std::wcslen(name) + 1);  // and its terminator
    HMODULE module = LoadLibraryW(folder.data());
    const DWORD error = module ? 0 : GetLastError();
    if (attempts) attempts->push_back({std::wstring(folder.data()), error});
    return module;
}

// The library by full path, from the program's folder or else the system
// folder: never by its bare name, which would also search the current
// directory and every folder on PATH, where anyone may have put a DLL of
// that name to run with the rights the port needs.
HMODULE LoadFromTrustedFolders(std::vector<LoadAttempt>* attempts) {
    ExcludeCurrentDirectoryFromSearch();
    if (HMODULE module = LoadFrom(ProgramFolder(), kLibraryName, attempts)) return module;
    return LoadFrom(SystemFolder(), kLibraryName, attempts);
}

}  // namespace

HMODULE LoadSystemLibrary(const wchar_t* name) { return LoadFrom(SystemFolder(), name); }

PortBinding LoadPortLibrary(PortLibrary* library, std::vector<LoadAttempt>* attempts) {
    *library = PortLibrary{};
    const HMODULE module = LoadFromTrustedFolders(attempts);
    library->module = module;
    if (!module) return PortBinding::NoLibrary;
    library->read = Resolve<PortReadEntry>(module, "Inp32");
    if (!library->read) return PortBinding::NoInp32;
    library->write = Resolve<PortWriteEntry>(module, "Out32");
    if (!library->write) return PortBinding::NoOut32;
    // Older versions of the library don't say; theirs is taken to be open.
    // Until its driver is installed, the library reads 0 and drops writes.
    const auto driverOpen = Resolve<DriverOpenEntry>(module, "IsInpOutDriverOpen");
    library->reportsDriver = driverOpen != nullptr;
    if (driverOpen && !driverOpen()) {
        library->read = nullptr;
        library->write = nullptr;
        return PortBinding::DriverNotRunning;
    }
    return PortBinding::Bound;
}
