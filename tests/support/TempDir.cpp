#include "support/TempDir.h"

#include "platform/AppDirectory.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

TempAppDir::TempAppDir()
{
    SetApplicationDirectoryOverride(m_dir.path());
}

TempAppDir::~TempAppDir()
{
    SetApplicationDirectoryOverride(QString());
}

QString TempAppDir::path() const
{
    return m_dir.path() + QLatin1Char('/');
}

QString TempAppDir::file(const QString& name) const
{
    return path() + name;
}

void TempAppDir::write(const QString& name, const QByteArray& bytes) const
{
    QFile f(file(name));
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

void TempAppDir::writeText(const QString& name, const QString& text) const
{
    QString crlf = text;
    crlf.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    QStringEncoder enc("GB18030");
    write(name, enc.encode(crlf));
}

QByteArray TempAppDir::read(const QString& name) const
{
    QFile f(file(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QString TempAppDir::readText(const QString& name) const
{
    QStringDecoder dec("GB18030");
    return dec.decode(read(name));
}

bool TempAppDir::exists(const QString& name) const
{
    return QFile::exists(file(name));
}

bool TempAppDir::setModified(const QString& name, const QDateTime& time) const
{
    QFile f(file(name));
    return f.open(QIODevice::ReadWrite) && f.setFileTime(time, QFileDevice::FileModificationTime);
}
