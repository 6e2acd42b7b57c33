#!/usr/bin/env bash
# Installs what is missing, builds the program alone (not the tests or benchmarks) and starts
# it. Its data files live beside the executable, in build/app/: copy them before deleting build/.
set -euo pipefail
cd "$(dirname "$0")"
TAVURO_TARGET=TavuroMP3 bash scripts/setup.sh
exec build/app/TavuroMP3 "$@"
