#!/usr/bin/env bash
# Builds the libFuzzer targets with clang++ into build-fuzz/ and runs each for the given number
# of seconds (default 60) from its seeds in fuzz/corpus/<name>/. New inputs go to a scratch
# corpus, never into the tree; a crashing input is kept in build-fuzz/crashes/. Exits non-zero
# when a target cannot be built or finds a crash.
#   scripts/fuzz.sh [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
printf '#include <cstddef>\n#include <cstdint>\nextern "C" int LLVMFuzzerTestOneInput(const uint8_t*, size_t) { return 0; }\n' \
  > "$probe/probe.cpp"
if ! clang++ -fsanitize=fuzzer "$probe/probe.cpp" -o "$probe/probe" 2>"$probe/log"; then
  cat "$probe/log" >&2
  echo "clang++ cannot build libFuzzer programs (packages clang, libclang-rt-14-dev)" >&2
  exit 1
fi

if [ ! -f build-fuzz/build.ninja ]; then
  cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DTAVURO_FUZZ=ON
fi
cmake --build build-fuzz

mkdir -p build-fuzz/crashes
# The targets touch no GUI library, so their leak check is clean and stays on.
export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
status=0
for seeds in fuzz/corpus/*/; do
  name=$(basename "$seeds")
  scratch="$probe/corpus_$name"
  mkdir -p "$scratch"
  log="build-fuzz/fuzz_$name.log"
  echo "fuzz_$name: ${seconds}s"
  if build-fuzz/fuzz/fuzz_"$name" -max_total_time="$seconds" -print_final_stats=1 \
       -artifact_prefix=build-fuzz/crashes/"$name"- "$scratch" "$seeds" >"$log" 2>&1; then
    awk '/stat::number_of_executed_units|stat::average_exec_per_sec/ {print "  " $0}' "$log"
  else
    status=1
    echo "fuzz_$name FAILED:" >&2
    tail -60 "$log" >&2
  fi
done
exit $status
