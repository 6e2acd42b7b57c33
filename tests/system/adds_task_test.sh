#!/usr/bin/env bash
# The real executable under Xvfb, driven through its window (adds_task.py): a once-only task
# added in the task editor with the library's bell is saved to the task file, leaves the file
# at its second as it starts, no error box appears, and the program runs on.
set -uo pipefail
exe=$1
# Qt's accessibility bridge talks over the session bus: the whole test runs in a bus of its own.
if [ -z "${ADDS_TASK_BUS:-}" ]; then
  ADDS_TASK_BUS=1 exec dbus-run-session -- bash "$0" "$@"
fi
source "$(dirname "$0")/xvfb_env.sh"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

write_bell "$work/上课铃.wav" || fail "could not write the bell"
printf '[Music]\r\n1=%s/上课铃.wav\r\n' "$work" | iconv -f UTF-8 -t GB18030 >"$work/TimeMusicList.ini" \
  || fail "could not write the task file"

start_program

read -r due due_epoch < <(/usr/bin/python3 "$(dirname "$0")/adds_task.py") || fail "adding the task failed"
echo "task added for $due"

tasks="$work/TimeMusicList.ini"
in_section() { # section, line
  tr -d '\r' <"$tasks" | LC_ALL=C awk -v s="[$1]" -v l="$2" \
    '/^\[/ { cur = $0; next } cur == s && $0 == l { found = 1 } END { exit !found }'
}
in_section Time "$due=1,0,1" || fail "no $due=1,0,1 in [Time]"
in_section TimeParams "$due=1,1,1,4,,0,00:00:00" || fail "no $due=1,1,1,4,,0,00:00:00 in [TimeParams]"

# A once-only task leaves the file as it starts: not before its second, and soon after it.
now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
due_ms=$(( due_epoch * 1000 ))
gone_ms=
while [ "$(now_ms)" -le $(( due_ms + 1500 )) ]; do
  if grep -aq '^1=' "$tasks" && ! grep -aq "^$due=" "$tasks"; then gone_ms=$(now_ms); break; fi
  sleep 0.05
done
[ -n "$gone_ms" ] || fail "the task due at $due was still in the file 1.5 s later"
[ "$gone_ms" -ge "$due_ms" ] || fail "the task due at $due left the file $(( due_ms - gone_ms )) ms early"
echo "task left the file $(( gone_ms - due_ms )) ms after $due"

# The standard error box carries the product title alone, without the version.
sleep 1.5
box=$(xdotool search --onlyvisible --name '^TavuroMP3音乐定时播放器\(定时播音、铃声定时\)$' 2>/dev/null | head -1)
[ -z "$box" ] || fail "an error box appeared"
kill -0 "$app" 2>/dev/null || fail "the program ended"
echo "1 passed, 0 failed"
