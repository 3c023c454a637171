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
# returns at once.

WEB_PACKAGES=(emscripten cmake make dpkg-dev python3)

# The same flags for both libraries: -ffp-contract=off keeps floating point
# results free of fused multiply-adds, as in the native build.
WEB_LIBS_CFLAGS="-O2 -ffp-contract=off"
# libopenmpt's C++ interface reports errors by throwing, and emscripten
# compiles catch blocks out unless the code is built with -fexceptions. The
# program that links it needs -fexceptions at compile and link time too.
WEB_LIBS_CXXFLAGS="$WEB_LIBS_CFLAGS -fexceptions"
WEB_LIBS_JOBS="${WEB_LIBS_JOBS:-2}"

# Fallbacks for when common.sh was not sourced first.
if ! declare -F as_root >/dev/null; then
  as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
  }
fi

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

# _web_source_version SOURCE BINARY: the Debian version of source package
# SOURCE: that of the installed BINARY (one of its binary packages), so the
# browser build links the same version as the native one and a cached build
# is found without asking apt; else that of BINARY's candidate.
_web_source_version() {
  local src="$1" bin="$2" info
  if dpkg-query -W -f='${Status}' "$bin" 2>/dev/null | grep -q "install ok installed"; then
    dpkg-query -W -f='${source:Version}\n' "$bin"
    return
  fi
  info="$(apt-cache show --no-all-versions "$bin" 2>/dev/null)"
  if [ -z "$info" ]; then
    as_root apt-get update -q >/dev/null
    info="$(apt-cache show --no-all-versions "$bin" 2>/dev/null)"
  fi
  # A binary-only rebuild has its own version and names the source's in
  # brackets: "Source: libjpeg-turbo (1:2.1.5-2)".
  printf '%s\n' "$info" | awk -v src="$src" '
    $1 == "Source:" && $2 == src && $3 ~ /^\(/ { sv = $3; gsub(/[()]/, "", sv) }
    $1 == "Version:" { v = $2 }
    END { if (sv != "") print sv; else if (v != "") print v; else exit 1 }'
}

# Reads the apt sources: one-line entries in sources.list and
# sources.list.d/*.list, deb822 stanzas in sources.list.d/*.sources. Given
# "has-src" it exits 0 when an enabled deb-src entry exists; given "entries"
# it prints deb822 stanzas for the source side of each enabled entry of
# Debian's own archive, with the same URIs, suites, components and key.
# Other vendors' archives are left out: most publish no source indexes, and a
# missing index makes apt-get update fail.
_web_apt_sources_py='
import glob, os, re, sys

def files():
    out = ["/etc/apt/sources.list"] if os.path.exists("/etc/apt/sources.list") else []
    out += sorted(glob.glob("/etc/apt/sources.list.d/*.list"))
    out += sorted(glob.glob("/etc/apt/sources.list.d/*.sources"))
    return out

def entries():
    for path in files():
        text = open(path, encoding="utf-8", errors="replace").read()
        if path.endswith(".sources"):
            for stanza in re.split(r"\n\s*\n", text):
                fields, key = {}, None
                for line in stanza.splitlines():
                    if line.lstrip().startswith("#"):
                        continue
                    if line[:1] in (" ", "\t") and key:
                        fields[key] += "\n" + line.strip()
                        continue
                    m = re.match(r"([A-Za-z0-9-]+):\s*(.*)", line)
                    if m:
                        key = m.group(1).lower()
                        fields[key] = m.group(2).strip()
                if not fields.get("types") or fields.get("enabled", "yes").lower() == "no":
                    continue
                yield (fields["types"].split(), fields.get("uris", "").split(),
                       fields.get("suites", "").split(), fields.get("components", "").split(),
                       fields.get("signed-by", ""))
        else:
            for line in text.splitlines():
                line = line.split("#", 1)[0].strip()
                m = re.match(r"(deb|deb-src)\s+(?:\[([^\]]*)\]\s+)?(\S+)\s+(\S+)\s*(.*)", line)
                if not m:
                    continue
                opts = dict(o.split("=", 1) for o in (m.group(2) or "").split() if "=" in o)
                yield ([m.group(1)], [m.group(3)], [m.group(4)], m.group(5).split(),
                       opts.get("signed-by", ""))

if sys.argv[1] == "has-src":
    sys.exit(0 if any("deb-src" in e[0] for e in entries()) else 1)

for types, uris, suites, comps, signed in entries():
    uris = [u for u in uris if "debian" in u.lower()]
    if "deb" not in types or not uris or not suites:
        continue
    print("Types: deb-src")
    print("URIs: " + " ".join(uris))
    print("Suites: " + " ".join(suites))
    print("Components: " + " ".join(comps))
    if signed:
        print("Signed-By: " + signed.replace("\n", "\n "))
    print()
'

_web_has_deb_src() { python3 -c "$_web_apt_sources_py" has-src; }

# _web_ensure_deb_src: adds deb-src entries beside the deb ones when there are
# none, so that apt-get source can fetch, and refreshes the package lists.
_web_ensure_deb_src() {
  _web_has_deb_src && return 0
  local entries
  entries="$(python3 -c "$_web_apt_sources_py" entries)"
  if [ -z "$entries" ]; then
    echo "no Debian archive entry in the apt sources to add deb-src beside" >&2
    return 1
  fi
  echo "adding deb-src entries: /etc/apt/sources.list.d/zedariva-deb-src.sources" >&2
  printf '%s\n' "$entries" | as_root tee /etc/apt/sources.list.d/zedariva-deb-src.sources >/dev/null
  as_root apt-get update -q >/dev/null
}

# _web_fetch_source SOURCE VERSION DIR: unpacks Debian's source package, with
# Debian's patches applied, under DIR and prints the unpacked folder.
_web_fetch_source() {
  local src="$1" version="$2" dir="$3"
  _web_ensure_deb_src || return 1
  if ! (cd "$dir" && apt-get source -q "$src=$version") >"$dir/apt-source.log" 2>&1; then
    # The source index may be older than the binary one: refresh once.
    as_root apt-get update -q >/dev/null
    if ! (cd "$dir" && apt-get source -q "$src=$version") >"$dir/apt-source.log" 2>&1; then
      tail -n 20 "$dir/apt-source.log" >&2
      return 1
    fi
  fi
  local upstream="${version#*:}"
  upstream="${upstream%-*}"
  if [ ! -d "$dir/$src-$upstream" ]; then
    echo "apt-get source left no $dir/$src-$upstream" >&2
    return 1
  fi
  printf '%s\n' "$dir/$src-$upstream"
}

# _web_run LOG COMMAND...: runs COMMAND with its output in LOG, and shows the
# end of LOG when it fails.
_web_run() {
  local log="$1"
  shift
  if ! "$@" >>"$log" 2>&1; then
    echo "failed: $*" >&2
    tail -n 40 "$log" >&2
    echo "(whole log: $log)" >&2
    return 1
  fi
}

# _web_build_libjpeg SRC_DIR WORK_DIR PREFIX: the static libjpeg (libjpeg v6b
# interface, as Debian's libjpeg62-turbo) with the portable C code paths.
_web_build_libjpeg() {
  local src="$1" work="$2" prefix="$3" log="$2/libjpeg-turbo.log"
  # Only the static library target is built: the command line tools and the
  # TurboJPEG interface are not needed.
  _web_run "$log" emcmake cmake -S "$src" -B "$work/jpeg-build" -G "Unix Makefiles" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_C_FLAGS="$WEB_LIBS_CFLAGS" -DCMAKE_C_FLAGS_RELEASE=-DNDEBUG \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$(command -v node);--no-experimental-fetch" \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=0 -DWITH_TURBOJPEG=OFF \
    -DWITH_JAVA=OFF -DWITH_12BIT=OFF -DWITH_JPEG7=OFF -DWITH_JPEG8=OFF \
    -DWITH_ARITH_DEC=ON -DWITH_ARITH_ENC=ON -DWITH_MEM_SRCDST=ON || return 1
  _web_run "$log" cmake --build "$work/jpeg-build" --target jpeg-static -j"$WEB_LIBS_JOBS" || return 1
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
    _web_run "$log" env CFLAGS="$WEB_LIBS_CFLAGS $map" CXXFLAGS="$WEB_LIBS_CXXFLAGS $map" \
      PKG_CONFIG_LIBDIR="$work/no-pkgconfig" \
      emconfigure "$src/configure" --host=wasm32 --prefix="$prefix" \
      --enable-static --disable-shared --disable-openmpt123 --disable-examples \
      --disable-tests --disable-doxygen-doc --without-zlib --without-mpg123 \
      --without-ogg --without-vorbis --without-vorbisfile --without-pulseaudio \
      --without-portaudio --without-portaudiocpp --without-sdl2 --without-sndfile \
      --without-flac &&
    _web_run "$log" emmake make -j"$WEB_LIBS_JOBS" V=1 &&
    _web_run "$log" emmake make install-libLTLIBRARIES install-nobase_includeHEADERS) ||
    return 1
  rm -f "$prefix"/lib/*.la
}

# _web_lib NAME SOURCE BINARY BUILD_FUNCTION: one library, from the cache or
# built into it; sets _web_prefix to its folder.
_web_lib() {
  local name="$1" src="$2" bin="$3" build_fn="$4"
  local root="${ZEDARIVA_CACHE:-$HOME/.cache/zedariva}/web"
  local version emver info
  version="$(_web_source_version "$src" "$bin")" || {
    echo "no Debian version of $src found (apt-cache show $bin)" >&2
    return 1
  }
  emver="${_web_emcc_version:?}"
  local prefix="$root/$src-${version#*:}"
  info="source=$src $version
emcc=$emver
cflags=$WEB_LIBS_CFLAGS
cxxflags=$WEB_LIBS_CXXFLAGS"
  _web_prefix="$prefix"
  if [ -f "$prefix/build-info" ] && [ "$(cat "$prefix/build-info")" = "$info" ] &&
    [ -f "$prefix/lib/$name" ]; then
    echo "$src $version: $prefix (cached)"
    return 0
  fi

  mkdir -p "$root"
  local work start
  work="$(mktemp -d "${TMPDIR:-/tmp}/zedariva-web-$src.XXXXXX")" || return 1
  start=$SECONDS
  local unpacked
  unpacked="$(_web_fetch_source "$src" "$version" "$work")" || return 1
  # Built beside the cache folder and moved into place once complete, so an
  # interrupted build never looks cached.
  local staging="$root/.staging-$src-$$"
  rm -rf "$staging"
  if ! "$build_fn" "$unpacked" "$work" "$staging"; then
    rm -rf "$staging"
    echo "building $src failed; its sources and logs are kept in $work" >&2
    return 1
  fi
  printf '%s\n' "$info" >"$staging/build-info"
  cat "$work"/*.log >"$staging/build.log"
  rm -rf "$prefix"
  mv "$staging" "$prefix" || return 1
  rm -rf "$work"
  echo "$src $version: $prefix (built in $((SECONDS - start)) s)"
}

# build_web_libs: both libraries, from the cache or built into it. Sets
# WEB_JPEG_PREFIX and WEB_OPENMPT_PREFIX, each holding include/ and lib/.
build_web_libs() {
  if declare -F install_missing >/dev/null; then
    install_missing "${WEB_PACKAGES[@]}" || return 1
  fi
  web_toolchain_env || return 1
  _web_emcc_version="$(emcc -dumpversion)" || return 1
  local root="${ZEDARIVA_CACHE:-$HOME/.cache/zedariva}/web" lock
  mkdir -p "$root"
  # One build at a time per cache: a second caller waits, then finds the
  # libraries cached.
  exec {lock}>"$root/.lock"
  flock "$lock"
  _web_lib libjpeg.a libjpeg-turbo libjpeg62-turbo-dev _web_build_libjpeg &&
    WEB_JPEG_PREFIX="$_web_prefix" &&
    _web_lib libopenmpt.a libopenmpt libopenmpt-dev _web_build_libopenmpt &&
    WEB_OPENMPT_PREFIX="$_web_prefix"
  local rc=$?
  exec {lock}>&-
  return $rc
}
