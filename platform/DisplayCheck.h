#pragma once

// Whether the window system the program would start on can be reached. Qt ends the process
// with an English message of its own when it cannot; this asks first, so that a start over
// SSH or from a service gets a plain answer. Platforms that need no display (offscreen,
// minimal, vnc, ...) always count as reachable; Wayland is left to Qt.
bool DisplayReachable(int argc, char** argv);

// The one line said on stderr when there is none, in Chinese and English.
const char* NoDisplayMessage();
