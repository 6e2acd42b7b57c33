#pragma once
#include <QString>

#include <functional>
#include <memory>

class QLocalServer;
class QLockFile;

// Per-user guard: the first instance holds a lock file in the runtime directory for its whole
// life. A crashed instance leaves a lock that the next start recognises as stale.
// Beside the lock the first instance listens on a local socket, through which a later start
// asks it to bring its window to the front.
class SingleInstanceGuard {
public:
    explicit SingleInstanceGuard(const QString& name);
    ~SingleInstanceGuard();
    // False when another live instance holds the lock.
    bool acquire();

    // For the instance that holds the lock: onRaise runs on this thread's event loop each
    // time a later start knocks. False when the socket cannot be opened; the guard holds all
    // the same.
    bool listenForRaise(std::function<void()> onRaise);
    // For a start refused by acquire(): tells the running instance to show its window.
    // False when no instance answered within a second.
    bool askRunningToRaise() const;

private:
    QString m_socketPath;
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<QLocalServer> m_server;
};
