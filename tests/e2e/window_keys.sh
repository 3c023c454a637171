#!/usr/bin/env bash
# Runs "zedariva -x -v250 -w" on a private Xvfb display, checks its messages,
# the window's title and size, that S writes a 512 x 256 screenshot and that
# q ends the program with exit code 0.
set -u

PROGRAM="$1"
TITLE="quendal -> 1999 -> bodravin"
SHOT_BYTES=393234

fail() { echo "FAIL: $*"; exit 1; }

for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/test installs it)"
done
[ -x "$PROGRAM" ] || fail "no program at $PROGRAM"

WORK="$(mktemp -d)"
XVFB_PID=""
APP_PID=""
cleanup() {
  [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
  [ -n "$XVFB_PID" ] && wait "$XVFB_PID" 2>/dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT

# waitFor SECONDS COMMAND...: retries COMMAND every 0.2 s until it succeeds.
waitFor() {
  local tries=$(( $1 * 5 )); shift
  for ((i = 0; i < tries; i++)); do
    "$@" && return 0
    sleep 0.2
  done
  return 1
}

# A free display number: no lock file and no socket.
for ((n = 90; n < 190; n++)); do
  [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || break
done
export DISPLAY=":$n"
Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
XVFB_PID=$!
waitFor 10 xdotool getmouselocation >/dev/null 2>&1 || { cat "$WORK/xvfb.log"; fail "Xvfb did not start on $DISPLAY"; }

cd "$WORK"
SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy "$PROGRAM" -x -v250 -w >"$WORK/out.txt" 2>&1 &
APP_PID=$!

findWindow() { WINDOW="$(xdotool search --name "^$TITLE\$" 2>/dev/null | head -n 1)"; [ -n "$WINDOW" ]; }
waitFor 15 findWindow || { cat "$WORK/out.txt"; fail "no window titled '$TITLE'"; }

for line in "Errornous parameter '-x'" "setting volume to 100" "starting in windowed mode"; do
  grep -qF "$line" "$WORK/out.txt" || { cat "$WORK/out.txt"; fail "missing message: $line"; }
done

GEOMETRY="$(xdotool getwindowgeometry "$WINDOW" | sed -n 's/ *Geometry: //p')"
[ "$GEOMETRY" = "512x256" ] || fail "window is $GEOMETRY, expected 512x256"

shotDone() { [ -f zedariva.tga ] && [ "$(stat -c %s zedariva.tga)" -eq "$SHOT_BYTES" ]; }
xdotool type --window "$WINDOW" S
waitFor 10 shotDone || fail "S did not write a $SHOT_BYTES-byte zedariva.tga"

appEnded() { ! kill -0 "$APP_PID" 2>/dev/null; }
xdotool type --window "$WINDOW" q
waitFor 10 appEnded || fail "q did not end the program"
wait "$APP_PID"
CODE=$?
APP_PID=""
[ "$CODE" -eq 0 ] || { cat "$WORK/out.txt"; fail "exit code $CODE, expected 0"; }

echo "PASS: messages, window $GEOMETRY, screenshot $SHOT_BYTES bytes, exit code 0"
