// Windows' own DLLs, loaded where Windows keeps them.
#pragma once

#include <windows.h>

// A DLL of Windows' own by its full path in the system folder (never the
// current directory or PATH); null where it is not there.
HMODULE LoadSystemLibrary(const wchar_t* name);
