#pragma once
#include <QString>
#include <QTime>

// The one form every stored or compared time of day takes: 24-hour "HH:mm:ss".
QString FormatTimeText(const QTime& time);

// Reads "HH:mm:ss" and also "H:mm:ss", which files written under other locales hold.
// A text that does not parse gives midnight and sets *ok to false.
QTime ParseTimeText(const QString& text, bool* ok = nullptr);
