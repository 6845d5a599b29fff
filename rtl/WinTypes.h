// Windows' integer types, of the sizes Windows gives them, for the code that
// only computes with them (the port's logic, the chip models, the parsers):
// it includes this rather than <windows.h>, so it also builds natively.
// On Windows the definitions are Windows' own, word for word, so a file that
// sees both gets the same types twice, which C++ allows.
#pragma once

#include <cstdint>

#ifdef _WIN32
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef unsigned long DWORD;
typedef int BOOL;
typedef long LONG;
typedef unsigned long ULONG;
typedef unsigned int UINT;
#else
typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;  // 32 bits on Windows, whatever size long has here
typedef int32_t BOOL;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef uint32_t UINT;
#endif

static_assert(sizeof(BYTE) == 1 && sizeof(WORD) == 2, "Windows' 8- and 16-bit types");
static_assert(sizeof(DWORD) == 4 && sizeof(LONG) == 4 && sizeof(ULONG) == 4, "Windows' 32-bit types");
static_assert(sizeof(BOOL) == 4 && sizeof(UINT) == 4, "Windows' int-sized types");
