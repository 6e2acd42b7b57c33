#pragma once

class IClock;
class IMessageBoxes;
class IDialogs;

// What the program asks of the system, handed to the main window at construction:
// main() builds the real services, tests build fakes.
struct Services {
    IClock* clock = nullptr;
    IMessageBoxes* boxes = nullptr;
    IDialogs* dialogs = nullptr;
    // Whether the desktop has a notification area; without one, closing minimizes instead.
    bool trayAvailable = true;
};
