#pragma once
#include <QIcon>

// The program's own icon (a bell with a clock) at every size the desktop asks for: the
// window, the tray and the menu entry show the same picture.
QIcon AppIcon();
