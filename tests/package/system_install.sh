#!/usr/bin/env bash
# system_install.sh DEB: on a machine of its own (CI's, as root, thrown away
# afterwards): installs the package with dpkg, runs the installed program
# from /tmp, and removes it with apt-get, which must leave none of its files.
set -u
deb="$1"
fail() { echo "FAIL: $*"; exit 1; }
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy DEBIAN_FRONTEND=noninteractive

[ "$(id -u)" -eq 0 ] || fail "run as root, on a machine that may be changed"
dpkg -i "$deb" >/dev/null || apt-get -f install -y -q >/dev/null || fail "dpkg -i $deb"
dpkg -s zedariva >/dev/null 2>&1 || fail "zedariva is not installed after dpkg -i"
files="$(dpkg -L zedariva | while read -r path; do [ -f "$path" ] && echo "$path"; done)"
version="$(zedariva --version)" || fail "zedariva --version"
work="$(mktemp -d /tmp/zedariva-installed-XXXXXX)"
(cd "$work" && zedariva --capture=frames/ --frames=10) >"$work/out.txt" 2>&1 || fail "the capture from /tmp: $(tail -n 1 "$work/out.txt")"
[ "$(ls "$work/frames" | grep -c '\.tga$')" -eq 10 ] || fail "the capture wrote $(ls "$work/frames" | wc -l) files"
rm -rf "$work"
apt-get remove -y -q zedariva >/dev/null || fail "apt-get remove zedariva"
left="$(for path in $files; do [ -e "$path" ] && echo "$path"; done)"
[ -z "$left" ] || fail "left behind: $left"
echo "PASS: installed ($version), a 10-frame capture from /tmp, removed with nothing left ($(echo "$files" | wc -l) files)"
