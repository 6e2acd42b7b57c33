#!/usr/bin/env bash
# What the program costs while it waits: the real program under Xvfb with a timetable of
# 86,400 tasks (one in every second of the day, all disabled but three bells a few seconds
# after the start; fewer when asked), against a private PulseAudio server when one can be started. After the
# bells it reports the share of one core used over a minute with the window shown and another
# with it out of sight (as in the tray), and the resident memory.
# Goals: at most 0.1 % of a core, under 80 MB. About 2.5 minutes.
#   bench/bench_idle.sh [path/to/TavuroMP3] [seconds to measure] [tasks, 86400 at most]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
exe=$(realpath "${1:-$here/build/app/TavuroMP3}")
measure=${2:-60}
tasks=${3:-86400}
source "$here/tests/system/xvfb_env.sh"

start_private_sound

write_bell "$work/bell.wav"
first=$(( $(date +%s) + 6 ))
write_bell_timetable "$first" "$work/bell.wav" 3 "$tasks"

start_program
# The bells ring from 6 s on; measure once they have played and the program has settled.
sleep 15
kill -0 "$app" 2>/dev/null || fail "the program exited"
# CPU time in ns of all the program's threads, as the scheduler accounts it (the tick counts in
# /proc/PID/stat are sampled and too coarse for a fraction of a per mille).
# %.0f, not %d: mawk's %d stops at 2^31 ns, about 2 s of CPU.
ticks() { cat /proc/"$app"/task/*/schedstat | awk '{ns += $1} END {printf "%.0f\n", ns}'; }
before=$(ticks)
sleep "$measure"
after=$(ticks)
# The same with the window out of sight, as it is in the tray (unmapped: no window manager here).
for w in $(xdotool search --pid "$app" 2>/dev/null); do xdotool windowunmap "$w" 2>/dev/null || true; done
sleep 2
hidden_before=$(ticks)
sleep "$measure"
hidden_after=$(ticks)
iconv -f GB18030 -t UTF-8 "$work/PlayLog.txt" 2>/dev/null | grep -q "播放结束" || echo "note: no bell finished (see $work/PlayLog.txt)"
echo "raw: CPU ns shown $before -> $after, out of sight $hidden_before -> $hidden_after"
awk -v t=$((after - before)) -v s="$measure" \
  'BEGIN { printf "idle CPU, window shown: %.3f %% of a core over %d s (goal <= 0.1 %%)\n", 100 * t / 1e9 / s, s }'
awk -v t=$((hidden_after - hidden_before)) -v s="$measure" \
  'BEGIN { printf "idle CPU, window out of sight: %.3f %% of a core over %d s\n", 100 * t / 1e9 / s, s }'
awk '/VmRSS|VmHWM/ { printf "%s %.1f MB\n", $1, $2 / 1024 }' "/proc/$app/status"
echo "goal: VmRSS under 80 MB; load: $(cut -d' ' -f1-3 /proc/loadavg)"
