#pragma once
#include <QString>
#include <memory>

class QLockFile;

// Per-user guard: the first instance holds a lock file in the runtime directory for its whole
// life. A crashed instance leaves a lock that the next start recognises as stale.
class SingleInstanceGuard {
public:
    explicit SingleInstanceGuard(const QString& name);
    ~SingleInstanceGuard();
    // False when another live instance holds the lock.
    bool acquire();

private:
    std::unique_ptr<QLockFile> m_lock;
};
