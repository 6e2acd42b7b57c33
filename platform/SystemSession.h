#pragma once
// What the program asks of the session manager and the time service: a lock that keeps an idle
// machine from sleeping while bells remain, word that the machine is going to sleep, and
// whether the system clock is kept right by network time.
#include <QString>

#include <functional>
#include <optional>

class ISystemSession {
public:
    virtual ~ISystemSession() = default;
    // Takes (on) or lets go of the lock against idle sleep. False with the reason when it
    // cannot be taken.
    virtual bool holdAwake(bool on, QString* error) = 0;
    virtual bool holdingAwake() const = 0;
    // Whether network time keeps the clock right; none when nobody can say.
    virtual std::optional<bool> clockSynchronized() const = 0;
    // Called as the machine goes to sleep.
    std::function<void()> onSleep;
};
