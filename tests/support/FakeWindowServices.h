#pragma once
// The main window's services, all of them fakes: no sound, no box, no shutdown and no
// start-up registration reaches the system.
#include "app/Unit1.h"
#include "support/FakeMediaPlayer.h"
#include "support/Fakes.h"

struct FakeWindowServices {
    FakeClock clock;
    FakeMessageBoxes boxes;
    FakeDialogs dialogs;
    FakeMediaPlayer mp1, mpBackgroupMusic;
    FakeShutdownRequest shutdown;
    FakeStartupRegistration startup;

    Services services(bool tray = true)
    {
        return Services{&clock, &boxes, &dialogs, &mp1, &mpBackgroupMusic, tray, &shutdown, &startup};
    }
};
