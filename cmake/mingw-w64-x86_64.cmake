# CMake toolchain file for 64-bit Windows, cross-compiled on Debian with the
# MinGW-w64 compilers of g++-mingw-w64-x86-64-posix:
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake ...
# The POSIX-thread variant of the compilers is the one whose libstdc++ has
# std::thread and std::mutex (GCC 12's Win32-thread variant has neither), which
# libopenmpt and the program use. scripts/windows-libs.sh builds SDL2,
# libjpeg-turbo and libopenmpt with the same compilers.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# Headers and libraries come from the MinGW-w64 tree, never from the build
# machine's own /usr; programs (the build's tools) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
