#!/usr/bin/env bash
# With no display to open, the program prints one line saying so and ends with -1 (255).
set -u
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
cd "$WORK" || exit 1
env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy \
  timeout 20 "$1" -w >out.txt 2>&1
code=$?
[ "$code" -eq 255 ] || { cat out.txt; echo "FAIL: exit code $code, expected 255"; exit 1; }
grep -q '^cannot open a window for the presentation: ' out.txt || { cat out.txt; echo "FAIL: no message"; exit 1; }
[ "$(grep -c 'cannot open' out.txt)" -eq 1 ] || { cat out.txt; echo "FAIL: more than one line"; exit 1; }
echo "PASS: $(grep 'cannot open' out.txt)"
