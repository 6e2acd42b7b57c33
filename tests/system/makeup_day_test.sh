#!/usr/bin/env bash
# The real executable under Xvfb, started on Sunday 2026-09-27, which Config.ini makes a
# make-up working day run as Monday, at 07:59:52: a weekly Monday task due at 08:00:00 rings,
# and a weekly Sunday task due three seconds after it stays silent. The day comes from the
# program's clock seam, never from the machine's clock; the lead leaves a slow start time.
set -uo pipefail
exe=$1
source "$(dirname "$0")/xvfb_env.sh"

write_bell "$work/上课铃.wav" || fail "could not write the bell"
monday=08:00:00
sunday=08:00:03
write_tasks <<TASKS || fail "could not write the task file"
[Time]
$monday=1,0,1
$sunday=1,0,1
[TimeParams]
$monday=1,1,1,1,1000000,0,00:00:00
$sunday=1,1,1,1,0000001,0,00:00:00
[Music]
1=$work/上课铃.wav
TASKS
printf '[WorkDays]\r\n2026-09-27=1\r\n' >>"$work/Config.ini"
TAVURO_CLOCK_START=2026-09-27T07:59:52 start_program

log="$work/PlayLog.txt"
logged() { [ -f "$log" ] && iconv -f GB18030 -t UTF-8 "$log" | grep -q "$1"; }
for _ in $(seq 250); do
  logged "^2026-09-27 $monday	$monday	.*开始播放" && break
  sleep 0.1
done
logged "^2026-09-27 $monday	$monday	.*开始播放" \
  || fail "the Monday task due at $monday did not ring on the make-up Sunday: $(iconv -f GB18030 -t UTF-8 "$log" 2>/dev/null)"
sleep 5
logged "	$sunday	" && fail "the Sunday task rang on a Sunday run as Monday"
kill -0 "$app" 2>/dev/null || fail "the program ended"
echo "on the make-up Sunday the Monday task rang at $monday and the Sunday one did not"
echo "1 passed, 0 failed"
