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

// The system clock set to run from a given moment: the clock a test of the real program gives
// it (through TAVURO_CLOCK_START, "yyyy-MM-ddTHH:mm:ss", local time), so that a day such as a
// make-up Sunday comes without touching the machine's clock. Time goes on at the real pace.
class ShiftedClock : public IClock {
public:
    explicit ShiftedClock(const QDateTime& start)
        : m_offsetMs(start.toMSecsSinceEpoch() - QDateTime::currentMSecsSinceEpoch()) {}
    QDateTime now() const override { return QDateTime::fromMSecsSinceEpoch(msecsSinceEpoch()); }
    qint64 msecsSinceEpoch() const override { return QDateTime::currentMSecsSinceEpoch() + m_offsetMs; }

private:
    qint64 m_offsetMs;
};
