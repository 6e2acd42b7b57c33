#include "storage/PlayLog.h"

#include "platform/AppDirectory.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>

namespace {

// A field may hold the platform's own text; its line breaks and tabs would split the line.
QString oneLine(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    for (QChar& c : text)
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QLatin1Char('\t'))
            c = QLatin1Char(' ');
    return text;
}

} // namespace

PlayLog::PlayLog(QString path, qint64 maxBytes) : m_path(std::move(path)), m_maxBytes(maxBytes) {}

QString PlayLog::DefaultPath()
{
    return ApplicationDirectory() + QStringLiteral("PlayLog.txt");
}

QString PlayLog::oldPath() const
{
    QString base = m_path;
    if (base.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive))
        base.chop(4);
    return base + QStringLiteral(".old.txt");
}

void PlayLog::Append(const QDateTime& at, const QString& taskKey, const QString& file,
                     const QString& event) const
{
    QStringEncoder encoder("GB18030");
    const QString line = at.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + QLatin1Char('\t')
        + oneLine(taskKey) + QLatin1Char('\t') + oneLine(file) + QLatin1Char('\t') + oneLine(event)
        + QStringLiteral("\r\n");
    const QByteArray bytes = encoder.isValid() ? QByteArray(encoder.encode(line)) : line.toUtf8();

    const qint64 size = QFileInfo(m_path).size();
    if (size > 0 && size + bytes.size() > m_maxBytes) {
        QFile::remove(oldPath());
        QFile::rename(m_path, oldPath());
    }
    QFile out(m_path);
    if (out.open(QIODevice::WriteOnly | QIODevice::Append))
        out.write(bytes);
}

QDateTime PlayLog::LastTime() const
{
    for (const QString& path : {m_path, oldPath()}) {
        QFile in(path);
        if (!in.open(QIODevice::ReadOnly))
            continue;
        // The tail holds the last line whole: a line is far shorter than this.
        in.seek(qMax<qint64>(0, in.size() - 8192));
        QStringDecoder decoder("GB18030");
        const QString tail = decoder.isValid() ? QString(decoder.decode(in.readAll())) : QString();
        const QStringList lines = tail.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
            const QDateTime at = QDateTime::fromString(line->left(19), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
            if (at.isValid())
                return at;
        }
    }
    return QDateTime();
}
