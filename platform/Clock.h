#pragma once
#include <QDateTime>

// Local wall-clock time. The program asks this, never QDateTime directly, so tests can set it.
class IClock {
public:
    virtual ~IClock() = default;
    virtual QDateTime now() const = 0;
    // The same instant as milliseconds since the epoch. Timing needs no local time, and each
    // local conversion makes the C library look at the time zone file again.
    virtual qint64 msecsSinceEpoch() const { return now().toMSecsSinceEpoch(); }
};

class SystemClock : public IClock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
    qint64 msecsSinceEpoch() const override { return QDateTime::currentMSecsSinceEpoch(); }
};
