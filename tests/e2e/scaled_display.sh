#!/usr/bin/env bash
# scaled_display.sh PROGRAM CASE [RENDERER]: the scaled presentation on a
# 1920 x 1080 Xvfb screen with a window manager, driven by keys and window
# commands as a person would. What the window shows is compared with the S
# screenshot: scaled by whole factors it must match pixel for pixel, with
# black around it. RENDERER, when given, is the SDL renderer to use
# ("software"); otherwise SDL takes what the machine offers. CASE is one of:
#   window   --scale=2 -w: a 1024 x 512 window, each pixel a 2 x 2 block
#   desktop  --desktop: the whole screen, the picture 3x (1536 x 768) centred
#   switch   --scale=2: Alt+Enter to the desktop (3x centred) and back (2x)
#   resize   --scale=2 resized to 1300 x 900 (2x centred), then 1600 x 800 (3x)
#   smooth   --desktop --smooth: 1920 x 960 between black bars, filtered
set -u
source "$(dirname "$0")/e2e_common.sh"

program="$1"; case="$2"
[ -n "${3:-}" ] && export SDL_RENDER_DRIVER="$3"

for tool in import convert compare; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/test installs imagemagick)"
done

# grabWithShot: presses S with the screenshot file replaced by a named pipe,
# so that the program stops inside its screenshot, before it can show another
# frame; grabs the window into grab.ppm, then reads the screenshot from the
# pipe into shot.tga, which lets the program go on. The window then shows the
# frame the screenshot holds, unless the grab came before the program took
# the key (the callers try again).
grabWithShot() {
  local pipe="$WORK/zedariva.tga"
  rm -f "$pipe" "$WORK/shot.tga"
  mkfifo "$pipe" || fail "cannot make a named pipe in $WORK"
  xdotool key --window "$WINDOW" S
  sleep 0.5
  import -window "$WINDOW" "$WORK/grab.ppm"
  timeout 5 cat "$pipe" >"$WORK/shot.tga"
  rm -f "$pipe"
  [ "$(stat -c %s "$WORK/shot.tga")" -eq "$SHOT_BYTES" ]
}

# A uniform screenshot would match any scaling: the test needs a real picture.
expectPictureInShot() {
  local spread
  spread="$(convert "$WORK/shot.tga" -format '%[fx:standard_deviation]' info:)"
  [ "$spread" != "0" ] || fail "the screenshot is one flat colour"
}

# expectPicture FACTOR X Y: the window shows the screenshot scaled by FACTOR
# (each pixel a FACTOR x FACTOR block) with its top-left corner at (X, Y), and
# black everywhere else.
expectPicture() {
  local factor=$1 x=$2 y=$3 size attempt differing="no grab"
  size="$(windowGeometry)"
  for attempt in 1 2 3 4 5 6 7 8; do
    grabWithShot || continue
    expectPictureInShot
    convert -size "$size" xc:black \( "$WORK/shot.tga" -sample "$((factor * 100))%" \) \
      -geometry "+$x+$y" -composite "$WORK/expected.ppm"
    differing="$(compare -metric AE "$WORK/grab.ppm" "$WORK/expected.ppm" null: 2>&1)"
    if [ "$differing" = "0" ]; then
      echo "window $size shows the screenshot at ${factor}x at $x,$y (attempt $attempt)"
      return 0
    fi
  done
  fail "window $size: the screenshot at ${factor}x at $x,$y does not match: $differing"
}

# rmse A B: the normalised root-mean-square difference of two pictures.
rmse() { compare -metric RMSE "$1" "$2" null: 2>&1 | sed -n 's/.*(\(.*\)).*/\1/p'; }

# expectSmoothPicture: black bars of 60 rows above and below, and between them
# the screenshot enlarged to 1920 x 960, closer to a bilinear enlargement than
# to a sharp one.
expectSmoothPicture() {
  local attempt bilinear sharp
  for attempt in 1 2 3 4 5 6 7 8; do
    grabWithShot || continue
    expectPictureInShot
    convert "$WORK/grab.ppm" -crop 1920x60+0+0 +repage "$WORK/top.ppm"
    convert "$WORK/grab.ppm" -crop 1920x60+0+1020 +repage "$WORK/bottom.ppm"
    convert "$WORK/grab.ppm" -crop 1920x960+0+60 +repage "$WORK/middle.ppm"
    for bar in top bottom; do
      [ "$(convert "$WORK/$bar.ppm" -format '%[fx:maxima]' info:)" = "0" ] || fail "the $bar bar is not black"
    done
    convert "$WORK/shot.tga" -filter Triangle -resize '1920x960!' "$WORK/bilinear.ppm"
    convert "$WORK/shot.tga" -filter Point -resize '1920x960!' "$WORK/sharp.ppm"
    bilinear="$(rmse "$WORK/middle.ppm" "$WORK/bilinear.ppm")"
    sharp="$(rmse "$WORK/middle.ppm" "$WORK/sharp.ppm")"
    if awk -v b="$bilinear" -v s="$sharp" 'BEGIN { exit !(b < 0.03 && b < s) }'; then
      echo "desktop shows the screenshot filtered to 1920x960 at 0,60 (difference $bilinear, sharp $sharp)"
      return 0
    fi
  done
  fail "the smooth picture does not match a bilinear enlargement (difference $bilinear, sharp $sharp)"
}

geometryIs() { [ "$(windowGeometry)" = "$1" ]; }

expectDesktop() {
  waitFor 10 geometryIs 1920x1080 || fail "window is $(windowGeometry), expected the whole screen 1920x1080"
  [ "$(windowPosition)" = "0,0" ] || fail "window is at $(windowPosition), expected 0,0"
}

# resizeTo WIDTH HEIGHT: the window manager gives the window a new size, as
# when a person drags its corner.
resizeTo() {
  xdotool windowsize "$WINDOW" "$1" "$2"
  waitFor 10 geometryIs "$1x$2" || fail "window is $(windowGeometry) after resizing, expected $1x$2"
}

requireTools
startXvfb 1920x1080x24
startWindowManager
case "$case" in
  window)
    startProgram "$program" --scale=2 -w
    expectGeometry 1024x512
    expectPicture 2 0 0
    ;;
  desktop)
    startProgram "$program" --desktop
    expectDesktop
    expectPicture 3 192 156
    ;;
  switch)
    startProgram "$program" --scale=2
    expectGeometry 1024x512
    expectPicture 2 0 0
    xdotool key --window "$WINDOW" alt+Return
    expectDesktop
    expectPicture 3 192 156
    xdotool key --window "$WINDOW" alt+Return
    waitFor 10 geometryIs 1024x512 || fail "window is $(windowGeometry) after the second Alt+Enter"
    expectPicture 2 0 0
    ;;
  resize)
    startProgram "$program" --scale=2
    expectGeometry 1024x512
    resizeTo 1300 900
    expectPicture 2 138 194
    resizeTo 1600 800
    expectPicture 3 32 16
    ;;
  smooth)
    startProgram "$program" --desktop --smooth
    expectDesktop
    expectSmoothPicture
    ;;
  *)
    fail "unknown case '$case'"
    ;;
esac
expectQuitOn Escape
echo "PASS: scaled presentation, $case${SDL_RENDER_DRIVER:+ (${SDL_RENDER_DRIVER} renderer)}"
