#!/usr/bin/env bash
# The real executable under Xvfb plays a once-only task that falls due three seconds after it
# starts: the task leaves the task file as it starts, no error box appears, and the program
# runs on.
set -uo pipefail
exe=$1
source "$(dirname "$0")/xvfb_env.sh"

write_bell "$work/上课铃.wav" || fail "could not write the bell"
due=$(due_in 3)
write_tasks <<EOF || fail "could not write the task file"
[Time]
06:00:00=1,0,1
$due=1,0,1
[TimeParams]
06:00:00=1,1,1,0,,0,00:00:00
$due=1,1,1,4,,0,00:00:00
[Music]
1=$work/上课铃.wav
EOF
start_program

removed=0
for _ in $(seq 150); do
  if ! grep -q "^$due=" "$work/TimeMusicList.ini"; then removed=1; break; fi
  sleep 0.1
done
[ "$removed" -eq 1 ] || fail "the task due at $due did not start"
grep -q '^06:00:00=1,0,1' "$work/TimeMusicList.ini" || fail "the other task was lost"

# The standard error box carries the product title alone, without the version.
sleep 2
box=$(xdotool search --onlyvisible --name '^TavuroMP3音乐定时播放器\(定时播音、铃声定时\)$' 2>/dev/null | head -1)
[ -z "$box" ] || fail "an error box appeared while the task played"
kill -0 "$app" 2>/dev/null || fail "the program ended"
echo "task due at $due started and played"
echo "1 passed, 0 failed"
