#!/usr/bin/env bash
# Installs the Debian packages the build, the program, the tests and the fuzz targets need
# (only the missing ones), then configures and builds into build/. Called by run.sh and test.sh;
# test.sh --sanitize passes another build directory and its CMake options:
#   bash scripts/setup.sh [build-dir [cmake options...]]
# TAVURO_TARGET=<target> builds that target alone (run.sh: the program), else everything.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev gstreamer1.0-plugins-base gstreamer1.0-plugins-good
  gstreamer1.0-plugins-bad gstreamer1.0-plugins-ugly timgm6mb-soundfont
  nettle-dev libical-dev libpulse-dev libgtest-dev libbenchmark-dev
  pulseaudio pulseaudio-utils snapserver snapclient
  fonts-wqy-microhei qt6-translations-l10n qt6-l10n-tools qt6-tools-dev qt6-tools-dev-tools librsvg2-bin
  desktop-file-utils appstream imagemagick xvfb xdotool x11-utils
  at-spi2-core python3-pyatspi dbus-x11
  clang libclang-rt-14-dev faketime
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

build_dir=${1:-build}
[ $# -gt 0 ] && shift
if [ ! -f "$build_dir/build.ninja" ] || [ $# -gt 0 ]; then
  cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
fi
cmake --build "$build_dir" ${TAVURO_TARGET:+--target "$TAVURO_TARGET"}
