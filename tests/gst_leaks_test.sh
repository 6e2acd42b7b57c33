#!/usr/bin/env bash
# Runs test programs under GStreamer's leak tracer: any GStreamer object or mini-object still
# alive when a program ends fails the run, named by its type.
#   gst_leaks_test.sh PROGRAM FILTER [PROGRAM FILTER ...]
set -uo pipefail
export GST_TRACERS=leaks GST_DEBUG=GST_TRACER:7 GST_DEBUG_NO_COLOR=1
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
log=$(mktemp)
trap 'rm -f "$log"' EXIT
failed=0
while [ $# -ge 2 ]; do
  program=$1 filter=$2
  shift 2
  echo "== $(basename "$program") --gtest_filter=$filter"
  if ! "$program" --gtest_filter="$filter" >"$log" 2>&1; then
    grep -E '^\[  (FAILED|PASSED)|Failure' "$log" | head -40
    echo "the tests failed under the leak tracer"
    failed=1
  fi
  passed=$(grep -Eo '^\[  PASSED  \] [0-9]+ tests?' "$log" | grep -Eo '[0-9]+' || echo 0)
  # The tracer's report: one object-alive record per object (its format line has no type).
  leaks=$(grep -Eo 'object-alive, type-name=\(string\)[A-Za-z0-9_]+' "$log" | sed 's/.*(string)//' | sort | uniq -c)
  if [ -n "$leaks" ]; then
    echo "GStreamer objects still alive at the end, by type:"
    echo "$leaks"
    grep 'object-alive, type-name=(string)[A-Za-z]' "$log" | head -20
    failed=1
  elif [ "$passed" -eq 0 ]; then
    echo "no test ran"
    failed=1
  else
    echo "$passed tests passed, no GStreamer object left alive"
  fi
done
exit $failed
