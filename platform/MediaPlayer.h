#pragma once
#include <QString>
#include <QtGlobal>

#include <functional>
#include <utility>

// The numbering is the old media device's and callers compare against it.
enum class MediaMode : int {
    NotReady = 0, // nothing open
    Stopped = 1,  // open and not playing: after Open, Stop, or the end of the file
    Playing = 2,
    Recording = 3, // never reported; kept for the numbering
    Seeking = 4,   // never reported; kept for the numbering
    Paused = 5,
    Open = 6, // opening: Open has begun and the file is not ready yet
};

// How the command a completion notice reports on ended.
enum class MediaNotice {
    None,       // no notice delivered yet
    Successful, // the command completed; for Play: the file played to its end
    Superseded, // a Play was replaced by another Play
    Aborted,    // a Play was ended by Stop, Close or Open
    Failure,    // a Play could not start or broke off with a stream error
    Opened,     // an Open completed: the file is ready (always posted)
    OpenFailed, // an Open did not complete: lastFailure() says why (always posted)
};

// Why a file could not be opened, as the program tells the user.
enum class MediaFailureReason {
    None,
    Missing,        // 不存在
    NotRegularFile, // 不是普通文件: a pipe or a device never reaches the decoder
    NoPermission,   // 没有读取权限
    UnknownFormat,  // 无法识别的格式
    Timeout,        // 打开超时: the source did not deliver in time
    Other,          // 无法播放
};

struct MediaFailure {
    MediaFailureReason reason = MediaFailureReason::None;
    QString detail; // the platform's own text, often English; may be empty

    // The reason as the window says it, the platform's text after it.
    QString text() const;
    // The same with the reason in Chinese, as the play log keeps it.
    QString logText() const;
};

// Plays one sound file at a time. Every call comes from the user-interface thread and returns
// at once: no file or device, however slowly it answers, holds that thread.
//
// Completion notices reach the handler on that thread through its event loop, never from
// inside the command that caused them. A Play always asks for one; an Open always ends with
// Opened or OpenFailed; any other command asks only after requestNotice(). A command with
// nothing open does nothing and posts nothing. While a Play's notice is outstanding, Pause,
// resume and Rewind leave it outstanding.
class IMediaPlayer {
public:
    using NoticeHandler = std::function<void()>;

    virtual ~IMediaPlayer() = default;

    // Called for every completion notice; lastNotice() then says how the command ended.
    void setNoticeHandler(NoticeHandler handler) { m_noticeHandler = std::move(handler); }
    MediaNotice lastNotice() const { return m_lastNotice; }

    // The file the next Open uses; it is kept after Close.
    virtual void setFileName(const QString& fileName) = 0;
    virtual QString fileName() const = 0;

    // Begins opening the file, closing any open one first. The mode reads Open until an
    // Opened notice (the player is then Stopped at position 0, or playing or paused when Play
    // or Pause came meanwhile) or an OpenFailed notice (not open; lastFailure() says why).
    // Never throws.
    virtual void Open() = 0;
    // A hint that fileName is about to be opened and played: a player may open it ahead, out
    // of sight, so that an Open and Play of the same unchanged file then start at once.
    // Nothing the player reports changes: Open still ends in Opened or OpenFailed, and a file
    // that cannot play fails at that Open, not here.
    virtual void Prepare(const QString& fileName) { Q_UNUSED(fileName); }
    virtual bool isOpen() const = 0;
    virtual void Close() = 0;

    // The next command posts a completion notice when it completes.
    virtual void requestNotice() = 0;

    // Starts from the current position and returns at once; a paused player resumes and a
    // player at the end of its file starts again from the beginning. Never throws: when
    // playing cannot start the mode stays as it was and a Failure notice follows.
    virtual void Play() = 0;
    // A playing player pauses; a paused one resumes.
    virtual void Pause() = 0;
    // Returns once playing has stopped. The position stays where it stopped.
    virtual void Stop() = 0;
    // Back to position 0, keeping the mode: a playing player plays on from the start.
    virtual void Rewind() = 0;

    virtual MediaMode Mode() const = 0;
    // Milliseconds; 0 with nothing open. At the end of the file Position equals Length.
    virtual qint64 Length() const = 0;
    virtual qint64 Position() const = 0;
    // Milliseconds are the only time format; the call is kept for callers written for a
    // device that needed it.
    virtual void setTimeFormatMilliseconds() = 0;

    // The player's own level, a gain on the file's samples (1 plays the file as it is, up to
    // 1.5); the desktop's mixer neither sets nor mutes it. It holds from the next Open on, and
    // the file open now goes over to it within rampMs of its next sound.
    virtual void setLevel(double gain, int rampMs = 0) { Q_UNUSED(rampMs); m_level = gain; }
    double level() const { return m_level; }
    // The next Open's file rises from silence to the level over its first fadeInMs.
    virtual void setFadeIn(int fadeInMs) { m_fadeInMs = fadeInMs; }
    int fadeIn() const { return m_fadeInMs; }
    // The sound the output makes msFromNow from now is silence, reached by falling from the
    // level over fadeMs before it. The file open now only; Stop still ends the playing.
    virtual void fadeOut(qint64 msFromNow, qint64 fadeMs) { Q_UNUSED(msFromNow); Q_UNUSED(fadeMs); }
    // The next Play's first sound leaves the player at this moment of the wall clock (ms since
    // the epoch) rather than at once, so that players started one after another go out
    // together. A moment already past plays at once.
    virtual void setStartAt(qint64 wallMs) { Q_UNUSED(wallMs); }

    // Why the last Open failed.
    const MediaFailure& lastFailure() const { return m_lastFailure; }
    // False when the last opened file plays into no real audio output (no device, or the
    // platform fell back to a silent one); playing still keeps its time.
    virtual bool hasAudioOutput() const { return true; }

protected:
    double m_level = 1.0;
    int m_fadeInMs = 0;

    void setLastFailure(MediaFailure failure) { m_lastFailure = std::move(failure); }
    void deliverNotice(MediaNotice notice)
    {
        m_lastNotice = notice;
        if (m_noticeHandler)
            m_noticeHandler();
    }

private:
    NoticeHandler m_noticeHandler;
    MediaNotice m_lastNotice = MediaNotice::None;
    MediaFailure m_lastFailure;
};
