#!/usr/bin/env bash
# `cmake --install` into a scratch prefix puts the executable, the menu entry, the icon (SVG and
# every PNG size, each as large as its folder says) and the software-centre description in
# place, each accepted by its validator; started as its entry says, the installed program
# keeps its data in the per-user data folder.
set -uo pipefail
build=$1
exe=$build/app/TavuroMP3
source "$(dirname "$0")/xvfb_env.sh"
prefix=$work/prefix

cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install failed"
[ -x "$prefix/bin/TavuroMP3" ] || fail "no executable in bin/"
desktop-file-validate "$prefix/share/applications/TavuroMP3.desktop" || fail "desktop entry refused"
grep -q '^Categories=AudioVideo;' "$prefix/share/applications/TavuroMP3.desktop" || fail "not in AudioVideo"
grep -q '^Name\[zh_CN\]=' "$prefix/share/applications/TavuroMP3.desktop" || fail "no Chinese name"
appstreamcli validate --no-net "$prefix/share/metainfo/org.tavuro.TavuroMP3.metainfo.xml" >/dev/null \
  || fail "metainfo refused: $(appstreamcli validate --no-net "$prefix/share/metainfo/org.tavuro.TavuroMP3.metainfo.xml")"
icons=$prefix/share/icons/hicolor
[ -s "$icons/scalable/apps/TavuroMP3.svg" ] || fail "no scalable icon"
for size in 16 22 24 32 48 64 128 256; do
  png=$icons/${size}x${size}/apps/TavuroMP3.png
  [ "$(identify -format '%wx%h' "$png" 2>/dev/null)" = "${size}x${size}" ] || fail "$png is not ${size}x${size}"
done
echo "installed files validated"

check_installed_start "$prefix"
echo "1 passed, 0 failed"
