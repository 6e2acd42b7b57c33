#include "platform/SingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

namespace {
const QByteArray kRaise = QByteArrayLiteral("raise\n");
}

SingleInstanceGuard::SingleInstanceGuard(const QString& name)
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    QDir().mkpath(dir);
    m_socketPath = dir + QLatin1Char('/') + name + QStringLiteral(".socket");
    m_lock = std::make_unique<QLockFile>(dir + QLatin1Char('/') + name + QStringLiteral(".lock"));
    // Never treat a live instance's lock as stale because of its age; only a dead owner frees it.
    m_lock->setStaleLockTime(0);
}

SingleInstanceGuard::~SingleInstanceGuard() = default;

bool SingleInstanceGuard::acquire()
{
    return m_lock->tryLock(0);
}

bool SingleInstanceGuard::listenForRaise(std::function<void()> onRaise)
{
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // We hold the lock, so a socket left there is a crashed instance's.
    QLocalServer::removeServer(m_socketPath);
    if (!m_server->listen(m_socketPath)) {
        m_server.reset();
        return false;
    }
    QLocalServer* server = m_server.get();
    QObject::connect(server, &QLocalServer::newConnection, server, [server, onRaise] {
        while (QLocalSocket* socket = server->nextPendingConnection()) {
            // Only a whole request counts; anything else on the socket is dropped unread.
            QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket, onRaise] {
                if (socket->bytesAvailable() < kRaise.size())
                    return;
                if (socket->read(kRaise.size()) == kRaise)
                    onRaise();
                socket->disconnectFromServer();
            });
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
    return true;
}

bool SingleInstanceGuard::askRunningToRaise() const
{
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    if (!socket.waitForConnected(1000))
        return false;
    socket.write(kRaise);
    const bool sent = socket.waitForBytesWritten(1000);
    // Wait for the running instance to hang up, so its window is up before our box shows.
    if (sent && socket.state() == QLocalSocket::ConnectedState)
        socket.waitForDisconnected(1000);
    return sent;
}
