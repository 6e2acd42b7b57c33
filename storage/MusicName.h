#pragma once
#include <QString>

// How a library path is named in the task dialogs and the task list: the file name of an audio
// file, the last folder name of a directory (whose path ends with the separator).
QString MusicDisplayName(const QString& path);
