# Shared by scripts/demo, scripts/test and scripts/fuzz: install what is
# missing, build. Sourced, not run.

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${ZEDARIVA_BUILD:-$ROOT/build}"

PACKAGES=(
  build-essential cmake pkg-config
  libsdl2-dev libopenmpt-dev libjpeg62-turbo-dev
  libfreetype-dev fonts-dejavu-core
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool x11-utils imagemagick openbox libosmesa6-dev libpixman-1-dev
  ffmpeg
)

# The Debian package and its checks: CPack's dependency list, lintian, the
# desktop entry's and the AppStream metadata's validators.
PACKAGE_TOOLS=(dpkg-dev lintian desktop-file-utils appstream groff man-db)

# The web page's tests: Debian's Chromium, driven over its DevTools protocol
# from Debian's Python.
WEB_TEST_PACKAGES=(chromium python3 python3-websocket)

# The Windows zip's tests: Wine, and the cross compiler for their stand-in helper.
WINDOWS_TEST_PACKAGES=(wine64 gcc-mingw-w64-x86-64-posix)

# Only scripts/fuzz needs these: clang and its libFuzzer and sanitizer runtimes.
FUZZ_PACKAGES=(clang libclang-rt-14-dev)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# install_missing [PACKAGE...]: the packages given, or PACKAGES.
install_missing() {
  local wanted=("${PACKAGES[@]}")
  if [ $# -gt 0 ]; then wanted=("$@"); fi
  local missing=()
  for p in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "installing: ${missing[*]}"
    as_root apt-get update -q
    # Waits for another installer's lock rather than failing at once.
    as_root env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -q \
      --no-install-recommends "${missing[@]}"
  fi
}

build() {
  cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release "$@"
  cmake --build "$BUILD" -j"$(nproc)"
}
