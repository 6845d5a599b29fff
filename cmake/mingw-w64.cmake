# Cross-compiling for Windows with MinGW-w64 (posix threads, which the test
# framework's std::thread use needs). The product is 32-bit x86 (i686); the
# same sources also build for x86_64, which is how the tests run on Linux
# machines whose kernel can't run 32-bit programs (and so not 32-bit Wine).
set(TARNWICK_ARCH i686 CACHE STRING "Target CPU: i686 (the product) or x86_64")
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${TARNWICK_ARCH})

set(triplet ${TARNWICK_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER ${triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${triplet}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
