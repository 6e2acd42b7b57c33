#!/usr/bin/env bash
# The real executable under Xvfb broadcasts to a zone: it starts its own snapserver on free
# ports, a snapclient on this machine joins, and a task due a few seconds later is heard at the
# client (its player writes what it plays to a file), while the program's own log says nothing
# went wrong.
set -uo pipefail
exe=$1
source "$(dirname "$0")/xvfb_env.sh"
command -v snapserver >/dev/null && command -v snapclient >/dev/null \
  || fail "snapserver and snapclient are not installed (scripts/setup.sh installs them)"

read -r stream control zone < <(python3 - <<'PY'
import socket
socks = [socket.socket() for _ in range(3)]
for s in socks:
    s.bind(("127.0.0.1", 0))
print(*(s.getsockname()[1] for s in socks))
PY
)
printf '[Broadcast]\r\nEnabled=1\r\nStreamPort=%s\r\nControlPort=%s\r\nBuffer=1000\r\n[BroadcastZones]\r\n教学楼=%s\r\n' \
  "$stream" "$control" "$zone" | iconv -f UTF-8 -t GB18030 >> "$work/Config.ini"

# A second of a loud square wave, 48 kHz mono.
python3 - "$work/bell.wav" <<'PY'
import struct, sys
frames = 48000
data = b"".join(struct.pack("<h", 12000 if (i // 50) % 2 else -12000) for i in range(frames))
header = b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVEfmt " + \
    struct.pack("<IHHIIHH", 16, 1, 1, 48000, 96000, 2, 16) + b"data" + struct.pack("<I", len(data))
open(sys.argv[1], "wb").write(header + data)
PY
due=$(due_in 8)
write_tasks <<TASKS || fail "could not write the task file"
[Time]
$due=1,0,1
[TimeParams]
$due=1,1,1,0,,0,00:00:00
[Music]
1=$work/bell.wav
TASKS
start_program

for _ in $(seq 50); do
  python3 -c "import socket,sys; socket.create_connection(('127.0.0.1', $control), 0.2)" 2>/dev/null && break
  sleep 0.1
done
python3 -c "import socket; socket.create_connection(('127.0.0.1', $control), 0.2)" 2>/dev/null \
  || fail "the program's snapserver did not come up on port $control"
snapclient -h 127.0.0.1 -p "$stream" --hostID zone-test --player "file:filename=$work/client.raw" \
  --logsink null &
pids+=($!)

end=$(( $(date -d "$due" +%s) + 3 ))
while [ "$(date +%s)" -lt "$end" ]; do sleep 0.2; done
[ -s "$work/client.raw" ] || fail "the snapclient played nothing"
python3 - "$work/client.raw" <<'PY' || fail "the bell was not heard at the snapclient"
import array, sys
a = array.array("h")
raw = open(sys.argv[1], "rb").read()
a.frombytes(raw[: len(raw) // 2 * 2])
loud = sum(1 for v in a if abs(v) > 4000)
print("client samples", len(a), "loud", loud)
sys.exit(0 if loud > 48000 else 1)
PY
log=$(iconv -f GB18030 -t UTF-8 "$work/PlayLog.txt" 2>/dev/null)
echo "$log" | grep -q "$due.*开始播放" || fail "the task did not start: $log"
! echo "$log" | grep -q "分区" || fail "the zone reported a problem: $log"
kill -0 "$app" 2>/dev/null || fail "the program ended"
echo "the task due at $due was heard at the zone's snapclient"
echo "1 passed, 0 failed"
