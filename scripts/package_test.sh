#!/usr/bin/env bash
# Builds the Debian package from build/ (run ./test.sh or scripts/setup.sh first), installs it
# with apt-get as a user would, starts the installed program under Xvfb as its menu entry says,
# with a safe Config.ini in a scratch home's data folder, and sees its window. The package is
# removed again at the end, unless it was installed before.
set -uo pipefail
cd "$(dirname "$0")/.."
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
apt_get() { DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=300 -y -q "$@"; }

(cd build && cpack -G DEB >/dev/null) || { echo "FAIL: cpack -G DEB"; exit 1; }
deb=$(ls -t build/tavuromp3_*.deb | head -1)
echo "package: $deb ($(du -k "$deb" | cut -f1) KiB)"
was_installed=$(dpkg-query -W -f='${Status}' tavuromp3 2>/dev/null | grep -c 'install ok installed')
apt_get install --no-install-recommends "./$deb" >/dev/null || { echo "FAIL: apt-get install $deb"; exit 1; }
[ "$was_installed" -eq 0 ] && trap_remove=1 || trap_remove=0

exe=/usr/bin/TavuroMP3
source tests/system/xvfb_env.sh
trap 'cleanup; [ "$trap_remove" -eq 1 ] && apt_get remove tavuromp3 >/dev/null' EXIT
desktop-file-validate /usr/share/applications/TavuroMP3.desktop || fail "installed entry refused"
check_installed_start /usr
echo "1 passed, 0 failed"
