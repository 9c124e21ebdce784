# Cross-compiles fdpreserve.exe for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64).
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#     -DFDPRESERVE_BUILD_TESTS=OFF -DFDPRESERVE_BUILD_BENCH=OFF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_fdpreserve_mingw x86_64-w64-mingw32)
# Either thread model serves a single-threaded program; take the posix one when it is there, as
# Debian's default alternative may point at either.
find_program(CMAKE_CXX_COMPILER NAMES ${_fdpreserve_mingw}-g++-posix ${_fdpreserve_mingw}-g++-win32
             ${_fdpreserve_mingw}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${_fdpreserve_mingw}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${_fdpreserve_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One self-contained .exe: the C++ runtime, libgcc and winpthread linked in, so no DLL travels
# with it. The main thread reserves 32 MiB of stack rather than MinGW's 2 MiB, so the program has
# at least the room a Linux build gets (8 MiB by default).
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -Wl,--stack,33554432")
