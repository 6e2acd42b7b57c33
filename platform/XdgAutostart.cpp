#include "platform/XdgAutostart.h"

#include "platform/Errors.h"
#include "platform/SaveFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString EntryName = QStringLiteral("MP3AutoStart.desktop");

// Characters that make the desktop entry's command line split or expand an argument.
bool NeedsQuoting(const QString& argument)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    if (argument.isEmpty())
        return true;
    for (const QChar c : argument)
        if (reserved.contains(c))
            return true;
    return false;
}

} // namespace

XdgAutostart::XdgAutostart(const QString& configDirectory) : m_configDirectory(configDirectory) {}

QString XdgAutostart::autostartDirectoryFor(const QString& xdgConfigHome, const QString& home)
{
    // A relative XDG_CONFIG_HOME is invalid and ignored, as the base directory rules say.
    const QString config = !xdgConfigHome.isEmpty() && QDir::isAbsolutePath(xdgConfigHome)
                               ? xdgConfigHome
                               : home + QStringLiteral("/.config");
    return QDir::cleanPath(config + QStringLiteral("/autostart"));
}

QString XdgAutostart::autostartDirectory() const
{
    if (!m_configDirectory.isEmpty())
        return QDir::cleanPath(m_configDirectory + QStringLiteral("/autostart"));
    return autostartDirectoryFor(qEnvironmentVariable("XDG_CONFIG_HOME"), QDir::homePath());
}

QString XdgAutostart::entryPath() const
{
    return autostartDirectory() + QLatin1Char('/') + EntryName;
}

QString XdgAutostart::execValue(const QString& executablePath)
{
    // First the command line's quoting, then "%" kept from being read as a field code, then
    // the string escapes of any value: a literal backslash in quotes thus ends up as four.
    QString argument;
    if (NeedsQuoting(executablePath)) {
        argument = QStringLiteral("\"");
        for (const QChar c : executablePath) {
            if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
                argument += QLatin1Char('\\');
            argument += c;
        }
        argument += QLatin1Char('"');
    } else {
        argument = executablePath;
    }
    argument.replace(QLatin1Char('%'), QStringLiteral("%%"));

    QString value;
    for (const QChar c : argument) {
        switch (c.unicode()) {
        case u'\\': value += QStringLiteral("\\\\"); break;
        case u'\n': value += QStringLiteral("\\n"); break;
        case u'\t': value += QStringLiteral("\\t"); break;
        case u'\r': value += QStringLiteral("\\r"); break;
        default: value += c;
        }
    }
    return value;
}

QByteArray XdgAutostart::entryText(const QString& executablePath)
{
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=TavuroMP3\n"
                          "Exec=%1\n"
                          "X-GNOME-Autostart-enabled=true\n")
        .arg(execValue(executablePath))
        .toUtf8();
}

bool XdgAutostart::open()
{
    const QString dir = autostartDirectory();
    if (!QDir().mkpath(dir))
        return false;
    const QFileInfo info(dir);
    return info.isDir() && info.isWritable();
}

void XdgAutostart::registerProgram(const QString& executablePath)
{
    const QString path = entryPath();
    const auto fail = [&path](const QString& reason) {
        throw FileError(
            reason.isEmpty()
                ? QCoreApplication::translate("XdgAutostart", "无法写入自动启动目录：%1").arg(path)
                : QCoreApplication::translate("XdgAutostart", "无法写入自动启动目录：%1（%2）").arg(path, reason));
    };
    if (!QDir().mkpath(autostartDirectory()))
        fail(QString());
    // Whole or not at all: a session starting meanwhile must never read half an entry.
    const QString reason = SaveWholeFile(path, entryText(executablePath));
    if (!reason.isEmpty())
        fail(reason);
}

void XdgAutostart::unregisterProgram()
{
    const QString path = entryPath();
    QFile entry(path);
    if (!entry.exists())
        return;
    // Left in place, it would start the program at the next log-on although the box is cleared.
    if (!entry.remove())
        throw FileError(QCoreApplication::translate("XdgAutostart", "无法删除自动启动项：%1（%2）")
                            .arg(path, entry.errorString()));
}
