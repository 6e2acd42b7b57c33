#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test; exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/setup.sh
cd build
ctest --output-on-failure --timeout 300 -j2
