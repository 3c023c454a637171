#!/usr/bin/env bash
# Runs "zedariva -x -v250 -w" on a private Xvfb display, checks its messages,
# the window's title and size, that S writes a 512 x 256 screenshot and that
# q ends the program with exit code 0.
set -u
source "$(dirname "$0")/e2e_common.sh"

requireTools
startXvfb 1024x768x24
startProgram "$1" -x -v250 -w
expectOutput "Errornous parameter '-x'"
expectOutput "setting volume to 100"
expectOutput "starting in windowed mode"
expectGeometry 512x256
expectScreenshotOnS
expectQuitOn q
echo "PASS: messages, window 512x256, screenshot $SHOT_BYTES bytes, exit code 0"
