#pragma once
#include "platform/ShutdownRequest.h"

// The real power-off: logind's PowerOff on the system bus, without asking the user; where
// logind cannot be reached, `systemctl poweroff`. Blocks for at most a few seconds.
class SystemShutdownRequest : public IShutdownRequest {
public:
    bool requestPowerOff(QString* error) override;
};
