#pragma once
// PlayLog.txt beside the data files: what each task did and every failure, one line each
// ("date time<TAB>task<TAB>file<TAB>event"), GB18030 with CR LF like the other files. When it
// passes its size the file becomes PlayLog.old.txt (replacing the older one), so the log
// never holds more than twice that.
#include <QDateTime>
#include <QString>

class PlayLog {
public:
    static constexpr qint64 DefaultMaxBytes = 1024 * 1024;

    explicit PlayLog(QString path, qint64 maxBytes = DefaultMaxBytes);

    // Never raises: a log that cannot be written must not stop a bell.
    void Append(const QDateTime& at, const QString& taskKey, const QString& file,
                const QString& event) const;

    // The time of the last line (of PlayLog.txt, else of the old log); null when there is none
    // that reads.
    QDateTime LastTime() const;

    const QString& path() const { return m_path; }
    QString oldPath() const;

    // PlayLog.txt in the application directory.
    static QString DefaultPath();

private:
    QString m_path;
    qint64 m_maxBytes;
};
