#!/usr/bin/env bash
# screen_modes.sh PROGRAM SCREEN GEOMETRY [ARGS...]: on an Xvfb screen of
# SCREEN (WIDTHxHEIGHTxDEPTH) the program's window has GEOMETRY; S still
# writes a 512 x 256 screenshot and Escape ends the program with exit code 0.
set -u
source "$(dirname "$0")/e2e_common.sh"

program="$1"; screen="$2"; geometry="$3"; shift 3
requireTools
startXvfb "$screen"
startProgram "$program" "$@"
expectGeometry "$geometry"
expectScreenshotOnS
expectQuitOn Escape
echo "PASS: screen $screen, window $geometry, screenshot $SHOT_BYTES bytes, exit code 0"
