#!/usr/bin/env bash
# Runs "zedariva -w --start=45" headless on the generated content: every asset
# loads, the last order plays and the presentation ends by itself with 0.
set -u
source "$(dirname "$0")/e2e_common.sh"

cd "$WORK" || fail "no folder $WORK"
useContent
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout 90 "$1" -w --start=45 >"$WORK/out.txt" 2>&1
code=$?
[ "$code" -eq 0 ] || fail "exit code $code, expected 0 (124 means it did not end by itself)"
expectOutput "Loading [FONT.TGA]"
expectOutput "Loading [RAY.TGA]"
echo "PASS: the presentation played order 45 and ended by itself with exit code 0"
