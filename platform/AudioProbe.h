#pragma once
// Whether a file is sound the player can decode, asked once when it enters the library, so
// that a file that cannot play is refused then and not found out when its bell is due.
#include <QString>

class IAudioProbe {
public:
    virtual ~IAudioProbe() = default;
    // Why path cannot be played, for the user, with the platform's text after it; empty when it
    // can. Called from a worker thread: implementations keep no state between calls.
    virtual QString problem(const QString& path) = 0;
};

// Asks GStreamer's discoverer: the file must be readable, of a known type, and hold a sound
// stream that an installed decoder takes.
class GstAudioProbe : public IAudioProbe {
public:
    explicit GstAudioProbe(int timeoutMs = 10000) : m_timeoutMs(timeoutMs) {}
    QString problem(const QString& path) override;

private:
    int m_timeoutMs;
};
