#pragma once
// A player whose Play can be held back and let go later, so that the players of several zones,
// each told to play in turn, all start in the same instant. Everything else goes straight
// through to the player it wraps, notices included.
#include "platform/MediaPlayer.h"

#include <memory>

class GatedPlayer : public IMediaPlayer {
public:
    explicit GatedPlayer(std::unique_ptr<IMediaPlayer> inner);
    ~GatedPlayer() override;

    // From now on a Play waits for release().
    void hold() { m_held = true; }
    // The Play that waited, if any, goes now, its first sound leaving at startAtMs of the wall
    // clock (0: at once).
    void release(qint64 startAtMs = 0);

    void setFileName(const QString& fileName) override { m_inner->setFileName(fileName); }
    QString fileName() const override { return m_inner->fileName(); }
    void Open() override { m_inner->Open(); }
    void Prepare(const QString& fileName) override { m_inner->Prepare(fileName); }
    bool isOpen() const override { return m_inner->isOpen(); }
    void Close() override;
    void requestNotice() override { m_inner->requestNotice(); }
    void Play() override;
    void Pause() override;
    void Stop() override;
    void Rewind() override { m_inner->Rewind(); }
    MediaMode Mode() const override { return m_inner->Mode(); }
    qint64 Length() const override { return m_inner->Length(); }
    qint64 Position() const override { return m_inner->Position(); }
    void setTimeFormatMilliseconds() override { m_inner->setTimeFormatMilliseconds(); }
    void setLevel(double gain, int rampMs = 0) override;
    void setFadeIn(int fadeInMs) override;
    void fadeOut(qint64 msFromNow, qint64 fadeMs) override { m_inner->fadeOut(msFromNow, fadeMs); }
    bool hasAudioOutput() const override { return m_inner->hasAudioOutput(); }
    void setStartAt(qint64 wallMs) override { m_inner->setStartAt(wallMs); }

private:
    std::unique_ptr<IMediaPlayer> m_inner;
    bool m_held = false;
    bool m_playOwed = false;
};
