# Cross-compiling for Windows with MinGW-w64. The product is 32-bit x86
# (i686); the same sources also build for x86_64, which is how the tests run
# on Linux machines whose kernel can't run 32-bit programs (and so not 32-bit
# Wine).
#
# The win32 thread model: its static runtime uses only functions Windows XP
# has. The posix model's threading library imports GetTickCount64 (Vista and
# later), so a program linked with it doesn't start on XP. Our programs use no
# threads; tests that need one use tests/support/TestThread.h.
set(TARNWICK_ARCH i686 CACHE STRING "Target CPU: i686 (the product) or x86_64")
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${TARNWICK_ARCH})

set(triplet ${TARNWICK_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER ${triplet}-gcc-win32)
set(CMAKE_CXX_COMPILER ${triplet}-g++-win32)
set(CMAKE_RC_COMPILER ${triplet}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
