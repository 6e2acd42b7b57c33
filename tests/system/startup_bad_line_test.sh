#!/usr/bin/env bash
# The real executable under Xvfb starts with a bad line in its task file: the window comes up,
# the failure box names the file and the line and is left open, and a bell due a few seconds
# later starts within its second behind it.
set -uo pipefail
exe=$1
source "$(dirname "$0")/xvfb_env.sh"
title='^TavuroMP3音乐定时播放器\(定时播音、铃声定时\)$'

write_bell "$work/上课铃.wav" || fail "could not write the bell"
due=$(due_in 4)
write_tasks <<EOF || fail "could not write the task file"
[Time]
06:00:00=xyz,0,1
$due=1,0,1
[TimeParams]
06:00:00=1,1,1,0,,0,00:00:00
$due=1,1,1,4,,0,00:00:00
[Music]
1=$work/上课铃.wav
EOF
start_program

for _ in $(seq 50); do
  [ "$(xdotool search --onlyvisible --name "$title" 2>/dev/null | wc -l)" -ge 1 ] && break
  sleep 0.1
done
[ "$(xdotool search --onlyvisible --name "$title" 2>/dev/null | wc -l)" -eq 1 ] \
  || fail "the failure box did not come up beside the window"
xdotool search --onlyvisible --name '^TavuroMP3音乐定时播放器.*[0-9]$' >/dev/null 2>&1 \
  || fail "the main window is not shown"

log="$work/PlayLog.txt"
for _ in $(seq 100); do
  [ -f "$log" ] && iconv -f GB18030 -t UTF-8 "$log" | grep -q "	$due	.*开始播放" && break
  sleep 0.1
done
text=$(iconv -f GB18030 -t UTF-8 "$log" 2>/dev/null)
echo "$text" | grep -q "^[0-9-]* $due	$due	.*开始播放" || fail "the bell due at $due did not start in its second: $text"
echo "$text" | grep -q "TimeMusicList.ini.*06:00:00.*xyz" || fail "the bad line is not named: $text"
[ "$(xdotool search --onlyvisible --name "$title" 2>/dev/null | wc -l)" -eq 1 ] || fail "the box went away or doubled"
kill -0 "$app" 2>/dev/null || fail "the program ended"
echo "the bell due at $due started behind the open failure box"
echo "1 passed, 0 failed"
