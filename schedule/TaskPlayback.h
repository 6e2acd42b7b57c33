#pragma once
// Playing one task at a time: its passes over its music, its end time and the four playback
// buttons. No widget in here; the main window shows the state through ITaskPlaybackView.
#include "platform/MediaPlayer.h"
#include "storage/ProgramData.h"
#include "storage/TaskSound.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <optional>

class IClock;

struct TCurPlayRecord {
    QString StartTime;
    qint32 LoopCount = 0;
    qint32 SourceType = 0;
    qint32 PlayMode = 0;
    QStringList* PlayList = nullptr;
    QStringList* MusicFiles = nullptr;
    qint32 LoopsDone = 0;
    bool PassFinished = true;
    qint32 DateType = 0;
    QString EndTime;
    qint32 PlayLength = 0;
    bool EndTimeActive = false;
};

// The effective end of a task: the earlier of its end time and its start plus its limit.
// endSeconds counts from midnight of the start's day and may pass 86,399 when the limit
// carries the task past midnight; EndTime is its time of day.
struct EffectiveEnd {
    bool active = false;
    QString endTime = QStringLiteral("00:00:00");
    qint64 endSeconds = 0; // wide enough for any limit a hand-edited file holds
};
EffectiveEnd ComputeEffectiveEnd(const QString& startTime, const QString& endTime, int playLength);

// What playback shows; the main window implements it.
class ITaskPlaybackView {
public:
    virtual ~ITaskPlaybackView() = default;
    virtual void setStatusText(const QString& text) = 0; // status panel 1
    virtual void setStatusHint(const QString& text) = 0;
    virtual void setProgressMaximum(int seconds) = 0;
    virtual void setProgressPosition(int seconds) = 0;
    // Playing: Play off, Pause, Skip and Stop on; stopped or paused: the reverse.
    virtual void setPlayButtons(bool playing) = 0;
    virtual void setCycleTimerEnabled(bool enabled) = 0;
    // The current task changed: the list repaints its green row.
    virtual void currentTaskChanged() = 0;
    // A failure of an unattended start: shown without holding playback, and logged.
    virtual void showFailure(const QString& message) = 0;
};

// What happened to a task, one line of the play log: the task's key, the file, the event.
using PlayJournal = std::function<void(const QString& taskKey, const QString& file,
                                       const QString& event)>;

// The play log's event when a file plays into no audio output (zones watch the log for it);
// the status panel shows it translated.
inline const char* const NoAudioOutputSource = QT_TRANSLATE_NOOP("TaskPlayback", "没有可用的音频输出设备");
inline const QString NoAudioOutputText = QString::fromUtf8(NoAudioOutputSource);
// The play log's task column for a bell rung by hand.
inline const QString RingNowKey = QStringLiteral("手动响铃");

class TaskPlayback {
    Q_DECLARE_TR_FUNCTIONS(TaskPlayback)

public:
    // The tasks and the library come from data; a once-only task leaves it as it starts.
    TaskPlayback(IMediaPlayer& mp1, const IClock& clock, ITaskPlaybackView& view, ProgramData& data);
    ~TaskPlayback();
    TaskPlayback(const TaskPlayback&) = delete;
    TaskPlayback& operator=(const TaskPlayback&) = delete;

    void StartTask(const QString& startTime);
    // Rings one library entry at once, by hand: its file, or a folder's files in order, one
    // pass, replacing the playing task as a task that falls due does. Raises InputError, after
    // logging it, when there is nothing to play.
    void RingNow(const QString& musicKey);
    // Ahead of a start: the task's first file, when it is known before the start (in order, or
    // the only one; not a folder's), is handed to the player to make ready. Changes nothing here.
    void PrepareTask(const QString& startTime);
    void StartPass();
    void PlayNext();
    void tmrCycleTimer();

    // selectedTask: caption of the selected row of the task list, empty when none is selected.
    void btnPlayClick(const QString& selectedTask);
    void btnPasueClick();
    void btnStopClick();
    void btnChangeMusicClick();
    void mp1Notify();
    void UpdatePlayButtons(MediaMode mode);
    int PlayerSeconds(qint64 milliseconds);

    const QString& CurrentTaskKey() const { return m_currentTaskKey; }
    const TCurPlayRecord& record() const { return m_rec; }
    const QStringList& PlayList() const { return m_playList; }
    // The current task's music keys in play order, one pass.
    const QStringList& MusicKeys() const { return m_musicKeys; }
    const QStringList& MusicFiles() const { return m_musicFiles; }
    // The moment the end time passes, when it is enforced.
    const QDateTime& endDeadline() const { return m_endDeadline; }

    // Picks the index of the next file in random mode; tests make the order known.
    void setRandomChooser(std::function<int(int count)> chooser) { m_choose = std::move(chooser); }
    void setJournal(PlayJournal journal) { m_journal = std::move(journal); }
    // Told true as a task begins to sound and false as it ends: the background music goes
    // down beneath it. The start of the task never waits for it.
    void setSounding(std::function<void(bool)> sounding) { m_sounding = std::move(sounding); }
    // A playback that plays the tasks along with another one (into other buildings) leaves the
    // timetable to that one: a once-only task is taken out by it alone.
    void setFollower(bool follower) { m_follower = follower; }
    // The gain the task player is given for a task of this sound at the master volume.
    static double TaskGain(int masterPercent, const TaskSound& sound);

private:
    // What the task's lines say it plays, worked out in full before anything changes.
    struct Plan {
        TCurPlayRecord rec;
        EffectiveEnd end;
        QStringList keys;  // music keys in play order
        QStringList files; // "key=path" lines the keys name
    };
    std::optional<Plan> planTask(const QString& startTime, bool listFolder);
    bool playerHasFile() const;
    QDateTime deadlineFor(const QString& startTime, const EffectiveEnd& end) const;
    void fileOpened();
    void fileFailed();
    void journal(const QString& file, const QString& event) const;
    void startSound(const TaskSound& sound);
    double gainFor(const TaskSound& sound) const;
    // The play log's line for the file a new start takes over from, while it can still be told.
    std::function<void()> endOfReplaced();
    void setSoundingState(bool sounding);
    void aimEnd();
    bool lastFileOfTask() const;

    IMediaPlayer& m_mp1;
    const IClock& m_clock;
    ITaskPlaybackView& m_view;
    ProgramData& m_data;
    QStringList m_musicKeys;

    TCurPlayRecord m_rec;
    QStringList m_playList;
    QStringList m_musicFiles;
    QString m_currentTaskKey;
    QDateTime m_endDeadline;
    std::function<int(int)> m_choose;
    PlayJournal m_journal;
    QString m_currentPath; // the file last given to the player
    // The last Open failed: the tick goes on to the next file as if this one had ended.
    bool m_openFailed = false;
    // Whether a file of the current pass opened; a pass of nothing but failures ends the task.
    bool m_passPlayedAny = false;
    std::function<void(bool)> m_sounding;
    bool m_isSounding = false;
    // The file playing has its "开始播放" in the log and not yet its end.
    bool m_endOwed = false;
    TaskSound m_sound;
    // The fade to the end time is laid on the file playing now.
    bool m_endAimed = false;
    // Fires at the end time, so that the task stops then rather than at the next tick.
    QTimer m_endTimer;
    bool m_follower = false;
};
