#include "platform/SingleInstance.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

SingleInstanceGuard::SingleInstanceGuard(const QString& name)
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    QDir().mkpath(dir);
    m_lock = std::make_unique<QLockFile>(dir + QLatin1Char('/') + name + QStringLiteral(".lock"));
    // Never treat a live instance's lock as stale because of its age; only a dead owner frees it.
    m_lock->setStaleLockTime(0);
}

SingleInstanceGuard::~SingleInstanceGuard() = default;

bool SingleInstanceGuard::acquire()
{
    return m_lock->tryLock(0);
}
