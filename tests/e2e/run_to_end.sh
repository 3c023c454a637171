#!/usr/bin/env bash
# Runs "zedariva -w --start=45" headless on the generated content: every asset
# loads, the last order plays and the presentation ends by itself with 0. The
# sound goes to SDL's disk driver, which must have received music, not silence.
set -u
source "$(dirname "$0")/e2e_common.sh"

cd "$WORK" || fail "no folder $WORK"
useContent
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$WORK/sound.raw" \
  timeout 90 "$1" -w --start=45 >"$WORK/out.txt" 2>&1
code=$?
[ "$code" -eq 0 ] || fail "exit code $code, expected 0 (124 means it did not end by itself)"
expectOutput "Loading [FONT.TGA]"
expectOutput "Loading [RAY.TGA]"
[ -s "$WORK/sound.raw" ] || fail "the disk audio driver received no sound"
bytes=$(stat -c %s "$WORK/sound.raw")
# More than a tenth of the sound's bytes are non-zero: the music was heard.
nonzero=$(tr -d '\000' <"$WORK/sound.raw" | wc -c)
[ "$nonzero" -gt $((bytes / 10)) ] || fail "the sound is silent ($nonzero of $bytes bytes non-zero)"
echo "PASS: order 45 played ($bytes bytes of sound) and the presentation ended by itself with 0"
