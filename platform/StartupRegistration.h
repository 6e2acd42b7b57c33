#pragma once
#include <QString>

// Starting the program at every log-on: the real registration in the program; tests use the
// XDG one over a temporary XDG_CONFIG_HOME.
class IStartupRegistration {
public:
    virtual ~IStartupRegistration() = default;
    // Whether the place of the registration exists or can be made, and can be written.
    virtual bool open() = 0;
    // Registers executablePath to start at log-on; raises FileError when it cannot be written.
    virtual void registerProgram(const QString& executablePath) = 0;
    // Removes the registration; one that is not there is no error.
    virtual void unregisterProgram() = 0;
};
