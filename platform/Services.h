#pragma once
#include <QString>

#include <functional>
#include <memory>

class IClock;
class IMessageBoxes;
class IDialogs;
class IMediaPlayer;
class IShutdownRequest;
class IStartupRegistration;
class IFailureBox;
class ISystemSession;
class OutputMuteWatch;

// What the program asks of the system, handed to the main window at construction:
// main() builds the real services, tests build fakes.
struct Services {
    IClock* clock = nullptr;
    IMessageBoxes* boxes = nullptr;
    IDialogs* dialogs = nullptr;
    // The task player and the background-music player: two independent players.
    IMediaPlayer* mp1 = nullptr;
    IMediaPlayer* mpBackgroupMusic = nullptr;
    // Whether the desktop has a notification area; without one, closing minimizes instead.
    bool trayAvailable = true;
    IShutdownRequest* shutdown = nullptr;
    IStartupRegistration* startup = nullptr;
    // The box for failures of what runs unattended; without one they go to the message boxes.
    IFailureBox* failureBox = nullptr;
    // The sleep lock and the clock's state; without one nothing is asked.
    ISystemSession* session = nullptr;
    // Whether the output device is muted; without one nothing is told.
    OutputMuteWatch* outputMute = nullptr;
    // Makes the player of a zone's stream at host:port; without one, a GStreamer player.
    std::function<std::unique_ptr<IMediaPlayer>(const QString& host, int port)> makeZonePlayer = {};
};
