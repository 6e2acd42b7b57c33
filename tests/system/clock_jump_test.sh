#!/usr/bin/env bash
# The real executable under Xvfb with its wall clock moved by libfaketime (the monotonic clock
# left alone, as a clock set by NTP or a resume leaves it): two seconds before a bell the clock
# jumps 30 s forward over it. The bell rings once, late, and the play log says why and by how
# much.
set -uo pipefail
exe=$1
source "$(dirname "$0")/xvfb_env.sh"

faketime=$(ls /usr/lib/x86_64-linux-gnu/faketime/libfaketimeMT.so.1 /usr/lib/*/faketime/libfaketimeMT.so.1 2>/dev/null | head -1)
[ -n "$faketime" ] || fail "libfaketime is not installed (package faketime)"
write_bell "$work/上课铃.wav" || fail "could not write the bell"
due_epoch=$(( $(date +%s) + 8 ))
due=$(date -d "@$due_epoch" +%H:%M:%S)
write_tasks <<TASKS || fail "could not write the task file"
[Time]
$due=1,0,1
[TimeParams]
$due=1,1,1,0,,0,00:00:00
[Music]
1=$work/上课铃.wav
TASKS
echo "+0" > "$work/.offset"
# A sanitizer build wants its runtime first of all libraries; libfaketime comes before it here.
LD_PRELOAD=$faketime FAKETIME_TIMESTAMP_FILE=$work/.offset FAKETIME_NO_CACHE=1 FAKETIME_DONT_FAKE_MONOTONIC=1 \
  ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0 start_program
wait_main_window 30 || fail "the main window did not appear"
while [ "$(date +%s)" -lt $(( due_epoch - 2 )) ]; do sleep 0.1; done
echo "+30" > "$work/.offset"

log="$work/PlayLog.txt"
logged() { [ -f "$log" ] && iconv -f GB18030 -t UTF-8 "$log" | grep -c "$1"; }
for _ in $(seq 100); do
  [ "$(logged "	$due	.*开始播放")" = 1 ] && break
  sleep 0.1
done
[ "$(logged "	$due	.*开始播放")" = 1 ] || fail "the bell at $due did not ring once: $(iconv -f GB18030 -t UTF-8 "$log" 2>/dev/null)"
line=$(iconv -f GB18030 -t UTF-8 "$log" | grep "	$due	.*补播" | head -1)
[[ $line == *"补播：系统时钟向前跳了，晚了 2"[0-9]" 秒"* ]] || fail "the log does not say the bell rang late: $line"
sleep 3
[ "$(logged "	$due	.*开始播放")" = 1 ] || fail "the bell rang twice"
kill -0 "$app" 2>/dev/null || fail "the program ended"
echo "$line"
echo "1 passed, 0 failed"
