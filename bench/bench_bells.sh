#!/usr/bin/env bash
# The real program as a school's bell computer runs it, only faster: under Xvfb, on a private
# PulseAudio server when there is one, it rings a short bell every second for 300 seconds
# while its resident memory is sampled every 5 s. Prints the samples and the growth per bell
# after the first minute. Goal: under 2 KiB a bell. About 6 minutes.
#   bench/bench_bells.sh [path/to/TavuroMP3] [bells]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
exe=$(realpath "${1:-$here/build/app/TavuroMP3}")
bells=${2:-300}
source "$here/tests/system/xvfb_env.sh"

start_private_sound
# A 300 ms MP3 tone where GStreamer's tools can encode one, else a second of silent WAV.
bell=$work/bell.mp3
if ! gst-launch-1.0 -q audiotestsrc wave=sine freq=880 num-buffers=30 samplesperbuffer=441 \
    ! audio/x-raw,rate=44100,channels=2 ! lamemp3enc ! filesink location="$bell" >/dev/null 2>&1; then
  bell=$work/bell.wav
  write_bell "$bell"
fi
echo "bell: $(basename "$bell")"

first=$(( $(date +%s) + 10 ))
write_bell_timetable "$first" "$bell" "$bells"

start_program
rss() { awk '/VmRSS/ { print $2 }' /proc/"$app"/status; }
rung() { iconv -f GB18030 -t UTF-8 "$work/PlayLog.txt" 2>/dev/null | grep -c "开始播放" || true; }
samples=()
end=$(( first + bells + 5 ))
while [ "$(date +%s)" -lt "$end" ]; do
  kill -0 "$app" 2>/dev/null || fail "the program exited"
  samples+=("$(( $(date +%s) - first )) $(rung) $(rss)")
  sleep 5
done
samples+=("$(( $(date +%s) - first )) $(rung) $(rss)")

echo "raw samples (seconds since the first bell, bells rung, VmRSS KiB):"
printf '  %s\n' "${samples[@]}"
printf '%s\n' "${samples[@]}" | awk -v bells="$bells" '
  $1 >= 60 && !from { from = 1; b0 = $2; r0 = $3; t0 = $1 }
  { b1 = $2; r1 = $3; t1 = $1 }
  END {
    printf "bells rung: %d of %d\n", b1, bells
    if (!from || b1 <= b0) { print "too few bells after the first minute to measure"; exit 1 }
    printf "after the first minute (%d s to %d s): %d bells, VmRSS %d -> %d KiB: %.3f KiB a bell (goal < 2 KiB)\n",
      t0, t1, b1 - b0, r0, r1, (r1 - r0) / (b1 - b0)
  }'
