#!/usr/bin/env bash
# package_test.sh DEB: the Debian package, extracted: every file where it
# belongs, the desktop entry, the AppStream metadata and the manual pages
# valid by their own tools, and no lintian error.
set -u
deb="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

[ -f "$deb" ] || fail "no package $deb (scripts/test makes it with cpack)"
dpkg-deb -x "$deb" "$work/root" || fail "dpkg-deb -x $deb"
root="$work/root/usr"
for file in bin/zedariva bin/zedariva-pack bin/zedariva-render bin/zedariva-content \
            share/zedariva/data.fil share/zedariva/tazutune.it share/applications/zedariva.desktop \
            share/metainfo/zedariva.metainfo.xml \
            share/icons/hicolor/48x48/apps/zedariva.png share/icons/hicolor/128x128/apps/zedariva.png \
            share/icons/hicolor/256x256/apps/zedariva.png \
            share/man/man6/zedariva.6.gz share/man/man1/zedariva-pack.1.gz share/man/man1/zedariva-render.1.gz \
            share/man/man1/zedariva-content.1.gz \
            share/doc/zedariva/README.md share/doc/zedariva/copyright share/doc/zedariva/changelog.Debian.gz; do
  [ -s "$root/$file" ] || fail "no /usr/$file in the package"
done
for side in 48 128 256; do
  size="$(identify -format '%wx%h' "$root/share/icons/hicolor/${side}x${side}/apps/zedariva.png")"
  [ "$size" = "${side}x${side}" ] || fail "the ${side}x${side} icon is $size"
done
dpkg-deb -f "$deb" Depends | grep -q libsdl2 || fail "the dependencies do not name SDL2: $(dpkg-deb -f "$deb" Depends)"
[ "$(dpkg-deb -f "$deb" Recommends)" = "ffmpeg" ] || fail "ffmpeg is not recommended"

desktop-file-validate "$root/share/applications/zedariva.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$root/share/metainfo/zedariva.metainfo.xml" || fail "appstreamcli validate"
for manual in "$root"/share/man/man*/*.gz; do
  warnings="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$manual" 2>&1 >/dev/null)"
  [ -z "$warnings" ] || fail "man --warnings $(basename "$manual"): $warnings"
  warnings="$(zcat "$manual" | groff -ww -man -z 2>&1)"
  [ -z "$warnings" ] || fail "groff -ww $(basename "$manual"): $warnings"
done
lintian --info "$deb" >"$work/lintian.txt" 2>&1 || fail "lintian: $(grep '^E:' "$work/lintian.txt")"
echo "PASS: every file in place; desktop entry, AppStream metadata and manual pages valid; lintian: $(grep -c '^W:' "$work/lintian.txt") warnings, no errors"
