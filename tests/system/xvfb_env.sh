# Shared by the system tests: a scratch directory with a copy of the executable, a private
# runtime directory, and an Xvfb display; everything goes when the test ends.
# Source it with the executable's path in $exe.
work=$(mktemp -d)
runtime=$(mktemp -d)
chmod 700 "$runtime"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work" "$runtime"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

cp "$exe" "$work/TavuroMP3"
export XDG_RUNTIME_DIR=$runtime
export QT_QPA_PLATFORM=xcb

Xvfb -displayfd 5 -screen 0 1280x800x24 -nolisten tcp 5>"$work/.display" 2>/dev/null &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/.display" ] && break; sleep 0.1; done
[ -s "$work/.display" ] || fail "Xvfb did not start"
export DISPLAY=":$(cat "$work/.display")"
rm "$work/.display"

# The real program must never power the machine off or register itself for log-on here: its
# settings say so, and its autostart folder is a scratch one.
printf '[base]\r\nShotdown=0\r\nShotdownHint=0\r\nAutoStart=0\r\n' > "$work/Config.ini"
export XDG_CONFIG_HOME=$runtime/config

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

# Starts the copied program in the background; its pid goes to $app.
start_program() {
  "$work/TavuroMP3" &
  app=$!
  pids+=($app)
}
