#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program (data files beside the executable).
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/setup.sh
exec build/app/TavuroMP3 "$@"
