#!/usr/bin/env bash
# install_test.sh BUILD: cmake --install into a temporary prefix; the
# installed program, started in an unrelated empty folder, finds its data in
# PREFIX/share/zedariva and captures the same frames as the build folder's
# program given the same content.
set -u
build="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy

cmake --install "$build" --prefix "$work/prefix" >"$work/install.txt" 2>&1 || fail "cmake --install: $(tail -n 1 "$work/install.txt")"
mkdir -p "$work/empty" "$work/built"
(cd "$work/empty" && "$work/prefix/bin/zedariva" --capture=frames/ --frames=20 --start=9) >"$work/installed.txt" 2>&1 ||
  fail "the installed program: $(tail -n 1 "$work/installed.txt")"
ln -s "$work/prefix/share/zedariva/data.fil" "$work/prefix/share/zedariva/tazutune.it" "$work/built/"
(cd "$work/built" && "$build/zedariva" --capture=frames/ --frames=20 --start=9) >"$work/built.txt" 2>&1 ||
  fail "the build folder's program: $(tail -n 1 "$work/built.txt")"
[ "$(ls "$work/empty/frames" | wc -l)" -eq 21 ] || fail "the installed program wrote $(ls "$work/empty/frames" | wc -l) files"
diff -r "$work/empty/frames" "$work/built/frames" >/dev/null || fail "the installed program's frames differ"
"$work/prefix/bin/zedariva" --help | grep -q "else from $work/prefix/share/zedariva" ||
  fail "--help does not name the installed data folder"
echo "PASS: installed into a prefix, the program captures from an empty folder the same 20 frames and sound"
