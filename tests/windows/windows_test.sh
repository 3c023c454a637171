#!/usr/bin/env bash
# windows_test.sh CASE ZIP LINUX_PROGRAM: the Windows zip, unpacked into a
# folder of its own, under Wine (Debian's wine64), against the Linux program
# on the same content. CASE is one of:
#   capture  --capture=DIR/ --fps=4 over the whole presentation: every TGA and
#            music.wav the same, byte for byte
#   live     -w --start=20 on Xvfb with a window manager: a 512 x 256 window
#            with the presentation's caption and picture, S writes
#            zedariva.tga, q ends it with 0
#   nodata   without data.fil, on Xvfb: "file not included exit" and a
#            non-zero code
#   pipes    --capture=FILE.mp4 with a stand-in for ffmpeg that keeps what it
#            is handed: the same picture and sound bytes as on Linux; without
#            ffmpeg.exe, one line says so
# WINEPREFIX is the Wine prefix to use (made by the first run when missing).
set -u
source "$(dirname "$0")/../e2e/e2e_common.sh"

case="$1"; zip="$2"; linux="$3"
WINE=/usr/lib/wine/wine64
HERE="$(cd "$(dirname "$0")" && pwd)"
export WINEDEBUG=-all
# The Windows program sees our environment: its own video driver, whatever
# the Linux tests around it asked of SDL, and no sound card.
export SDL_VIDEODRIVER=windows SDL_AUDIODRIVER=dummy

[ -x "$WINE" ] || fail "wine64 is not installed (scripts/test installs it)"
cd "$WORK" || fail "no folder $WORK"
python3 -m zipfile -e "$zip" "$WORK/unpacked" || fail "cannot unpack $zip"
APP="$WORK/unpacked/zedariva-windows"
[ -f "$APP/zedariva.exe" ] || fail "no zedariva.exe in $zip"

# The Linux program on the zip's own content, in a folder of its own.
linuxRun() {
  mkdir -p "$WORK/linux" && ln -sf "$APP/data.fil" "$APP/tazutune.it" "$WORK/linux/"
  (cd "$WORK/linux" && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "$@") >"$WORK/linux.txt" 2>&1
}

# Wine's server keeps the display it started with: the cases with a screen
# of their own (which run alone) start from a server of their own, and end it.
freshWineServer() {
  /usr/lib/wine/wineserver -k 2>/dev/null
  trap '/usr/lib/wine/wineserver -k 2>/dev/null; cleanup' EXIT
}

windowsRun() { (cd "$APP" && timeout 300 "$WINE" "$APP/zedariva.exe" "$@") >"$WORK/windows.txt" 2>"$WORK/wine.txt"; }

case "$case" in
capture)
  linuxRun "$linux" --capture=frames/ --fps=4 || fail "the Linux capture failed: $(tail -n 1 "$WORK/linux.txt")"
  windowsRun --capture=frames/ --fps=4 || fail "the Windows capture failed: $(tail -n 1 "$WORK/windows.txt")"
  count=0
  for file in "$WORK/linux/frames"/*; do
    name="$(basename "$file")"
    cmp -s "$file" "$APP/frames/$name" || fail "$name differs between Linux and Windows"
    count=$((count + 1))
  done
  [ "$(ls "$APP/frames" | wc -l)" -eq "$count" ] || fail "Windows wrote $(ls "$APP/frames" | wc -l) files, Linux $count"
  echo "PASS: $count files (every frame and music.wav) the same on Linux and under Wine"
  ;;
live)
  command -v import >/dev/null || fail "import is not installed (scripts/test installs imagemagick)"
  requireTools
  startXvfb 1024x768x24
  startWindowManager
  freshWineServer
  (cd "$APP" && exec "$WINE" "$APP/zedariva.exe" -w --start=20) >"$WORK/out.txt" 2>"$WORK/wine.txt" &
  APP_PID=$!
  waitFor 60 findWindow || fail "no window titled '$TITLE'"
  expectGeometry 512x256
  sleep 2
  # Wine takes the keys of the focused window only, from the X server itself.
  xdotool windowactivate --sync "$WINDOW" 2>/dev/null
  position="$(windowPosition)"
  import -window root -crop "512x256+${position%,*}+${position#*,}" "$WORK/shot.png" || fail "cannot grab the screen"
  colours="$(identify -format '%k' "$WORK/shot.png")"
  [ "$colours" -ge 1000 ] || fail "the window shows $colours colours"
  shot() { [ -f "$APP/zedariva.tga" ] && [ "$(stat -c %s "$APP/zedariva.tga")" -eq "$SHOT_BYTES" ]; }
  for attempt in 1 2 3 4 5; do
    xdotool key S
    waitFor 2 shot && break
  done
  shot || fail "S did not write a $SHOT_BYTES-byte zedariva.tga"
  for attempt in 1 2 3 4 5; do
    xdotool key q
    waitFor 3 appEnded && break
  done
  appEnded || fail "q did not end the program"
  wait "$APP_PID"; code=$?; APP_PID=""
  [ "$code" -eq 0 ] || fail "exit code $code, expected 0"
  echo "PASS: window 512x256 '$TITLE', $colours colours, zedariva.tga $SHOT_BYTES bytes, q ends with 0"
  ;;
nodata)
  # The display opens before the first asset is read.
  requireTools
  startXvfb 1024x768x24
  freshWineServer
  rm "$APP/data.fil"
  windowsRun -w
  code=$?
  [ "$code" -ne 0 ] || fail "exit code 0 without data.fil"
  tr -d '\r' <"$WORK/windows.txt" | grep -qx 'file not included exit' || fail "no 'file not included exit' line: $(cat "$WORK/windows.txt")"
  echo "PASS: without data.fil, 'file not included exit' and exit code $code"
  ;;
pipes)
  reader="$WORK/pipe-reader"
  gcc -O2 -o "$reader" "$HERE/pipe_reader.c" -lpthread || fail "cannot build the Linux stand-in"
  x86_64-w64-mingw32-gcc-posix -O2 -static -o "$APP/ffmpeg.exe" "$HERE/pipe_reader.c" ||
    fail "cannot build the Windows stand-in"
  mkdir -p "$WORK/bin" && cp "$reader" "$WORK/bin/ffmpeg"
  PATH="$WORK/bin:$PATH" linuxRun "$linux" --capture=out.mp4 --frames=30 --start=20 ||
    fail "the Linux capture failed: $(tail -n 1 "$WORK/linux.txt")"
  windowsRun --capture=out.mp4 --frames=30 --start=20 || fail "the Windows capture failed: $(cat "$WORK/windows.txt")"
  for raw in video.raw sound.raw; do
    [ -s "$WORK/linux/$raw" ] || fail "the Linux stand-in got no $raw"
    cmp -s "$WORK/linux/$raw" "$APP/$raw" || fail "$raw differs between Linux and Windows"
  done
  rm "$APP/ffmpeg.exe"
  windowsRun --capture=out.mp4 --frames=30 && fail "without ffmpeg.exe the capture succeeded"
  grep -q "the ffmpeg program is not installed (put ffmpeg.exe beside the program or on the PATH); --capture=DIR/ works without it" \
    "$WORK/windows.txt" || fail "without ffmpeg.exe: $(cat "$WORK/windows.txt")"
  echo "PASS: $(stat -c %s "$APP/video.raw") picture and $(stat -c %s "$APP/sound.raw") sound bytes the same; without ffmpeg.exe one line says so"
  ;;
*)
  fail "unknown case '$case'"
  ;;
esac
