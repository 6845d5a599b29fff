// Linked into a test-only build of the port library: when that library is
// loaded it leaves an empty file "<its own path>.loaded" beside itself, so a
// test can tell whether a copy put where no program may look for it was
// ever loaded.
#include <windows.h>

extern "C" IMAGE_DOS_HEADER __ImageBase;  // this library's own module

namespace {

struct LoadTrace {
    LoadTrace() {
        wchar_t path[MAX_PATH + 8];
        const DWORD n = GetModuleFileNameW(reinterpret_cast<HMODULE>(&__ImageBase), path, MAX_PATH);
        if (n == 0 || n >= MAX_PATH) return;
        lstrcpyW(path + n, L".loaded");
        const HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
};

// Constructed when the library is loaded.
const LoadTrace trace;

}  // namespace
