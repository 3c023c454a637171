# Sourced by scripts/web (after common.sh), not run: builds the static
# WebAssembly libraries the browser build links, libjpeg-turbo and libopenmpt,
# from Debian's own source packages with Debian's emscripten.
#
# build_web_libs keeps each library in a cache outside the build tree,
#   ${ZEDARIVA_CACHE:-$HOME/.cache/zedariva}/web/<source>-<debian version>/
#     include/  headers
#     lib/      the static library
#     build-info  source version, emcc version and flags it was built with
#     build.log   what fetching, configuring and building printed
# and sets WEB_JPEG_PREFIX and WEB_OPENMPT_PREFIX to those folders. A cached
# library whose build-info still matches is used as it is, so a second call
# returns at once. Fetching, the cache and its lock are source-libs.sh's.

source "$(dirname "${BASH_SOURCE[0]}")/source-libs.sh"

WEB_PACKAGES=(emscripten cmake make "${SOURCE_LIBS_PACKAGES[@]}")

# The same flags for both libraries: -ffp-contract=off keeps floating point
# results free of fused multiply-adds, as in the native build.
WEB_LIBS_CFLAGS="-O2 -ffp-contract=off"
# libopenmpt's C++ interface reports errors by throwing, and emscripten
# compiles catch blocks out unless the code is built with -fexceptions. The
# program that links it needs -fexceptions at compile and link time too.
WEB_LIBS_CXXFLAGS="$WEB_LIBS_CFLAGS -fexceptions"
WEB_LIBS_JOBS="${WEB_LIBS_JOBS:-2}"

# web_toolchain_env: makes Debian's emcc usable in this shell.
web_toolchain_env() {
  # emcc runs its JavaScript optimiser with the node on PATH, which looks for
  # Debian's acorn only when /usr/share/nodejs is on NODE_PATH.
  case ":${NODE_PATH:-}:" in
    *:/usr/share/nodejs:*) ;;
    *) export NODE_PATH="/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}" ;;
  esac
  # Debian's emscripten ships its system libraries prebuilt in a frozen,
  # read-only cache and never builds into one, so an EM_CACHE without them
  # fails every link.
  if [ -n "${EM_CACHE:-}" ] && [ ! -e "$EM_CACHE/sysroot_install.stamp" ]; then
    echo "EM_CACHE=$EM_CACHE holds no emscripten sysroot; unset it to use Debian's" >&2
    return 1
  fi
}

# _web_build_libjpeg SRC_DIR WORK_DIR PREFIX: the static libjpeg (libjpeg v6b
# interface, as Debian's libjpeg62-turbo) with the portable C code paths.
_web_build_libjpeg() {
  local src="$1" work="$2" prefix="$3" log="$2/libjpeg-turbo.log"
  # Only the static library target is built: the command line tools and the
  # TurboJPEG interface are not needed.
  srclib_run "$log" emcmake cmake -S "$src" -B "$work/jpeg-build" -G "Unix Makefiles" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_C_FLAGS="$WEB_LIBS_CFLAGS" -DCMAKE_C_FLAGS_RELEASE=-DNDEBUG \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$(command -v node);--no-experimental-fetch" \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=0 -DWITH_TURBOJPEG=OFF \
    -DWITH_JAVA=OFF -DWITH_12BIT=OFF -DWITH_JPEG7=OFF -DWITH_JPEG8=OFF \
    -DWITH_ARITH_DEC=ON -DWITH_ARITH_ENC=ON -DWITH_MEM_SRCDST=ON || return 1
  srclib_run "$log" cmake --build "$work/jpeg-build" --target jpeg-static -j"$WEB_LIBS_JOBS" || return 1
  mkdir -p "$prefix/include" "$prefix/lib"
  cp "$work/jpeg-build/libjpeg.a" "$prefix/lib/" &&
    cp "$work/jpeg-build/jconfig.h" "$src/jpeglib.h" "$src/jmorecfg.h" "$src/jerror.h" "$prefix/include/"
}

# _web_build_libopenmpt SRC_DIR WORK_DIR PREFIX: the static libopenmpt with no
# optional library, player, example, test or documentation.
_web_build_libopenmpt() {
  local src="$1" work="$2" prefix="$3" log="$2/libopenmpt.log"
  mkdir -p "$work/openmpt-build"
  # The bundled config.sub predates the "emscripten" system name, so the host
  # is plain wasm32 (wasm32-unknown-none); emconfigure supplies the compilers.
  # PKG_CONFIG_LIBDIR points pkg-config away from the machine's own (native)
  # libraries.
  # The prefix map keeps the temporary folder's name, which source file names
  # in the library's assertion and log messages would carry, out of the
  # library, so that every build of the same version is the same.
  local map="-ffile-prefix-map=$work=."
  (cd "$work/openmpt-build" &&
    srclib_run "$log" env CFLAGS="$WEB_LIBS_CFLAGS $map" CXXFLAGS="$WEB_LIBS_CXXFLAGS $map" \
      PKG_CONFIG_LIBDIR="$work/no-pkgconfig" \
      emconfigure "$src/configure" --host=wasm32 --prefix="$prefix" \
      --enable-static --disable-shared --disable-openmpt123 --disable-examples \
      --disable-tests --disable-doxygen-doc --without-zlib --without-mpg123 \
      --without-ogg --without-vorbis --without-vorbisfile --without-pulseaudio \
      --without-portaudio --without-portaudiocpp --without-sdl2 --without-sndfile \
      --without-flac &&
    srclib_run "$log" emmake make -j"$WEB_LIBS_JOBS" V=1 &&
    srclib_run "$log" emmake make install-libLTLIBRARIES install-nobase_includeHEADERS) ||
    return 1
  rm -f "$prefix"/lib/*.la
}

# _web_libs: both libraries, from the cache or built into it.
_web_libs() {
  local root="$1" tools
  tools="emcc=${_web_emcc_version:?}
cflags=$WEB_LIBS_CFLAGS
cxxflags=$WEB_LIBS_CXXFLAGS"
  srclib_cached "$root" lib/libjpeg.a libjpeg-turbo libjpeg62-turbo-dev "$tools" _web_build_libjpeg &&
    WEB_JPEG_PREFIX="$srclib_prefix" &&
    srclib_cached "$root" lib/libopenmpt.a libopenmpt libopenmpt-dev "$tools" _web_build_libopenmpt &&
    WEB_OPENMPT_PREFIX="$srclib_prefix"
}

# build_web_libs: both libraries, from the cache or built into it. Sets
# WEB_JPEG_PREFIX and WEB_OPENMPT_PREFIX, each holding include/ and lib/.
build_web_libs() {
  if declare -F install_missing >/dev/null; then
    install_missing "${WEB_PACKAGES[@]}" || return 1
  fi
  web_toolchain_env || return 1
  _web_emcc_version="$(emcc -dumpversion)" || return 1
  # One build at a time per cache: a second caller waits, then finds the
  # libraries cached.
  local root="${ZEDARIVA_CACHE:-$HOME/.cache/zedariva}/web"
  srclib_locked "$root" _web_libs "$root"
}
