#include "storage/TimeText.h"

QString FormatTimeText(const QTime& time)
{
    return time.toString(QStringLiteral("HH:mm:ss"));
}

QTime ParseTimeText(const QString& text, bool* ok)
{
    QTime t = QTime::fromString(text, QStringLiteral("HH:mm:ss"));
    if (!t.isValid())
        t = QTime::fromString(text, QStringLiteral("H:mm:ss"));
    if (ok)
        *ok = t.isValid();
    // Callers that parse with a default want midnight for an unreadable text.
    return t.isValid() ? t : QTime(0, 0, 0);
}
