#pragma once
#include <QDateTime>

// Local wall-clock time. The program asks this, never QDateTime directly, so tests can set it.
class IClock {
public:
    virtual ~IClock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock : public IClock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};
