#!/usr/bin/env bash
# The pictures of the user guide (README.md): the real program under Xvfb with a school's
# timetable, its task editor, its music library with Qt's file dialog, its settings page and
# its zones, in Chinese and then in English.
#   scripts/screenshots.sh [executable [output folder]]
# (default: build/app/TavuroMP3 and doc/screenshots; the English pictures go into en/ there).
# The system tests run it into the build folder, so the guide's pictures are remade, and its
# steps checked, on every test run.
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
exe=$(realpath "${1:-$here/build/app/TavuroMP3}")
out=$(realpath -m "${2:-$here/doc/screenshots}")
if [ -z "${TAVURO_SHOT_LANGUAGE:-}" ]; then
  TAVURO_SHOT_LANGUAGE=zh "$0" "$exe" "$out" && TAVURO_SHOT_LANGUAGE=en "$0" "$exe" "$out/en"
  exit
fi
mkdir -p "$out"
source "$here/tests/system/xvfb_env.sh"

# What differs between the two languages: the windows' captions, where the tabs and a few
# buttons lie, and the names a school gives its bells and buildings.
if [ "$TAVURO_SHOT_LANGUAGE" = en ]; then
  printf '[Interface]\r\nLanguage=en\r\n' >>"$work/Config.ini"
  title_main='^TavuroMP3 Scheduled Music Player.*[0-9]$' title_editor=' task$' title_files='^Add files$'
  title_periods='^Period timetable$' title_open_calendar='^Choose a calendar file to import$'
  title_import='^Import calendar$'
  tab_tasks=40 tab_library=115 tab_calendar=205 tab_settings=290 tab_zones=355
  music=/tmp/school-bells
  bells=(warning-bell class-bell end-bell eye-exercises home-time break-music/twinkle break-music/jasmine lunch-music/lullaby)
  folders=(break-music lunch-music)
  zones=(Main-building Science-building Playground) clients=(Main-building-1F Science-building-2F)
else
  title_main='^TavuroMP3音乐定时播放器.*[0-9]$' title_editor='定时任务$' title_files='^添加文件$'
  title_periods='^作息时间表$' title_open_calendar='^选择要导入的日历文件$' title_import='^导入日历$'
  tab_tasks=48 tab_library=126 tab_calendar=180 tab_settings=240 tab_zones=310
  music=/tmp/学校铃声
  bells=(预备铃 上课铃 下课铃 眼保健操 放学歌 课间音乐/小星星 课间音乐/茉莉花 午休音乐/摇篮曲)
  folders=(课间音乐 午休音乐)
  zones=(教学楼 实验楼 操场) clients=(教学楼一层 实验楼二层)
fi

# The library's files, under names a school would give them.
rm -rf "$music"
mkdir -p "$music/${folders[0]}" "$music/${folders[1]}"
trap 'cleanup; rm -rf "$music"' EXIT
for f in "${bells[@]}"; do
  write_bell "$music/$f.wav" || fail "could not write $f.wav"
done
write_tasks <<TASKS || fail "could not write the task file"
[Music]
1=$music/${bells[0]}.wav
2=$music/${bells[1]}.wav
3=$music/${bells[2]}.wav
4=$music/${bells[3]}.wav
5=$music/${folders[0]}/
6=$music/${folders[1]}/
7=$music/${bells[4]}.wav
[Time]
07:50:00=1,0,1
08:00:00=1,0,2
08:45:00=1,0,3
08:55:00=1,0,2
09:40:00=1,0,3,4
10:00:00=1,0,5
12:00:00=1,1,6
14:00:00=1,0,2
17:30:00=1,0,7
18:30:00=0,1,7
[TimeParams]
07:50:00=1,1,1,1,1111100,0,00:00:00
08:00:00=1,1,1,1,1111100,0,00:00:00
08:45:00=1,1,1,1,1111100,0,00:00:00
08:55:00=1,1,1,1,1111100,0,00:00:00
09:40:00=1,1,1,1,1111100,0,00:00:00
10:00:00=3,2,2,1,1111100,1200,10:20:00
12:00:00=1,2,1,0,,0,12:30:00
14:00:00=1,1,1,2,0000000000000000000000000000001,0,00:00:00
17:30:00=2,1,1,1,1111100,0,00:00:00
18:30:00=1,1,1,3,2026-12-24,0,00:00:00
TASKS
# The year's holidays, the autumn's dated ones and two make-up days; shutdown and start with
# log-on stay off (xvfb_env.sh's Config.ini).
printf '[Holiday]\r\n1-1=1-3\r\n2-10=2-17\r\n5-1=5-5\r\n7-10=8-31\r\n' >>"$work/Config.ini"
printf '[HolidayDates]\r\n2026-09-25=2026-09-27\r\n2026-10-01=2026-10-07\r\n' >>"$work/Config.ini"
printf '[WorkDays]\r\n2026-09-20=1\r\n2026-10-10=4\r\n' >>"$work/Config.ini"
# Three zones, fed through the program's own snapserver on free ports of this machine.
read -r stream control z1 z2 z3 < <(python3 - <<'PY'
import socket
socks = [socket.socket() for _ in range(5)]
for s in socks:
    s.bind(("127.0.0.1", 0))
print(*(s.getsockname()[1] for s in socks))
PY
)
printf '[Broadcast]\r\nEnabled=1\r\nStreamPort=%s\r\nControlPort=%s\r\n[BroadcastZones]\r\n%s=%s\r\n%s=%s\r\n%s=%s\r\n' \
  "$stream" "$control" "${zones[0]}" "$z1" "${zones[1]}" "$z2" "${zones[2]}" "$z3" | iconv -f UTF-8 -t GB18030 >>"$work/Config.ini"
# Qt's file dialog opens in the working folder: the folder of the school's bells, where the
# year's official calendar waits to be imported.
cp "$here/doc/calendars/china-2026.ics" "$music/" || fail "no sample calendar"
cd "$music" || fail "no $music"
# A school Wednesday, ten to ten: the same pictures whatever day they are taken on.
TAVURO_CLOCK_START=2026-09-23T09:50:00 start_program

window() { # name pattern, seconds: the id of the visible window
  for _ in $(seq $(( $2 * 10 ))); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}
gone() { # name pattern
  for _ in $(seq 50); do
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  fail "'$1' did not close"
}
main=$(window "$title_main" 30) || fail "the main window did not appear"
# Without a window manager the main window sits at the top left; dialogs open over it.
shot() { # name, [geometry of a window: that window alone, else the main window]
  sleep 0.7
  if [ -n "${2:-}" ]; then # X=.. Y=.. WIDTH=.. HEIGHT=.. of a window: that part of the screen
    local X Y WIDTH HEIGHT WINDOW SCREEN
    eval "$2"
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out/$1.png"
  else
    import -window root -crop 968x618+0+0 +repage "$out/$1.png"
  fi || fail "could not take $1.png"
  echo "$out/$1.png"
}
click() { xdotool mousemove "$1" "$2" click --repeat "${3:-1}" 1; }
tab() { click "$1" 13; }

sleep 0.5 # the status bar's clock shows from the first second on
shot tasks

# The task editor, opened by a double click on the 08:00:00 row.
opened=
for _ in 1 2 3; do # a busy machine may take the two clicks for two single ones
  click 50 148 2
  window "$title_editor" 5 >/dev/null && { opened=1; break; }
done
[ -n "$opened" ] || fail "the task editor did not open"
shot editor
xdotool key Escape
gone "$title_editor"

tab $tab_library
shot library

# "增加" opens its menu; "添加文件" opens Qt's file dialog, in Chinese.
files=
for _ in 1 2 3; do # the menu may take a moment to come up on a busy machine
  click 20 582
  sleep 1
  xdotool key Down Return
  files=$(window "$title_files" 5) && break
done
[ -n "$files" ] || fail "the file dialog did not open"
geometry=$(xdotool getwindowgeometry --shell "$files" | tr '\n' ' ')
eval "$geometry"
shot file-dialog "$geometry"
for _ in 1 2 3; do
  click $(( X + WIDTH - 50 )) $(( Y + HEIGHT - 22 )) # 取消
  sleep 1
  xdotool search --onlyvisible --name "$title_files" >/dev/null 2>&1 || break
done
gone "$title_files"

# A day's bells: the school day, then the Mid-Autumn holiday two days on, then the make-up
# Saturday after the National Day break, which runs as Thursday.
tab $tab_tasks
click 110 94
shot day-school
click 307 120 2
shot day-holiday
click 307 120 15
shot day-makeup

# The timetable of periods, from the toolbar: three periods more, ten minutes apart.
periods=
for _ in 1 2 3; do
  click 320 51
  periods=$(window "$title_periods" 5) && break
done
[ -n "$periods" ] || fail "the timetable of periods did not open"
geometry=$(xdotool getwindowgeometry --shell "$periods" | tr '\n' ' ')
eval "$geometry"
click $(( X + 588 )) $(( Y + 130 )) 3 # 添加一节
shot periods "$geometry"
xdotool key Escape
gone "$title_periods"

tab $tab_calendar
shot calendar
imported=
for _ in 1 2 3; do
  click 812 578
  window "$title_open_calendar" 5 >/dev/null || continue
  xdotool type --delay 20 "china-2026.ics"
  xdotool key Return
  imported=$(window "$title_import" 5) && break
done
[ -n "$imported" ] || fail "the import dialog did not open"
geometry=$(xdotool getwindowgeometry --shell "$imported" | tr '\n' ' ')
shot import "$geometry"
xdotool key Escape
gone "$title_import"

tab $tab_settings
shot settings

# The zones' page with the buildings' players: two snapclients here stand for them, named and
# put into their zones as an administrator would.
if command -v snapclient >/dev/null; then
  for id in "${clients[@]}"; do
    snapclient -h 127.0.0.1 -p "$stream" --hostID "$id" --player file:filename=null --logsink null &
    pids+=($!)
  done
  python3 - "$control" "${clients[0]}" "${zones[0]}" "${clients[1]}" "${zones[1]}" <<'PY' || fail "the zones' clients did not join"
import json, socket, sys, time
def rpc(method, params):
    with socket.create_connection(("127.0.0.1", int(sys.argv[1])), 2) as s:
        s.sendall((json.dumps({"id": 1, "jsonrpc": "2.0", "method": method, "params": params}) + "\r\n").encode())
        data = b""
        while True:
            data += s.recv(65536)
            for line in data.split(b"\n"):
                try:
                    reply = json.loads(line)
                except ValueError:
                    continue
                if reply.get("id") == 1:
                    return reply
for _ in range(100):
    groups = rpc("Server.GetStatus", {})["result"]["server"]["groups"]
    clients = {c["id"]: g["id"] for g in groups for c in g["clients"] if c["connected"]}
    if len(clients) == 2:
        break
    time.sleep(0.1)
else:
    sys.exit(1)
for client, zone in ((sys.argv[2], sys.argv[3]), (sys.argv[4], sys.argv[5])):
    rpc("Client.SetName", {"id": client, "name": client})
    rpc("Group.SetStream", {"id": clients[client], "stream_id": zone})
PY
fi
tab $tab_zones
sleep 6 # the page shows the clients at the server's next answer
shot zones
echo "$(ls "$out"/*.png | wc -l) pictures in $out"
