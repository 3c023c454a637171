#!/usr/bin/env bash
# Capture speed: 60 s of the presentation (3600 frames at 60 fps) captured
# to a folder (TGA frames and music.wav, scale 1) and to an .mp4 (scale 2),
# each timed as a whole run of the program against the 60 s it lasts.
# Goals on a 2-core machine: 5 times real time to DIR/, 3 times to .mp4.
#
# usage: bench/capture_speed.sh [BUILD_FOLDER]   (default: build)
#        START=ORDER bench/capture_speed.sh      (time a span from another order)
# Needs the program and zedariva-content built, ffmpeg installed, and about
# 1.5 GB free in the temporary folder for the frames.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="$(cd "${1:-$ROOT/build}" && pwd)"
START="${START:-0}"
FRAMES=3600
FPS=60
SECONDS_CAPTURED=$((FRAMES / FPS))

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
"$BUILD/zedariva-content" "$WORK/content" >/dev/null
cd "$WORK/content"

# capture LABEL TARGET: one timed run, then the program's own summary line.
capture() {
  local begin end
  begin=$(date +%s.%N)
  SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "$BUILD/zedariva" --capture="$2" --fps=$FPS \
    --frames=$FRAMES --start="$START" >"$WORK/log.txt"
  end=$(date +%s.%N)
  awk -v label="$1" -v b="$begin" -v e="$end" -v s="$SECONDS_CAPTURED" \
    'BEGIN { t = e - b; printf "%-24s %6.1f s for %d s: %5.2f times real time\n", label, t, s, s / t }'
  echo "  $(tail -n 1 "$WORK/log.txt")"
}

echo "capturing $FRAMES frames at $FPS fps from order $START on $(nproc) cores"
capture "to a folder (DIR/)" "$WORK/frames/"
rm -rf "$WORK/frames"
capture "to a video (.mp4)" "$WORK/capture.mp4"
