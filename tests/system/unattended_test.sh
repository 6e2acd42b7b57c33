#!/usr/bin/env bash
# The real executable under Xvfb, left alone: three tasks whose files cannot play (a pipe that
# nobody writes, a pipe whose writer holds it open, a file that is gone) fall due one after
# another, then a bell. The bell starts within its second, the three failures share one box
# that names each file, and the play log holds every event.
set -uo pipefail
exe=$1
source "$(dirname "$0")/xvfb_env.sh"
title='^TavuroMP3音乐定时播放器\(定时播音、铃声定时\)$'

write_bell "$work/上课铃.wav" || fail "could not write the bell"
mkfifo "$work/pipe.mp3" "$work/slow.wav" || fail "could not make the pipes"
# A writer that sends a little and then holds its pipe, as a stalled network share does.
python3 -c "import sys,time; f=open(sys.argv[1],'wb'); f.write(b'RIFF'); f.flush(); time.sleep(25)" \
  "$work/slow.wav" 2>/dev/null &
pids+=($!)
python3 - "$work" <<'PY' || fail "could not write the task file"
import datetime, sys
work = sys.argv[1]
now = datetime.datetime.now()
at = lambda s: (now + datetime.timedelta(seconds=s)).strftime("%H:%M:%S")
keys = [at(4), at(5), at(6), at(8)]
time = "".join(f"{k}=1,0,{n}\n" for n, k in enumerate(keys, 1))
params = "".join(f"{k}=1,1,1,4,,0,00:00:00\n" for k in keys)
music = f"1={work}/pipe.mp3\n2={work}/slow.wav\n3={work}/gone.mp3\n4={work}/上课铃.wav\n"
text = f"[Time]\n{time}[TimeParams]\n{params}[Music]\n{music}"
open(f"{work}/TimeMusicList.ini", "wb").write(text.replace("\n", "\r\n").encode("gb18030"))
open(f"{work}/.keys", "w").write(" ".join(keys))
PY
read -r pipe_key slow_key gone_key bell_key < "$work/.keys"

start_program

log="$work/PlayLog.txt"
started() { [ -f "$log" ] && iconv -f GB18030 -t UTF-8 "$log" | grep -q "$1"; }
for _ in $(seq 150); do
  started "	$bell_key	.*上课铃.wav	开始播放" && break
  sleep 0.1
done
kill -0 "$app" 2>/dev/null || fail "the program ended"
started "	$bell_key	.*上课铃.wav	开始播放" || fail "the bell due at $bell_key did not start"
iconv -f GB18030 -t UTF-8 "$log" | grep -q "^[0-9-]* $bell_key	$bell_key	.*开始播放" \
  || fail "the bell did not start within its second: $(iconv -f GB18030 -t UTF-8 "$log" | tail -1)"
for want in "$pipe_key	$work/pipe.mp3	播放失败：不是普通文件" "$slow_key	$work/slow.wav	播放失败：不是普通文件" \
            "$gone_key	$work/gone.mp3	播放失败：不存在"; do
  started "$want" || fail "the log lacks: $want"
done

boxes=$(xdotool search --onlyvisible --name "$title" 2>/dev/null | wc -l)
[ "$boxes" -eq 1 ] || fail "$boxes failure boxes are open, not one"
echo "the bell due at $bell_key started in its second beside one box for three failures"
echo "1 passed, 0 failed"
