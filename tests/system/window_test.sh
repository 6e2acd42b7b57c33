#!/usr/bin/env bash
# The real executable under Xvfb: its window appears with the right caption, a second start
# brings it to the front, shows its message and exits 0 without touching any file, and the
# first ends when told to. A start with English chosen in Config.ini shows the English caption.
set -uo pipefail
exe=$1
source "$(dirname "$0")/xvfb_env.sh"

wait_window() { # name, seconds
  for _ in $(seq $(( $2 * 10 ))); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

"$work/TavuroMP3" &
first=$!
pids+=($first)
main_id=$(wait_window 'TavuroMP3音乐定时播放器' 30) || fail "main window did not appear"
title=$(xdotool getwindowname "$main_id")
[[ "$title" =~ ^TavuroMP3音乐定时播放器\(定时播音、铃声定时\)[0-9]+\.[0-9]+\.[0-9]+\.[0-9]+$ ]] \
  || fail "caption was '$title'"
echo "main window: $title"

# Another window covers the running one; the second start brings it back to the front.
xmessage -geometry 600x400+50+50 "covers the window" 2>/dev/null &
pids+=($!)
wait_window '^xmessage$' 10 >/dev/null || fail "the covering window did not appear"
# Top-most first, as the X server stacks them (there is no window manager here).
stacked_above() { # upper id, lower id
  xwininfo -root -children | awk -v a="$(printf '0x%x' "$1")" -v b="$(printf '0x%x' "$2")" \
    '$1 == a { seen = 1 } $1 == b { exit !seen }'
}
cover_id=$(wait_window '^xmessage$' 1)
stacked_above "$cover_id" "$main_id" || fail "the covering window is not on top"

before=$(ls -A "$work" | sort)
"$work/TavuroMP3" &
second=$!
box_id=$(wait_window '^错误$' 30) || fail "second start showed no message"
stacked_above "$main_id" "$cover_id" || fail "the second start did not bring the running window to the front"
xdotool windowfocus --sync "$box_id" 2>/dev/null; xdotool key Return
for _ in $(seq 100); do kill -0 "$second" 2>/dev/null || break; sleep 0.1; done
kill -0 "$second" 2>/dev/null && fail "second instance still running"
wait "$second"; rc=$?
[ "$rc" -eq 0 ] || fail "second instance exit code $rc"
after=$(ls -A "$work" | sort)
[ "$before" = "$after" ] || fail "second instance touched files: $after"
kill -0 "$first" 2>/dev/null || fail "first instance died"

kill -TERM "$first"
for _ in $(seq 100); do kill -0 "$first" 2>/dev/null || break; sleep 0.1; done
kill -0 "$first" 2>/dev/null && fail "first instance did not end"

# The language chosen on the About page is kept in Config.ini; the next start speaks it, though
# the desktop's language is Chinese.
printf '[base]\r\nShotdown=0\r\nShotdownHint=0\r\nAutoStart=0\r\nStayAwake=0\r\n[Interface]\r\nLanguage=en\r\n' >"$work/Config.ini"
"$work/TavuroMP3" &
english=$!
pids+=($english)
english_id=$(wait_window '^TavuroMP3 Scheduled Music Player \(timed announcements and bells\) [0-9.]+$' 30) || fail "the English window did not appear"
echo "English window: $(xdotool getwindowname "$english_id")"
kill -TERM "$english"
echo "2 passed, 0 failed"
