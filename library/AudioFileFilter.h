#pragma once
#include <QString>

// The one filter of every dialog that picks sound files, in Qt's form.
inline const QString AudioFileFilter = QStringLiteral("音频文件 (*.mp3 *.wav *.mid *.avi)");
