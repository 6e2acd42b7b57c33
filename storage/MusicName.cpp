#include "storage/MusicName.h"

#include <QDir>

QString MusicDisplayName(const QString& path)
{
    const QString p = path.endsWith(QDir::separator()) ? path.chopped(1) : path;
    return p.mid(p.lastIndexOf(QDir::separator()) + 1);
}
