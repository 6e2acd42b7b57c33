#!/usr/bin/env bash
# Started where there is no display (over SSH, from a service), the program says so in one
# line on stderr and exits with status 1, both with no DISPLAY at all and with one that no
# X server answers.
set -uo pipefail
exe=$(realpath "$1")
fail() { echo "FAIL: $*"; exit 1; }
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
for display in "" ":87654"; do
  err=$(cd "$home" && env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY="$display" HOME="$home" \
        XDG_CONFIG_HOME="$home" XDG_RUNTIME_DIR="$home" timeout 20 "$exe" 2>&1 >/dev/null)
  rc=$?
  [ "$rc" -eq 1 ] || fail "DISPLAY='$display': exit status $rc, said: $err"
  [ "$(printf '%s\n' "$err" | wc -l)" -eq 1 ] || fail "DISPLAY='$display': not one line: $err"
  [[ "$err" == *没有可用的图形显示* && "$err" == *"no display"* ]] || fail "DISPLAY='$display': said '$err'"
done
[ -z "$(ls -A "$home")" ] || fail "files written: $(ls -A "$home")"
echo "1 passed, 0 failed"
