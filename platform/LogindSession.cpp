#include "platform/LogindSession.h"

#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>

namespace {

const QString Login1 = QStringLiteral("org.freedesktop.login1");
const QString Login1Path = QStringLiteral("/org/freedesktop/login1");
const QString Manager = QStringLiteral("org.freedesktop.login1.Manager");
// Short: the window's thread waits for it.
constexpr int ReplyTimeoutMs = 3000;

} // namespace

LogindSession::LogindSession(const QDBusConnection& bus, QObject* parent) : QObject(parent), m_bus(bus)
{
    m_bus.connect(Login1, Login1Path, Manager, QStringLiteral("PrepareForSleep"), this,
                  SLOT(prepareForSleep(bool)));
}

bool LogindSession::holdAwake(bool on, QString* error)
{
    if (!on) {
        // The lock is the descriptor: closing the last copy lets it go.
        m_lock = QDBusUnixFileDescriptor();
        return true;
    }
    if (m_lock.isValid())
        return true;
    QDBusMessage call = QDBusMessage::createMethodCall(Login1, Login1Path, Manager, QStringLiteral("Inhibit"));
    call << QStringLiteral("sleep:idle") << QStringLiteral("TavuroMP3")
         << tr("今天还有定时铃声要播放") << QStringLiteral("block");
    const QDBusReply<QDBusUnixFileDescriptor> reply = m_bus.call(call, QDBus::Block, ReplyTimeoutMs);
    if (!reply.isValid() || !reply.value().isValid()) {
        if (error)
            *error = reply.error().message().isEmpty() ? tr("没有收到休眠锁")
                                                       : reply.error().message();
        return false;
    }
    m_lock = reply.value();
    return true;
}

std::optional<bool> LogindSession::clockSynchronized() const
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.timedate1"), QStringLiteral("/org/freedesktop/timedate1"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    call << QStringLiteral("org.freedesktop.timedate1") << QStringLiteral("NTPSynchronized");
    const QDBusReply<QDBusVariant> reply = m_bus.call(call, QDBus::Block, ReplyTimeoutMs);
    if (!reply.isValid())
        return std::nullopt;
    return reply.value().variant().toBool();
}

void LogindSession::prepareForSleep(bool starting)
{
    if (starting && onSleep)
        onSleep();
}
