#pragma once
// A media player for tests that records what it is told and plays nothing.
#include "platform/MediaPlayer.h"

#include <QSet>
#include <functional>
#include <QStringList>

// Logs every call ("Open:/path", "Play", "Pause", "Stop", "Rewind", "Close", "Notify",
// "TimeFormatMs", "FadeOut:..."); the level and fade-in are the base's. Unlike the real player, finish() delivers its notice at once, so tests
// need no event loop.
class FakeMediaPlayer : public IMediaPlayer {
public:
    QStringList log;
    MediaMode mode = MediaMode::NotReady;
    qint64 length = 0;
    qint64 position = 0;
    // Open of one of these stays opening until failPendingOpen() reports it failed.
    QSet<QString> failingPaths;
    MediaFailure openFailure{MediaFailureReason::UnknownFormat, QStringLiteral("no decoder")};
    bool audioOutput = true;
    // Runs inside every Play, to see the world as the player does at that moment.
    std::function<void()> onPlay;

    void setFileName(const QString& fileName) override { m_fileName = fileName; }
    // Files handed over ahead of their start.
    QStringList prepared;
    void Prepare(const QString& fileName) override { prepared << fileName; }
    QString fileName() const override { return m_fileName; }

    void Open() override
    {
        log << QStringLiteral("Open:") + m_fileName;
        // A good file opens at once; a failing one is still opening, as the real player is
        // until its answer comes through the event loop.
        m_failing = failingPaths.contains(m_fileName);
        mode = m_failing ? MediaMode::Open : MediaMode::Stopped;
        position = 0;
    }
    // Delivers the OpenFailed notice of a failing Open; false when none is outstanding.
    bool failPendingOpen()
    {
        if (!m_failing || mode != MediaMode::Open)
            return false;
        m_failing = false;
        mode = MediaMode::NotReady;
        setLastFailure(openFailure);
        deliverNotice(MediaNotice::OpenFailed);
        return true;
    }
    bool hasAudioOutput() const override { return audioOutput; }
    bool isOpen() const override { return mode != MediaMode::NotReady; }
    void Close() override
    {
        log << QStringLiteral("Close");
        mode = MediaMode::NotReady;
    }
    void requestNotice() override { log << QStringLiteral("Notify"); }
    void Play() override
    {
        log << QStringLiteral("Play");
        if (onPlay)
            onPlay();
        if (isOpen() && mode != MediaMode::Open)
            mode = MediaMode::Playing;
    }
    void Pause() override
    {
        log << QStringLiteral("Pause");
        if (mode == MediaMode::Playing)
            mode = MediaMode::Paused;
        else if (mode == MediaMode::Paused)
            mode = MediaMode::Playing;
    }
    void Stop() override
    {
        log << QStringLiteral("Stop");
        if (isOpen())
            mode = MediaMode::Stopped;
    }
    void Rewind() override
    {
        log << QStringLiteral("Rewind");
        position = 0;
    }
    MediaMode Mode() const override { return mode; }
    qint64 Length() const override { return length; }
    qint64 Position() const override { return position; }
    void setTimeFormatMilliseconds() override { log << QStringLiteral("TimeFormatMs"); }
    // "FadeOut:<ms from now>/<fade ms>".
    void fadeOut(qint64 msFromNow, qint64 fadeMs) override
    {
        log << QStringLiteral("FadeOut:%1/%2").arg(msFromNow).arg(fadeMs);
    }

    // The file plays to its end: Stopped at Length, and the notice handler runs.
    void finish()
    {
        mode = MediaMode::Stopped;
        position = length;
        deliverNotice(MediaNotice::Successful);
    }
    // Any other notice, leaving mode and position as they are.
    void notify(MediaNotice notice) { deliverNotice(notice); }

private:
    QString m_fileName;
    bool m_failing = false;
};
