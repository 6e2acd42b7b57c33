#include "desktop/AppIcon.h"

#include <QDir>

QIcon AppIcon()
{
    QIcon icon;
    // The sizes rendered from TavuroMP3.svg at build time, one folder each.
    const QStringList sizes = QDir(QStringLiteral(":/icons")).entryList(QDir::Dirs);
    for (const QString& size : sizes)
        icon.addFile(QStringLiteral(":/icons/%1/TavuroMP3.png").arg(size));
    return icon;
}
