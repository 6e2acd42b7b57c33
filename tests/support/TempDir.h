#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QTemporaryDir>

// A fresh application directory for one test; the program's data files go there.
class TempAppDir {
public:
    TempAppDir();
    ~TempAppDir();
    // Path with trailing separator.
    QString path() const;
    QString file(const QString& name) const;
    void write(const QString& name, const QByteArray& bytes) const;
    // GB18030 text; "\n" becomes CR LF.
    void writeText(const QString& name, const QString& text) const;
    QByteArray read(const QString& name) const;
    QString readText(const QString& name) const;
    bool exists(const QString& name) const;
    // Sets the file's modification time, as a copy that keeps its time (cp -p) leaves it.
    bool setModified(const QString& name, const QDateTime& time) const;

private:
    QTemporaryDir m_dir;
};
