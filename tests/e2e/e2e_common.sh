# Helpers of the end-to-end tests: a private Xvfb display, the program in a
# temporary folder, its window found by title, keys typed into it. Sourced.
# Everything started here is ended when the script exits.

TITLE="quendal -> 1999 -> bodravin"
SHOT_BYTES=393234   # 18-byte header + 512 x 256 x 3

WORK="$(mktemp -d)"
XVFB_PID=""
WM_PID=""
APP_PID=""
WINDOW=""

fail() { echo "FAIL: $*"; [ -f "$WORK/out.txt" ] && { echo "--- program output:"; cat "$WORK/out.txt"; }; exit 1; }

cleanup() {
  [ -n "$APP_PID" ] && kill -CONT "$APP_PID" 2>/dev/null
  [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null
  [ -n "$WM_PID" ] && kill "$WM_PID" 2>/dev/null
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
  [ -n "$XVFB_PID" ] && wait "$XVFB_PID" 2>/dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT

# waitFor SECONDS COMMAND...: retries COMMAND every 0.2 s until it succeeds.
waitFor() {
  local tries=$(( $1 * 5 )); shift
  local i
  for ((i = 0; i < tries; i++)); do
    "$@" && return 0
    sleep 0.2
  done
  return 1
}

requireTools() {
  local tool
  for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/test installs it)"
  done
}

# startXvfb WIDTHxHEIGHTxDEPTH: a virtual screen; Xvfb picks a free display
# number itself and reports it, so parallel or leftover servers cannot clash.
# -noreset: the server must not restart when the probing client disconnects,
# or the program may find it closed for a moment.
startXvfb() {
  local n=""
  Xvfb -displayfd 3 -screen 0 "$1" -nolisten tcp -noreset 3>"$WORK/display" >"$WORK/xvfb.log" 2>&1 &
  XVFB_PID=$!
  displayKnown() { n="$(head -n 1 "$WORK/display" 2>/dev/null)"; [ -n "$n" ]; }
  waitFor 10 displayKnown || { cat "$WORK/xvfb.log"; fail "Xvfb did not report a display"; }
  export DISPLAY=":$n"
  waitFor 10 xdotool getmouselocation >/dev/null 2>&1 || { cat "$WORK/xvfb.log"; fail "Xvfb did not start on $DISPLAY"; }
}

# startWindowManager: openbox on $DISPLAY, as on a desktop: it puts windows
# full screen when they ask (SDL's desktop full screen needs a window manager).
startWindowManager() {
  command -v openbox >/dev/null || fail "openbox is not installed (scripts/test installs it)"
  openbox --sm-disable >"$WORK/wm.log" 2>&1 &
  WM_PID=$!
  waitFor 10 xdotool get_desktop >/dev/null 2>&1 || { cat "$WORK/wm.log"; fail "openbox did not start"; }
}

# useContent: the generated data.fil and tazutune.it (from $ZD_CONTENT) in $WORK.
useContent() {
  [ -n "${ZD_CONTENT:-}" ] && [ -f "$ZD_CONTENT/data.fil" ] || fail "no generated content in '${ZD_CONTENT:-}'"
  ln -sf "$ZD_CONTENT/data.fil" "$ZD_CONTENT/tazutune.it" "$WORK/"
}

# startProgram PROGRAM ARGS...: runs it in $WORK on X11 without sound; waits for its window.
startProgram() {
  cd "$WORK" || fail "no folder $WORK"
  useContent
  SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy "$@" >"$WORK/out.txt" 2>&1 &
  APP_PID=$!
  waitFor 15 findWindow || fail "no window titled '$TITLE'"
}

findWindow() {
  WINDOW="$(xdotool search --onlyvisible --name "^$TITLE\$" 2>/dev/null | head -n 1)"
  [ -n "$WINDOW" ]
}

windowGeometry() { xdotool getwindowgeometry "$WINDOW" | sed -n 's/ *Geometry: //p'; }

expectGeometry() {
  local geometry
  geometry="$(windowGeometry)"
  [ "$geometry" = "$1" ] || fail "window is $geometry, expected $1"
}

windowPosition() { xdotool getwindowgeometry "$WINDOW" | sed -n 's/ *Position: \([0-9-]*,[0-9-]*\).*/\1/p'; }

expectOutput() { grep -qF "$1" "$WORK/out.txt" || fail "missing message: $1"; }

shotDone() { [ -f "$WORK/zedariva.tga" ] && [ "$(stat -c %s "$WORK/zedariva.tga")" -eq "$SHOT_BYTES" ]; }

# A key sent before the program listens is lost: each step sends its key again
# (harmless: a screenshot is rewritten, a quit key repeated) until it acts.
expectScreenshotOnS() {
  local attempt
  for attempt in 1 2 3 4 5; do
    xdotool key --window "$WINDOW" S
    waitFor 2 shotDone && return 0
  done
  fail "S did not write a $SHOT_BYTES-byte zedariva.tga"
}

appEnded() { ! kill -0 "$APP_PID" 2>/dev/null; }

# expectQuitOn KEYNAME: the key (an xdotool key name: q, Escape) ends the program with 0.
expectQuitOn() {
  local attempt
  for attempt in 1 2 3 4 5; do
    xdotool key --window "$WINDOW" "$1" 2>/dev/null
    waitFor 2 appEnded && break
  done
  appEnded || fail "'$1' did not end the program"
  wait "$APP_PID"
  local code=$?
  APP_PID=""
  [ "$code" -eq 0 ] || fail "exit code $code, expected 0"
}
