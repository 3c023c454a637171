#!/usr/bin/env bash
# A display on which no window for the picture can be made (an 8-bit
# screen): the program prints one line with the reason, shows the message box
# "Quendal TrueColor" / "PErkele.. something fucked up", and once it is
# closed ends with -1 (255).
set -u
source "$(dirname "$0")/e2e_common.sh"

requireTools
command -v xwininfo >/dev/null || fail "xwininfo is not installed (scripts/test installs x11-utils)"
startXvfb 640x480x8
cd "$WORK" || fail "no folder $WORK"
SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy "$1" -w >"$WORK/out.txt" 2>&1 &
APP_PID=$!
# SDL names the box's window in a way xdotool's search does not read.
boxShown() {
  BOX="$(xwininfo -root -tree 2>/dev/null | awk '/"Quendal TrueColor"/ { print $1; exit }')"
  [ -n "$BOX" ]
}
waitFor 15 boxShown || fail "no message box titled 'Quendal TrueColor'"
expectOutput "cannot open a window for the presentation: "
for attempt in 1 2 3 4 5; do
  xdotool key --window "$BOX" Return 2>/dev/null
  waitFor 2 appEnded && break
done
appEnded || fail "the message box did not close on Return"
wait "$APP_PID"; code=$?; APP_PID=""
[ "$code" -eq 255 ] || fail "exit code $code, expected 255"
echo "PASS: $(grep 'cannot open' "$WORK/out.txt"), the message box, exit code 255"
