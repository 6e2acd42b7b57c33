#include "platform/SystemShutdownRequest.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QProcess>
#include <QStringList>

namespace {

// Long enough for logind to check the rights, short enough that the bells are not held up.
constexpr int ReplyTimeoutMs = 5000;
constexpr int CommandTimeoutMs = 10000;

enum class Outcome { Accepted, Refused, Unreachable };

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

// Errors that say nobody answers for logind, as opposed to logind saying no.
bool isUnreachable(const QDBusError& e)
{
    switch (e.type()) {
    case QDBusError::ServiceUnknown:
    case QDBusError::NoServer:
    case QDBusError::Disconnected:
    case QDBusError::UnknownObject:
    case QDBusError::UnknownInterface:
    case QDBusError::UnknownMethod:
        return true;
    default:
        // Failed bus activation comes as org.freedesktop.DBus.Error.Spawn.*.
        return e.name() == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner") ||
               e.name().startsWith(QLatin1String("org.freedesktop.DBus.Error.Spawn."));
    }
}

Outcome askLogind(QString* error)
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return Outcome::Unreachable;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PowerOff"));
    // false: never wait for a password prompt on an unattended machine.
    call << false;
    const QDBusMessage reply = bus.call(call, QDBus::Block, ReplyTimeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return Outcome::Accepted;
    const QDBusError e(reply);
    if (isUnreachable(e))
        return Outcome::Unreachable;
    if (e.type() == QDBusError::NoReply || e.type() == QDBusError::Timeout ||
        e.type() == QDBusError::TimedOut)
        setError(error, QCoreApplication::translate("SystemShutdownRequest",
                                                    "关机请求在 %1 秒内没有得到系统的回应：%2")
                            .arg(ReplyTimeoutMs / 1000)
                            .arg(e.message()));
    else
        setError(error, QCoreApplication::translate("SystemShutdownRequest", "关机请求被系统拒绝：%1").arg(e.message()));
    return Outcome::Refused;
}

bool runSystemctl(QString* error)
{
    // On the heap: a command still running at the time-out is left to finish, not killed.
    auto* process = new QProcess;
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->start(QStringLiteral("systemctl"),
                   {QStringLiteral("poweroff"), QStringLiteral("--no-ask-password")});
    if (!process->waitForStarted(CommandTimeoutMs)) {
        setError(error, QCoreApplication::translate("SystemShutdownRequest", "无法启动关机命令 systemctl：%1")
                            .arg(process->errorString()));
        delete process;
        return false;
    }
    if (!process->waitForFinished(CommandTimeoutMs)) {
        QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
        setError(error, QCoreApplication::translate("SystemShutdownRequest",
                                                    "关机命令 systemctl poweroff 在 %1 秒内没有结束")
                            .arg(CommandTimeoutMs / 1000));
        return false;
    }
    const bool ok = process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
    if (!ok)
        setError(error, QCoreApplication::translate("SystemShutdownRequest",
                                                    "关机命令 systemctl poweroff 失败（退出码 %1）：%2")
                            .arg(process->exitCode())
                            .arg(QString::fromLocal8Bit(process->readAll()).trimmed()));
    delete process;
    return ok;
}

} // namespace

bool SystemShutdownRequest::requestPowerOff(QString* error)
{
    switch (askLogind(error)) {
    case Outcome::Accepted:
        return true;
    case Outcome::Refused:
        return false;
    case Outcome::Unreachable:
        break;
    }
    return runSystemctl(error);
}
