#!/usr/bin/python3
# Drives the running program through its accessibility tree: adds a once-only task with the
# library's entry 1, starting a few seconds from now, and prints "<HH:MM:SS> <epoch>" of it.
# Buttons are pressed through AT-SPI; a mouse click and a few keys go through xdotool where
# AT-SPI can't: the toolbar button answers only after the editor it opens has closed, the check
# boxes of the rows are not in the tree, and a combo box takes no focus from AT-SPI.
import datetime
import subprocess
import sys
import time

import pyatspi

LEAD = 9  # seconds from now to the task's start


def fail(text):
    print("FAIL: " + text, file=sys.stderr)
    sys.exit(1)


def wait_for(what, probe, seconds=10):
    end = time.time() + seconds
    while time.time() < end:
        try:
            found = probe()
        except Exception:  # the tree changes under us while windows open and close
            found = None
        if found:
            return found
        time.sleep(0.05)
    fail(what)


def states(o):
    return {pyatspi.stateToString(s) for s in o.getState().getStates()}


def find(root, role, name):
    return pyatspi.findDescendant(root, lambda o: o.getRoleName() == role and o.name == name)


def press(o, action="Press"):
    act = o.queryAction()
    for i in range(act.nActions):
        if act.getName(i) == action:
            act.doAction(i)
            return
    fail(f"'{o.name}' has no action {action}")


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=True)


def keys_to(title, *keys):
    wid = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"],
                         capture_output=True, text=True).stdout.split()
    if not wid:
        fail(f"no X window '{title}'")
    xdotool("windowfocus", "--sync", wid[0])
    xdotool("key", *keys)


def app_window(app, name):
    return next((w for w in app if w.name == name), None)


def seconds_of_day(text):
    h, m, s = map(int, text.split(":"))
    return h * 3600 + m * 60 + s


app = wait_for("the program is not in the accessibility tree", lambda: next(
    (a for a in pyatspi.Registry.getDesktop(0) if a and a.name == "TavuroMP3"), None), 30)
add = wait_for("no toolbar button 添加定时任务", lambda: (
    b if (b := find(app, "push button", "添加定时任务")) and "showing" in states(b) else None))
x, y, w, h = add.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
xdotool("mousemove", str(x + w // 2), str(y + h // 2), "click", "1")
editor = wait_for("the task editor did not open", lambda: app_window(app, "新增定时任务"))

start = find(editor, "spin button", "开始时间：")
proposed = start.queryText().getText(0, -1)
now = datetime.datetime.now()
ahead = (seconds_of_day(proposed) - seconds_of_day(now.strftime("%H:%M:%S"))) % 86400
if not 13 <= ahead <= 17:
    fail(f"the editor proposed {proposed} at {now:%H:%M:%S}")

press(find(editor, "push button", "添加"))
sel = wait_for("the music selection did not open", lambda: app_window(app, "请选择音频文件"))
library = find(sel, "tree", "音频库")
first = wait_for("the selection lists no entry 1", lambda: find(library, "table cell", "1"))
# Space toggles the check box of the current row, which must be entry 1.
if "focused" not in states(first):
    fail("entry 1 is not the current row of the selection")
keys_to("请选择音频文件", "space")
press(find(sel, "push button", "确定"))
music = find(editor, "list", "歌曲铃声")
wait_for("the editor's music list did not get 1=上课铃.wav",
         lambda: [c.name for c in music] == ["1=上课铃.wav"], 5)

kind = find(editor, "combo box", "每日")
press(kind, "ShowMenu")
wait_for("the play-date list did not open", lambda: "showing" in states(kind[0]), 5)
xdotool("key", "End", "Return")
wait_for("临时一次 was not chosen", lambda: kind.name == "临时一次", 5)

due = datetime.datetime.now().replace(microsecond=0) + datetime.timedelta(seconds=LEAD)
key = due.strftime("%H:%M:%S")
start.queryEditableText().setTextContents(key)
if start.queryText().getText(0, -1) != key:
    fail(f"the start time shows {start.queryText().getText(0, -1)}, not {key}")
press(find(editor, "push button", "确定"))
wait_for("the task editor stayed open", lambda: app_window(app, "新增定时任务") is None, 5)
tasks = find(app, "tree", "定时时间列表")
wait_for(f"the task list shows no {key}", lambda: find(tasks, "table cell", key), 5)
print(key, int(due.timestamp()))
