#!/usr/bin/env bash
# viewer_keys.sh PROGRAM ARGS...: the viewer keys on a private Xvfb display,
# from order 20 (the tunnel, which moves every frame). Space pauses: the
# window holds its picture and the program sleeps; Space resumes; Right goes
# to the next order and Home to the start, each saying so on standard output;
# Escape still ends with exit code 0.
set -u
source "$(dirname "$0")/e2e_common.sh"

program="$1"; shift
command -v import >/dev/null || fail "import is not installed (scripts/test installs imagemagick)"

grab() { import -window "$WINDOW" "$WORK/$1.ppm" 2>/dev/null || fail "cannot grab the window"; }
sameGrabs() { cmp -s "$WORK/a.ppm" "$WORK/b.ppm"; }
lineCount() { grep -c -E "$1" "$WORK/out.txt"; }

# pressUntil KEY PATTERN: sends the key until standard output has one more
# line matching PATTERN than before (a key sent before the window listens is lost).
pressUntil() {
  local key="$1" pattern="$2" before attempt
  before="$(lineCount "$pattern")"
  for attempt in 1 2 3 4 5; do
    xdotool key --window "$WINDOW" "$key"
    moreLines() { [ "$(lineCount "$pattern")" -gt "$before" ]; }
    waitFor 2 moreLines && return 0
  done
  fail "'$key' printed no line matching '$pattern'"
}

# CPU seconds the program has used (user + system), from /proc.
cpuTicks() { awk '{ print $14 + $15 }' "/proc/$APP_PID/stat"; }

requireTools
startXvfb 1280x1024x24
startProgram "$program" "$@" --start=20
sleep 1

pressUntil space '^paused at order 2[0-9], row [0-9]+$'
sleep 0.3
grab a; sleep 1; grab b
sameGrabs || fail "the picture moved while paused"
ticks="$(cpuTicks)"; sleep 2; used=$(( $(cpuTicks) - ticks ))
hz="$(getconf CLK_TCK)"
[ "$used" -le $(( hz / 5 )) ] || fail "paused, the program used $used ticks of CPU in 2 s (at most $(( hz / 5 )))"

pressUntil space '^playing$'
grab a; sleep 1; grab b
sameGrabs && fail "the picture did not move after resuming"

paused="$(grep -E '^paused at order' "$WORK/out.txt" | tail -n 1 | sed 's/paused at order \([0-9]*\),.*/\1/')"
pressUntil Right '^order [0-9]+$'
next="$(grep -E '^order [0-9]+$' "$WORK/out.txt" | tail -n 1 | cut -d' ' -f2)"
[ "$next" -gt "$paused" ] || fail "Right went to order $next from order $paused or later"

pressUntil Home '^order 0$'
expectQuitOn Escape
echo "PASS: pause holds the picture ($used CPU ticks in 2 s), resume moves it, Right to order $next, Home to order 0, Escape ends with 0"
