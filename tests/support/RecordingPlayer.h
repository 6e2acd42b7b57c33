#pragma once
#include "platform/GstMediaPlayer.h"

#include <QDateTime>
#include <QList>
#include <QStringList>

// The real player, with a record of the files it was told to open and play.
class RecordingPlayer : public IMediaPlayer {
public:
    explicit RecordingPlayer(const QString& sink = QStringLiteral("fakesink sync=true")) : m_inner(sink)
    {
        m_inner.setNoticeHandler([this] { deliverNotice(m_inner.lastNotice()); });
    }
    QStringList played;
    QList<qint64> playedAt; // ms since the epoch, as Play was called
    qsizetype plays = 0;
    // Off: only plays counts, so that a long run keeps nothing per Play.
    bool recording = true;

    void setFileName(const QString& f) override { m_inner.setFileName(f); }
    QString fileName() const override { return m_inner.fileName(); }
    void Open() override { m_inner.Open(); }
    bool isOpen() const override { return m_inner.isOpen(); }
    void Close() override { m_inner.Close(); }
    void requestNotice() override { m_inner.requestNotice(); }
    void Play() override
    {
        ++plays;
        if (recording) {
            playedAt << QDateTime::currentMSecsSinceEpoch();
            played << m_inner.fileName();
        }
        m_inner.Play();
    }
    void Pause() override { m_inner.Pause(); }
    void Stop() override { m_inner.Stop(); }
    void Rewind() override { m_inner.Rewind(); }
    MediaMode Mode() const override { return m_inner.Mode(); }
    qint64 Length() const override { return m_inner.Length(); }
    qint64 Position() const override { return m_inner.Position(); }
    void setTimeFormatMilliseconds() override { m_inner.setTimeFormatMilliseconds(); }

private:
    GstMediaPlayer m_inner;
};
