# Shared by the system tests: a scratch directory with a copy of the executable, a private
# runtime directory, and an Xvfb display; everything goes when the test ends.
# Source it with the executable's path in $exe.
work=$(mktemp -d)
runtime=$(mktemp -d)
chmod 700 "$runtime"
pids=()
cleanup() {
  # Newest first: the programs go before the X server they draw on.
  local i
  for (( i = ${#pids[@]} - 1; i >= 0; i-- )); do kill "${pids[i]}" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work" "$runtime"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

cp "$exe" "$work/TavuroMP3"
export XDG_RUNTIME_DIR=$runtime
export QT_QPA_PLATFORM=xcb
# The tests find the window's controls by their Chinese names: the desktop speaks Chinese here
# whatever this machine's locale is.
export LANGUAGE=zh_CN

# A server that reported its display but takes no client (seen once on CI: the program aborted
# with "could not connect to display :0") is replaced by a fresh one, up to three times.
start_xvfb() {
  local attempt
  for attempt in 1 2 3; do
    rm -f "$work/.display"
    # -noreset: a server resets when its last client leaves, and a client that comes during the
    # reset (the program right after the display check, or after xdpyinfo below) is refused
    # with "could not connect to display".
    Xvfb -displayfd 5 -screen 0 1280x800x24 -nolisten tcp -noreset 5>"$work/.display" 2>>"$work/.xvfb.log" &
    pids+=($!)
    # The number and its newline come in two writes: wait for the whole line.
    for _ in $(seq 50); do [ "$(wc -l < "$work/.display" 2>/dev/null)" -ge 1 ] && break; sleep 0.1; done
    if [ -s "$work/.display" ]; then
      export DISPLAY=":$(head -n1 "$work/.display")"
      for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && { rm "$work/.display"; return 0; }; sleep 0.1; done
    fi
    echo "Xvfb attempt $attempt: no client could connect to ${DISPLAY:-its display}; $(tail -n3 "$work/.xvfb.log")" >&2
    kill "${pids[-1]}" 2>/dev/null
    wait "${pids[-1]}" 2>/dev/null
    unset 'pids[-1]'
  done
  return 1
}
start_xvfb || fail "Xvfb did not start: $(cat "$work/.xvfb.log")"

# The real program must never power the machine off or register itself for log-on here: its
# settings say so, and its autostart folder is a scratch one. Nor does it ask this machine's
# logind (if any) to keep it awake.
printf '[base]\r\nShotdown=0\r\nShotdownHint=0\r\nAutoStart=0\r\nStayAwake=0\r\n' > "$work/Config.ini"
export XDG_CONFIG_HOME=$runtime/config

# A private PulseAudio server with a null sink, when pulseaudio is installed (benchmarks only);
# without one the program falls back to a silent output.
start_private_sound() {
  if ! command -v pulseaudio >/dev/null; then
    echo "sound: no PulseAudio here; the program falls back to a silent output"
    return
  fi
  mkdir -p "$runtime/pulse"
  printf 'load-module module-null-sink sink_name=bench\nset-default-sink bench\nload-module module-native-protocol-unix socket=%s auth-anonymous=1\n' \
    "$runtime/pulse/native" > "$runtime/pulse/bench.pa"
  HOME=$runtime/pulse PULSE_RUNTIME_PATH=$runtime/pulse pulseaudio -n -F "$runtime/pulse/bench.pa" \
    --daemonize=no --exit-idle-time=-1 --log-level=error &
  pids+=($!)
  for _ in $(seq 50); do [ -S "$runtime/pulse/native" ] && break; sleep 0.1; done
  export PULSE_SERVER=unix:$runtime/pulse/native
  echo "sound: private PulseAudio server"
}

# A second of silence as a WAV file: the bell the tests' tasks play.
write_bell() { # path
  python3 - "$1" <<'PY'
import struct, sys
data = b"\0" * 16000  # one second of 8 kHz mono 16-bit silence
header = b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVEfmt " + \
    struct.pack("<IHHIIHH", 16, 1, 1, 8000, 16000, 2, 16) + b"data" + struct.pack("<I", len(data))
open(sys.argv[1], "wb").write(header + data)
PY
}

# The time of day a few seconds from now, as task keys are written.
due_in() { # seconds
  date -d "now + $1 seconds" +%H:%M:%S
}

# Standard input as the task file: GB18030 with CR LF, as the program writes it.
write_tasks() {
  iconv -f UTF-8 -t GB18030 | sed 's/$/\r/' > "$work/TimeMusicList.ini"
}

# The task file of a bench: count enabled bells a second apart from first (seconds since the
# epoch) playing bell, and with tasks, disabled ones spread over the day up to that many in all.
write_bell_timetable() { # first bell count [tasks]
  python3 - "$@" <<'PY' | write_tasks
import sys, time
first, bell, count = int(sys.argv[1]), sys.argv[2], int(sys.argv[3])
tasks = int(sys.argv[4]) if len(sys.argv) > 4 else 0
bells = {time.strftime("%H:%M:%S", time.localtime(first + i)) for i in range(count)}
spread = {"%02d:%02d:%02d" % (s // 3600, s // 60 % 60, s % 60)
          for s in range(0, 86400, max(1, 86400 // tasks))} if tasks else set()
keys = sorted(bells | spread)
print("[Time]")
for k in keys:
    print(k + ("=1,1,1" if k in bells else "=0,1,1"))
print("[TimeParams]")
for k in keys:
    print(k + "=1,1,1,0,,0,00:00:00")
print("[Music]")
print("1=" + bell)
PY
}

# Starts the copied program in the background; its pid goes to $app.
start_program() {
  "$work/TavuroMP3" &
  app=$!
  pids+=($app)
}

# Starts an installed program as its menu entry does: the entry's Exec, found on PATH with
# <root>/bin first, in a scratch home whose per-user data folder ($data) holds the safe
# Config.ini above and the task file written by write_tasks, if any. Its pid goes to $app.
start_installed() { # root: the install prefix, /usr for the package
  export HOME=$runtime/home XDG_DATA_HOME=$runtime/home/.local/share
  data=$XDG_DATA_HOME/TavuroMP3
  mkdir -p "$data"
  cp "$work/Config.ini" "$data/"
  [ -f "$work/TimeMusicList.ini" ] && cp "$work/TimeMusicList.ini" "$data/"
  local entry=$1/share/applications/TavuroMP3.desktop command
  command=$(sed -n 's/^Exec=//p' "$entry")
  [ -n "$command" ] || fail "no Exec in $entry"
  # shellcheck disable=SC2086 # the entry's command line, split as a launcher splits it
  PATH="$1/bin:$PATH" $command &
  app=$!
  pids+=($app)
}

# Waits for the main window (caption: product title and version); true when it appeared.
wait_main_window() { # seconds
  for _ in $(seq $(( $1 * 10 ))); do
    xdotool search --onlyvisible --name '^TavuroMP3音乐定时播放器.*[0-9]$' >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}

# The installed program reads its data from the per-user folder: a bad line put in the task
# file there is written to the play log there, and nothing lands beside the executable.
check_installed_start() { # root
  write_tasks <<'TASKS'
[Time]
06:00:00=xyz,0,1
[TimeParams]
06:00:00=1,1,1,0,,0,00:00:00
TASKS
  start_installed "$1"
  wait_main_window 60 || fail "the installed program's window did not appear$(kill -0 "$app" 2>/dev/null || echo ' (it ended)');$(kill -0 "${pids[0]}" 2>/dev/null || echo ' Xvfb ended;') on screen: $(xwininfo -root -children 2>&1 | grep -F -e '"' -e rror | head -5)"
  for _ in $(seq 50); do [ -f "$data/PlayLog.txt" ] && break; sleep 0.1; done
  iconv -f GB18030 -t UTF-8 "$data/PlayLog.txt" 2>/dev/null | grep -q '06:00:00.*xyz' \
    || fail "the task file in $data was not read"
  local file
  for file in Config.ini TimeMusicList.ini user.dat PlayLog.txt; do
    [ ! -e "$1/bin/$file" ] || fail "$file written beside the installed executable"
  done
  kill -0 "$app" 2>/dev/null || fail "the installed program ended"
  echo "installed program started from its menu entry, data in $data"
}
