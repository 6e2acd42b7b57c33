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
    Open = 6, // never reported: an opened player reads Stopped
};

// How the command a completion notice reports on ended.
enum class MediaNotice {
    None,       // no notice delivered yet
    Successful, // the command completed; for Play: the file played to its end
    Superseded, // a Play was replaced by another Play
    Aborted,    // a Play was ended by Stop, Close or Open
    Failure,    // a Play could not start or broke off with a stream error
};

// Plays one sound file at a time. Every call comes from the user-interface thread.
//
// Completion notices reach the handler on that thread through its event loop, never from
// inside the command that caused them. A Play always asks for one; any other command asks
// only after requestNotice(). A command with nothing open does nothing and posts nothing.
// While a Play's notice is outstanding, Pause, resume and Rewind leave it outstanding.
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

    // Opens the file, closing any open one first; the player is then Stopped at position 0.
    // Throws MediaError with the decoder's message when the file cannot be played; the
    // player is then not open.
    virtual void Open() = 0;
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

protected:
    void deliverNotice(MediaNotice notice)
    {
        m_lastNotice = notice;
        if (m_noticeHandler)
            m_noticeHandler();
    }

private:
    NoticeHandler m_noticeHandler;
    MediaNotice m_lastNotice = MediaNotice::None;
};
