#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test; exits non-zero on any failure.
#   ./test.sh              the normal build in build/
#   ./test.sh --sanitize   everything built with AddressSanitizer and UndefinedBehaviorSanitizer
#                          in build-asan/ (no benchmarks); any finding fails its test
set -euo pipefail
cd "$(dirname "$0")"
if [ "${1:-}" = "--sanitize" ]; then
  # Findings abort with a stack. Leak checking is off: Qt, fontconfig and GStreamer keep
  # allocations to process exit that are no fault of ours and would fail every test.
  export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=0:detect_stack_use_after_return=1
  export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
  bash scripts/setup.sh build-asan -DTAVURO_SANITIZE=ON -DTAVURO_BENCH=OFF
  cd build-asan
elif [ $# -gt 0 ]; then
  echo "usage: $0 [--sanitize]" >&2
  exit 2
else
  bash scripts/setup.sh
  cd build
fi
ctest --output-on-failure --timeout 300 -j2
