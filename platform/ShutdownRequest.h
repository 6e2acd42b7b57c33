#pragma once
#include <QString>

// Powering the machine off: the real request in the program, a recording fake in every test.
class IShutdownRequest {
public:
    virtual ~IShutdownRequest() = default;
    // Asks for an immediate power-off that does not wait for other programs. Returns false with
    // the system's reason in *error when the request is refused.
    virtual bool requestPowerOff(QString* error) = 0;
};
