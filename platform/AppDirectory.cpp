#include "platform/AppDirectory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString& overrideDir()
{
    static QString dir;
    return dir;
}

QString withSeparator(QString dir)
{
    dir = QDir::toNativeSeparators(dir);
    if (!dir.endsWith(QDir::separator()))
        dir += QDir::separator();
    return dir;
}
} // namespace

bool IsInstalledLayout(const QString& exeDir)
{
    const QDir bin(exeDir);
    return bin.dirName() == QStringLiteral("bin") &&
           QFileInfo::exists(bin.filePath(QStringLiteral("../share/applications/TavuroMP3.desktop")));
}

void SetApplicationDirectoryOverride(const QString& dir)
{
    overrideDir() = dir.isEmpty() ? QString() : withSeparator(dir);
}

namespace {
QString resolvedFor(const QString& exeDir)
{
    if (!exeDir.isEmpty() && QFileInfo(exeDir).isWritable() && !IsInstalledLayout(exeDir))
        return withSeparator(exeDir);
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(data);
    return withSeparator(data);
}
} // namespace

QString ApplicationDirectory()
{
    if (!overrideDir().isEmpty())
        return overrideDir();
    static const QString resolved = resolvedFor(QCoreApplication::applicationDirPath());
    return resolved;
}

QString ApplicationDirectoryBeforeStart()
{
    if (!overrideDir().isEmpty())
        return overrideDir();
    return resolvedFor(QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).absolutePath());
}
