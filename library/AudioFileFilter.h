#pragma once
#include "library/TranslatedText.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

// The kinds of sound file the program plays, by extension: what a task's folder and the
// background music are searched for and what every file dialog offers.
inline const QStringList AudioExtensions{QStringLiteral("mp3"), QStringLiteral("wav"),
                                         QStringLiteral("mid"), QStringLiteral("avi")};
// As SearchFiles takes them: ".mp3.wav.mid.avi".
inline const QString MusicExtensions = QLatin1Char('.') + AudioExtensions.join(QLatin1Char('.'));
// The one filter of every dialog that picks sound files, in Qt's form.
inline constexpr TranslatedText AudioFileFilter{[] {
    return QCoreApplication::translate("AudioFileFilter", "音频文件 (%1)")
        .arg(QStringLiteral("*.") + AudioExtensions.join(QStringLiteral(" *.")));
}};
