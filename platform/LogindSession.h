#pragma once
#include "platform/SystemSession.h"

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>

// logind's Inhibit ("sleep:idle", "block": held as a file descriptor, let go by closing it) and
// PrepareForSleep signal, and timedated's NTPSynchronized, on the given bus (the system bus in
// the program, a private one in tests).
class LogindSession : public QObject, public ISystemSession {
    Q_OBJECT
public:
    explicit LogindSession(const QDBusConnection& bus = QDBusConnection::systemBus(), QObject* parent = nullptr);

    bool holdAwake(bool on, QString* error) override;
    bool holdingAwake() const override { return m_lock.isValid(); }
    std::optional<bool> clockSynchronized() const override;

private slots:
    // A slot by name: a bus signal is connected by its signature, the one place that takes one.
    void prepareForSleep(bool starting);

private:

    QDBusConnection m_bus;
    QDBusUnixFileDescriptor m_lock;
};
