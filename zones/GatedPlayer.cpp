#include "zones/GatedPlayer.h"

#include <utility>

GatedPlayer::GatedPlayer(std::unique_ptr<IMediaPlayer> inner) : m_inner(std::move(inner))
{
    m_inner->setNoticeHandler([this] {
        setLastFailure(m_inner->lastFailure());
        deliverNotice(m_inner->lastNotice());
    });
}

GatedPlayer::~GatedPlayer()
{
    m_inner->setNoticeHandler({});
}

void GatedPlayer::release(qint64 startAtMs)
{
    m_held = false;
    if (!std::exchange(m_playOwed, false))
        return;
    if (startAtMs > 0)
        m_inner->setStartAt(startAtMs);
    m_inner->Play();
}

void GatedPlayer::Close()
{
    m_playOwed = false;
    m_inner->Close();
}

void GatedPlayer::Play()
{
    if (m_held)
        m_playOwed = true;
    else
        m_inner->Play();
}

void GatedPlayer::Pause()
{
    m_playOwed = false;
    m_inner->Pause();
}

void GatedPlayer::Stop()
{
    m_playOwed = false;
    m_inner->Stop();
}

void GatedPlayer::setLevel(double gain, int rampMs)
{
    IMediaPlayer::setLevel(gain, rampMs);
    m_inner->setLevel(gain, rampMs);
}

void GatedPlayer::setFadeIn(int fadeInMs)
{
    IMediaPlayer::setFadeIn(fadeInMs);
    m_inner->setFadeIn(fadeInMs);
}
