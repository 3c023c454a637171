#!/usr/bin/env bash
# The slowest 2D and 3D frames on Linux and under Wine, in the same run:
# bench/web/section_frames.cpp built both ways (scripts/windows builds
# build-windows/section-frames.exe), on the same content.
#   bench/windows_speed.sh [BUILD [WINDOWS_BUILD [FRAMES]]]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
windows="${2:-$root/build-windows}"
frames="${3:-120}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$build/zedariva-content" "$work" >/dev/null
cd "$work"
echo "Linux:"
"$build/bench/bench_section_frames" "$frames" | grep -v '^Loading'
echo "Windows, under Wine:"
WINEDEBUG=-all /usr/lib/wine/wine64 "$windows/section-frames.exe" "$frames" 2>/dev/null | tr -d '\r' | grep -v '^Loading'
