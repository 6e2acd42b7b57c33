#include "platform/Version.h"

#include <QStringList>

#ifndef TAVURO_VERSION
#define TAVURO_VERSION ""
#endif

QString VersionText()
{
    const QString v = QStringLiteral(TAVURO_VERSION);
    if (v.isEmpty())
        return QStringLiteral("0.0.0.0");
    QStringList parts = v.split(QLatin1Char('.'));
    while (parts.size() < 4)
        parts << QStringLiteral("0");
    return parts.mid(0, 4).join(QLatin1Char('.'));
}
