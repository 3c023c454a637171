# Sourced (after common.sh), not run: builds the static 64-bit Windows
# libraries the Windows build links, SDL2, libjpeg-turbo and libopenmpt, from
# Debian's own source packages with Debian's MinGW-w64 compilers (the
# POSIX-thread variant, as cmake/mingw-w64-x86_64.cmake).
#
# build_windows_libs keeps each library in a cache outside the build tree,
#   ${ZEDARIVA_CACHE:-$HOME/.cache/zedariva}/windows/<source>-<debian version>/
#     include/    headers (SDL2's under include/SDL2/, for #include <SDL.h>)
#     lib/        the static libraries (SDL2 also has libSDL2main.a)
#     link-libs   the Windows system libraries the static library needs, one
#                 "-lname" a line, to be linked after it
#     licences/   the library's licence files, for shipping beside the program
#     build-info  source version, compiler versions and flags it was built with
#     build.log   what fetching, configuring and building printed
# SDL2's folder also holds lib/pkgconfig/sdl2.pc and lib/cmake/SDL2/ as SDL
# installs them. A program links, in this order,
#   -lmingw32 -lSDL2main -lSDL2 <SDL2's link-libs> -lopenmpt
#   <libopenmpt's link-libs> -ljpeg
# (-lmingw32 first: its main calls SDL2main's WinMain, which calls the
# program's SDL_main), with -static to take no runtime DLL along.
#
# build_windows_libs sets WINDOWS_SDL2_PREFIX, WINDOWS_JPEG_PREFIX and
# WINDOWS_OPENMPT_PREFIX to those folders, and WINDOWS_TOOLCHAIN_FILE to the
# project's CMake toolchain file. A cached library whose build-info still matches is used as
# it is, so a second call returns at once. Fetching, the cache and its lock
# are source-libs.sh's.

source "$(dirname "${BASH_SOURCE[0]}")/source-libs.sh"

WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix cmake make
  "${SOURCE_LIBS_PACKAGES[@]}")

WINDOWS_CC=x86_64-w64-mingw32-gcc-posix
WINDOWS_CXX=x86_64-w64-mingw32-g++-posix
WINDOWS_HOST=x86_64-w64-mingw32

# The same flags for every library: -ffp-contract=off keeps floating point
# results free of fused multiply-adds, as in the native build. No -march: the
# x86-64 baseline (SSE2) is what every 64-bit Windows machine has.
WINDOWS_LIBS_CFLAGS="-O2 -ffp-contract=off"
WINDOWS_LIBS_CXXFLAGS="$WINDOWS_LIBS_CFLAGS"
WINDOWS_LIBS_JOBS="${WINDOWS_LIBS_JOBS:-2}"

WINDOWS_TOOLCHAIN_FILE="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/cmake/mingw-w64-x86_64.cmake"

# _win_toolchain DIR: writes the CMake toolchain file the libraries are built
# with into DIR and prints its path. It is the library builds' own, rather
# than the project's, so that an edit of the project's file never changes a
# library that the cache holds as built.
_win_toolchain() {
  local file="$1/mingw-toolchain.cmake"
  cat >"$file" <<EOF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER $WINDOWS_CC)
set(CMAKE_CXX_COMPILER $WINDOWS_CXX)
set(CMAKE_RC_COMPILER $WINDOWS_HOST-windres)
set(CMAKE_FIND_ROOT_PATH /usr/$WINDOWS_HOST)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF
  printf '%s\n' "$file"
}

# _win_link_libs PC_FILE OUT: the "-lname" system libraries that the Libs and
# Libs.private of a pkg-config file name, one a line into OUT: not the
# library itself nor SDL2main, nor the C and C++ runtime libraries (mingw32
# among them) that the compiler driver links anyway. A static-only SDL2
# names its system libraries in Libs, libopenmpt in Libs.private.
_win_link_libs() {
  awk '$1 == "Libs:" || $1 == "Libs.private:" {
      for (i = 2; i <= NF; i++) if ($i ~ /^-l/ && !seen[$i]++) print $i }' "$1" |
    grep -v -x -e '-lSDL2' -e '-lSDL2main' -e '-lopenmpt' -e '-lmingw32' \
      -e '-lm' -e '-lstdc++' -e '-lc' -e '-lgcc' >"$2" || true
}

# _win_cmake_env WORK_DIR COMMAND...: COMMAND in the environment of the
# CMake builds. A pkg-config search path of a folder that does not exist
# keeps the build machine's own libraries out.
_win_cmake_env() {
  local work="$1"
  shift
  env PKG_CONFIG_LIBDIR="$work/no-pkgconfig" PKG_CONFIG_PATH= "$@"
}

# _win_build_sdl2 SRC_DIR WORK_DIR PREFIX: the static SDL2 and SDL2main.
_win_build_sdl2() {
  local src="$1" work="$2" prefix="$3" log="$2/sdl2.log"
  local map="-ffile-prefix-map=$work=." toolchain
  toolchain="$(_win_toolchain "$work")" || return 1
  # SDL_TEST is the SDL2_test library, which nothing links; ccache would make
  # the build depend on the machine's ccache.
  srclib_run "$log" _win_cmake_env "$work" cmake -S "$src" -B "$work/sdl2-build" -G "Unix Makefiles" \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_C_FLAGS="$WINDOWS_LIBS_CFLAGS $map" -DCMAKE_C_FLAGS_RELEASE=-DNDEBUG \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL_CCACHE=OFF || return 1
  srclib_run "$log" cmake --build "$work/sdl2-build" -j"$WINDOWS_LIBS_JOBS" || return 1
  srclib_run "$log" cmake --install "$work/sdl2-build" || return 1
  [ -f "$prefix/lib/libSDL2.a" ] && [ -f "$prefix/lib/libSDL2main.a" ] || {
    echo "SDL2's install left no lib/libSDL2.a and lib/libSDL2main.a" >&2
    return 1
  }
  _win_link_libs "$prefix/lib/pkgconfig/sdl2.pc" "$prefix/link-libs" || return 1
  # The pkg-config file names the folder it was installed into, which is
  # moved into the cache afterwards: make it name the folder it is in.
  sed -i 's|^prefix=.*|prefix=${pcfiledir}/../..|' "$prefix/lib/pkgconfig/sdl2.pc"
  # Debian's sdl2-config looks for the library in the build machine's own
  # library folder, not here.
  rm -rf "$prefix/bin"
  mkdir -p "$prefix/licences" && cp "$src/LICENSE.txt" "$prefix/licences/SDL2-LICENSE.txt"
}

# _win_build_libjpeg SRC_DIR WORK_DIR PREFIX: the static libjpeg (libjpeg v6b
# interface, as Debian's libjpeg62-turbo) with the portable C code paths,
# which need no assembler.
_win_build_libjpeg() {
  local src="$1" work="$2" prefix="$3" log="$2/libjpeg-turbo.log"
  local map="-ffile-prefix-map=$work=." toolchain
  toolchain="$(_win_toolchain "$work")" || return 1
  # Only the static library target is built: the command line tools and the
  # TurboJPEG interface are not needed. Nothing is installed, but the default
  # prefix for Windows, c:/libjpeg-turbo-gcc64, is no absolute path on the
  # build machine and fails the configuration.
  srclib_run "$log" _win_cmake_env "$work" cmake -S "$src" -B "$work/jpeg-build" -G "Unix Makefiles" \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_C_FLAGS="$WINDOWS_LIBS_CFLAGS $map" -DCMAKE_C_FLAGS_RELEASE=-DNDEBUG \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=0 -DWITH_TURBOJPEG=OFF \
    -DWITH_JAVA=OFF -DWITH_12BIT=OFF -DWITH_JPEG7=OFF -DWITH_JPEG8=OFF \
    -DWITH_ARITH_DEC=ON -DWITH_ARITH_ENC=ON -DWITH_MEM_SRCDST=ON || return 1
  srclib_run "$log" cmake --build "$work/jpeg-build" --target jpeg-static -j"$WINDOWS_LIBS_JOBS" ||
    return 1
  mkdir -p "$prefix/include" "$prefix/lib" "$prefix/licences"
  cp "$work/jpeg-build/libjpeg.a" "$prefix/lib/" &&
    cp "$work/jpeg-build/jconfig.h" "$src/jpeglib.h" "$src/jmorecfg.h" "$src/jerror.h" \
      "$prefix/include/" &&
    : >"$prefix/link-libs" &&
    cp "$src/LICENSE.md" "$prefix/licences/libjpeg-turbo-LICENSE.md" &&
    cp "$src/README.ijg" "$prefix/licences/libjpeg-turbo-README.ijg"
}

# _win_build_libopenmpt SRC_DIR WORK_DIR PREFIX: the static libopenmpt with no
# optional library, player, example, test or documentation.
_win_build_libopenmpt() {
  local src="$1" work="$2" prefix="$3" log="$2/libopenmpt.log"
  mkdir -p "$work/openmpt-build"
  # The prefix map keeps the temporary folder's name, which source file names
  # in the library's assertion and log messages would carry, out of the
  # library, so that every build of the same version is the same.
  # PKG_CONFIG_LIBDIR points pkg-config away from the machine's own (native)
  # libraries.
  local map="-ffile-prefix-map=$work=."
  (cd "$work/openmpt-build" &&
    srclib_run "$log" env CC="$WINDOWS_CC" CXX="$WINDOWS_CXX" \
      CFLAGS="$WINDOWS_LIBS_CFLAGS $map" CXXFLAGS="$WINDOWS_LIBS_CXXFLAGS $map" \
      PKG_CONFIG_LIBDIR="$work/no-pkgconfig" PKG_CONFIG_PATH= \
      "$src/configure" --host="$WINDOWS_HOST" --prefix="$prefix" \
      --enable-static --disable-shared --disable-openmpt123 --disable-examples \
      --disable-tests --disable-doxygen-doc --without-zlib --without-mpg123 \
      --without-ogg --without-vorbis --without-vorbisfile --without-pulseaudio \
      --without-portaudio --without-portaudiocpp --without-sdl2 --without-sndfile \
      --without-flac &&
    srclib_run "$log" make -j"$WINDOWS_LIBS_JOBS" V=1 &&
    srclib_run "$log" make install-libLTLIBRARIES install-nobase_includeHEADERS) ||
    return 1
  rm -f "$prefix"/lib/*.la
  _win_link_libs "$work/openmpt-build/libopenmpt/libopenmpt.pc" "$prefix/link-libs" &&
    mkdir -p "$prefix/licences" && cp "$src/LICENSE" "$prefix/licences/libopenmpt-LICENSE"
}

# _win_libs ROOT: the three libraries, from the cache or built into it.
_win_libs() {
  local root="$1" tools
  tools="cc=$WINDOWS_CC ${_win_cc_version:?}
cxx=$WINDOWS_CXX ${_win_cxx_version:?}
mingw-w64=${_win_mingw_version:?}
cflags=$WINDOWS_LIBS_CFLAGS
cxxflags=$WINDOWS_LIBS_CXXFLAGS"
  srclib_cached "$root" lib/libSDL2.a libsdl2 libsdl2-dev "$tools" _win_build_sdl2 &&
    WINDOWS_SDL2_PREFIX="$srclib_prefix" &&
    srclib_cached "$root" lib/libjpeg.a libjpeg-turbo libjpeg62-turbo-dev "$tools" _win_build_libjpeg &&
    WINDOWS_JPEG_PREFIX="$srclib_prefix" &&
    srclib_cached "$root" lib/libopenmpt.a libopenmpt libopenmpt-dev "$tools" _win_build_libopenmpt &&
    WINDOWS_OPENMPT_PREFIX="$srclib_prefix"
}

# _win_package_version PACKAGE: the installed version of a Debian package.
_win_package_version() {
  dpkg-query -W -f='${Version}\n' "$1" 2>/dev/null | grep . || {
    echo "$1 is not installed" >&2
    return 1
  }
}

# build_windows_libs: the three libraries, from the cache or built into it.
# Sets WINDOWS_SDL2_PREFIX, WINDOWS_JPEG_PREFIX and WINDOWS_OPENMPT_PREFIX,
# each holding include/, lib/, link-libs and licences/, and
# WINDOWS_TOOLCHAIN_FILE.
build_windows_libs() {
  if declare -F install_missing >/dev/null; then
    install_missing "${WINDOWS_PACKAGES[@]}" || return 1
  fi
  # The compilers' package versions: "-dumpversion" says only "12-posix".
  _win_cc_version="$(_win_package_version gcc-mingw-w64-x86-64-posix)" || return 1
  _win_cxx_version="$(_win_package_version g++-mingw-w64-x86-64-posix)" || return 1
  # The Windows headers and C runtime libraries the libraries build against.
  _win_mingw_version="$(_win_package_version mingw-w64-x86-64-dev)" || return 1
  # One build at a time per cache: a second caller waits, then finds the
  # libraries cached.
  local root="${ZEDARIVA_CACHE:-$HOME/.cache/zedariva}/windows"
  srclib_locked "$root" _win_libs "$root"
}
