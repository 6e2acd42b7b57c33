#include "schedule/TaskPlayback.h"

#include "library/AudioFileFilter.h"
#include "library/FileSearch.h"
#include "platform/Clock.h"
#include "platform/Errors.h"
#include "platform/LoggedText.h"
#include "storage/TaskEntry.h"
#include "storage/TaskFile.h"
#include "storage/TimeText.h"

#include <QDir>
#include <QRandomGenerator>
#include <utility>
#include <optional>
#include <QTimeZone>

namespace {

constexpr int kDaySeconds = 24 * 60 * 60;
// A task stopped by its end time without a fade of its own still falls off over this much,
// so that it ends at the time, not at the tick after it, and without a click.
constexpr qint64 kEndRampMs = 30;
// The fade is laid on the playing file this long before it begins: more than a tick.
constexpr qint64 kAimAheadMs = 2500;

qint64 secondsOfDay(const QString& text)
{
    return ParseTimeText(text).msecsSinceStartOfDay() / 1000;
}

QString timeOfDayText(qint64 seconds)
{
    return FormatTimeText(QTime(0, 0).addSecs(seconds % kDaySeconds));
}

int numberAt(const TaskEntryFields& task, ParamField field)
{
    if (!task.HasParam(field))
        throw ListIndexError(QCoreApplication::translate("TaskPlayback", "缺少第 %1 项").arg(int(field) + 1));
    return task.Number(field);
}

} // namespace

EffectiveEnd ComputeEffectiveEnd(const QString& startTime, const QString& endTime, int playLength)
{
    const qint64 s = secondsOfDay(startTime);
    const qint64 e = secondsOfDay(endTime);
    const qint64 l = playLength;
    EffectiveEnd end;
    if (l > 0 && (e == 0 || s > e || s + l < e)) {
        // Midnight means no end time, so the limit alone decides, also for a task at 00:00:00;
        // the limit counts from the scheduled start and may carry the task past midnight.
        end.active = true;
        end.endSeconds = s + l;
    } else if (e != 0 && s <= e) {
        end.active = true;
        end.endSeconds = e;
    }
    // Otherwise neither ends the task: no end time and no limit, or an end time before the
    // start with no limit to replace it.
    if (end.active)
        end.endTime = timeOfDayText(end.endSeconds);
    return end;
}

TaskPlayback::TaskPlayback(IMediaPlayer& mp1, const IClock& clock, ITaskPlaybackView& view,
                           ProgramData& data)
    : m_mp1(mp1),
      m_clock(clock),
      m_view(view),
      m_data(data),
      m_choose([](int count) { return static_cast<int>(QRandomGenerator::global()->bounded(count)); })
{
    m_rec.PlayList = &m_playList;
    m_rec.MusicFiles = &m_musicFiles;
    m_mp1.setNoticeHandler([this] { mp1Notify(); });
    m_endTimer.setSingleShot(true);
    m_endTimer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_endTimer, &QTimer::timeout, [this] {
        if (m_rec.EndTimeActive && !m_currentTaskKey.isEmpty())
            tmrCycleTimer();
    });
    // The master volume turned while a task sounds: heard at once, and the fade to its end
    // laid again from the new level.
    QObject::connect(&m_data, &ProgramData::changed, &m_endTimer, [this] {
        const double gain = gainFor(m_sound);
        if (!m_isSounding || gain == m_mp1.level())
            return;
        m_mp1.setLevel(gain, 100);
        m_endAimed = false;
        aimEnd();
    });
}

double TaskPlayback::TaskGain(int masterPercent, const TaskSound& sound)
{
    return masterPercent / 100.0 * sound.volume / 100.0;
}

double TaskPlayback::gainFor(const TaskSound& sound) const
{
    const Settings& s = m_data.settings();
    // This computer's device switched off in favour of the zones: it plays on, silent, so that
    // the task keeps its course.
    if (!m_follower && s.broadcast.localDeviceSilent())
        return 0;
    return TaskGain(s.taskVolume, sound);
}

// The level and fade-in of the task's first file, and the background goes down beneath it.
void TaskPlayback::startSound(const TaskSound& sound)
{
    m_sound = sound;
    m_mp1.setLevel(gainFor(sound));
    m_mp1.setFadeIn(sound.fadeIn * 1000);
    m_endTimer.stop();
    if (m_endDeadline.isValid())
        m_endTimer.start(int(qBound<qint64>(0, m_clock.now().msecsTo(m_endDeadline) + 5, 24LL * 3600 * 1000)));
}

// Taken before the new start changes the record, written after its Play: the log's file write
// must not delay the bell.
std::function<void()> TaskPlayback::endOfReplaced()
{
    if (!std::exchange(m_endOwed, false) || !m_journal)
        return [] {};
    const QString event = m_mp1.Mode() == MediaMode::Playing || m_mp1.Mode() == MediaMode::Paused
        ? QStringLiteral("播放中断：下一个任务开始")
        : QStringLiteral("播放结束");
    return [journal = m_journal, key = m_rec.StartTime, file = m_currentPath, event] { journal(key, file, event); };
}

void TaskPlayback::setSoundingState(bool sounding)
{
    if (sounding == m_isSounding)
        return;
    m_isSounding = sounding;
    if (m_sounding)
        m_sounding(sounding);
}

// Near the end time, the playing file is told to fall silent exactly then.
void TaskPlayback::aimEnd()
{
    if (!m_rec.EndTimeActive || m_endAimed || m_currentTaskKey.isEmpty() || !m_endDeadline.isValid())
        return;
    const qint64 fade = qMax<qint64>(qint64(m_sound.fadeOut) * 1000, kEndRampMs);
    const qint64 left = m_clock.now().msecsTo(m_endDeadline);
    if (left > fade + kAimAheadMs)
        return;
    m_endAimed = true;
    m_mp1.fadeOut(qMax<qint64>(left, 0), fade);
}

bool TaskPlayback::lastFileOfTask() const
{
    return m_rec.PassFinished && m_rec.LoopsDone + 1 >= m_rec.LoopCount;
}

TaskPlayback::~TaskPlayback()
{
    // The player outlives the window; its notices must not reach a playback that is gone.
    m_mp1.setNoticeHandler({});
}

QDateTime TaskPlayback::deadlineFor(const QString& startTime, const EffectiveEnd& end) const
{
    const QDateTime now = m_clock.now();
    QDate day = now.date();
    if (end.endSeconds >= kDaySeconds) {
        // Past midnight the task belongs to yesterday's start as long as its end has not come.
        const qint64 nowSeconds = now.time().msecsSinceStartOfDay() / 1000;
        if (nowSeconds < secondsOfDay(startTime) && nowSeconds <= end.endSeconds - kDaySeconds)
            day = day.addDays(-1);
    }
    return QDateTime(day, QTime(0, 0), now.timeZone()).addSecs(end.endSeconds);
}

std::optional<TaskPlayback::Plan> TaskPlayback::planTask(const QString& startTime,
                                                        bool listFolder)
{
    // Neither flag counts here: Play starts a disabled task too.
    const Task* found = m_data.timetable().find(startTime);
    if (!found || found->fields().ParamCount() == 0)
        return std::nullopt;
    const TaskEntryFields& task = found->fields();
    QStringList keys = task.Entry.MusicKeys;

    // The new task is worked out in full before it replaces the playing one, so a task that
    // cannot start leaves the playing task as it was.
    TCurPlayRecord rec;
    rec.StartTime = startTime;
    EffectiveEnd end;
    try {
        rec.LoopCount = numberAt(task, LoopCountField);
        rec.SourceType = numberAt(task, SourceTypeField);
        rec.PlayMode = numberAt(task, PlayModeField);
        rec.DateType = numberAt(task, DateTypeField);
        // An older file's six fields hold no end time, and their limit is not read either.
        if (task.ParamCount() >= 7) {
            rec.PlayLength = task.Number(PlayLengthField);
            end = ComputeEffectiveEnd(startTime, task.Entry.EndTime, rec.PlayLength);
        }
    } catch (const ConversionError& e) {
        throw ConversionError(TaskLineMessage(TimeParamsSection, startTime, e.message()));
    } catch (const ListIndexError& e) {
        throw ListIndexError(TaskLineMessage(TimeParamsSection, startTime, e.message()));
    }
    rec.PassFinished = true;
    rec.EndTime = end.endTime;
    rec.EndTimeActive = end.active;

    QStringList files;
    if (rec.SourceType == 2) {
        if (!listFolder)
            return std::nullopt;
        SearchFiles(NameValue(m_data.LibraryList(), keys.value(0)), MusicExtensions, files);
        // An empty directory leaves no key: the start logs that nothing was played.
        keys.clear();
        for (const QString& f : files)
            keys << LineName(f);
    } else {
        files = m_data.LibraryList();
    }
    return Plan{rec, end, keys, files};
}

void TaskPlayback::PrepareTask(const QString& startTime)
{
    std::optional<Plan> plan;
    try {
        plan = planTask(startTime, false);
    } catch (const AppError&) {
        return; // the start says what is wrong
    }
    // In random order the first file is drawn at the start.
    if (!plan || plan->rec.LoopCount <= 0 || plan->keys.isEmpty()
        || (plan->rec.PlayMode != 1 && plan->keys.size() != 1))
        return;
    m_mp1.Prepare(NameValue(plan->files, plan->keys.front()));
}

void TaskPlayback::StartTask(const QString& startTime)
{
    const std::optional<Plan> plan = planTask(startTime, true);
    // A task that would play nothing leaves the window and any playing task as they are; the
    // log says why it stayed silent.
    QString silent;
    if (!plan)
        silent = QStringLiteral("未播放：该任务没有播放参数");
    else if (plan->rec.LoopCount <= 0)
        silent = QStringLiteral("未播放：循环次数为 0");
    else if (plan->keys.isEmpty())
        silent = plan->rec.SourceType == 2 ? QStringLiteral("未播放：目录中没有音乐文件")
                                           : QStringLiteral("未播放：没有歌曲铃声");
    if (!silent.isEmpty()) {
        if (m_journal)
            m_journal(startTime, QString(), silent);
        // A once-only task has had its turn all the same.
        if (plan && plan->rec.DateType == 4 && !m_follower) {
            m_data.startOnceOnly(startTime);
            m_data.endLeaving(startTime);
        }
        return;
    }
    m_view.setStatusText(tr("时间到了，进入播放"));
    const std::function<void()> logReplaced = endOfReplaced();
    TCurPlayRecord rec = plan->rec;
    const EffectiveEnd& end = plan->end;
    rec.PlayList = &m_playList;
    rec.MusicFiles = &m_musicFiles;
    m_rec = rec;
    m_musicKeys = plan->keys;
    m_musicFiles = plan->files;
    m_playList.clear();
    m_endDeadline = end.active ? deadlineFor(startTime, end) : QDateTime();
    m_currentTaskKey = startTime;
    m_view.currentTaskChanged();

    const Task* task = m_data.timetable().find(startTime);
    startSound(task ? task->sound() : TaskSound{});
    StartPass();
    setSoundingState(true);
    logReplaced();
    // A once-only task leaves the timetable as it starts; its row stays until it ends. The
    // timetable and the file change after the bell has been told to play, so neither delays it.
    if (rec.DateType == 4 && !m_follower)
        m_data.startOnceOnly(startTime);
}

void TaskPlayback::RingNow(const QString& musicKey)
{
    const QString path = NameValue(m_data.LibraryList(), musicKey);
    TCurPlayRecord rec;
    rec.StartTime = RingNowKey;
    rec.LoopCount = 1;
    rec.PlayMode = 1;
    rec.SourceType = path.endsWith(QDir::separator()) ? 2 : 1;
    QStringList keys{musicKey};
    QStringList files = m_data.LibraryList();
    if (rec.SourceType == 2) {
        files.clear();
        SearchFiles(path, MusicExtensions, files);
        keys.clear();
        for (const QString& f : files)
            keys << LineName(f);
    }
    LoggedText silent;
    if (path.isEmpty())
        silent = LoggedText::of("TaskPlayback", QT_TRANSLATE_NOOP("TaskPlayback", "未播放：音频库中没有编号 %1"))
                     .arg(musicKey);
    else if (keys.isEmpty())
        silent = LoggedText::of("TaskPlayback", QT_TRANSLATE_NOOP("TaskPlayback", "未播放：目录中没有音乐文件"));
    if (!silent.isEmpty()) {
        if (m_journal)
            m_journal(RingNowKey, path, silent.logged);
        // Someone is there: the box tells them at once, the playing task plays on.
        throw InputError(path.isEmpty() ? silent.shown : tr("%1（%2）").arg(silent.shown, path));
    }
    // A once-only task cut short has had its turn: its row goes now, not at a restart.
    if (!m_currentTaskKey.isEmpty() && m_rec.DateType == 4 && !m_follower)
        m_data.endLeaving(m_rec.StartTime);
    const std::function<void()> logReplaced = endOfReplaced();
    rec.PlayList = &m_playList;
    rec.MusicFiles = &m_musicFiles;
    m_rec = rec;
    m_musicKeys = keys;
    m_musicFiles = files;
    m_playList.clear();
    m_endDeadline = QDateTime();
    // No row of the list is playing.
    m_currentTaskKey.clear();
    m_view.currentTaskChanged();
    startSound(TaskSound{});
    StartPass();
    setSoundingState(true);
    logReplaced();
}

void TaskPlayback::StartPass()
{
    if (m_rec.LoopsDone >= m_rec.LoopCount)
        return;
    m_playList = m_musicKeys;
    m_passPlayedAny = false;
    PlayNext();
}

void TaskPlayback::PlayNext()
{
    if (m_mp1.isOpen() && m_mp1.Mode() == MediaMode::Playing)
        m_mp1.Stop();
    m_mp1.requestNotice();
    m_mp1.Close();
    if (m_playList.isEmpty())
        return;

    const int i = m_rec.PlayMode == 1 ? 0 : m_choose(static_cast<int>(m_playList.size()));
    const QString path = NameValue(m_musicFiles, m_playList[i]);
    const QString status = tr("正在播放%1").arg(path);
    m_view.setStatusText(status);
    m_view.setStatusHint(status);

    // Opening goes on behind the player; the notice says how it went (fileOpened, fileFailed).
    m_currentPath = path;
    m_openFailed = false;
    m_endAimed = false;
    m_mp1.setFileName(path);
    m_mp1.Open();
    m_mp1.Play();
    aimEnd();
    UpdatePlayButtons(m_mp1.Mode());
    m_view.setProgressMaximum(PlayerSeconds(m_mp1.Length()));
    m_playList.removeAt(i);
    m_rec.PassFinished = m_playList.isEmpty();
    m_view.setCycleTimerEnabled(true);
}

void TaskPlayback::fileOpened()
{
    m_passPlayedAny = true;
    m_view.setProgressMaximum(PlayerSeconds(m_mp1.Length()));
    journal(m_currentPath, QStringLiteral("开始播放"));
    m_endOwed = true;
    if (!m_mp1.hasAudioOutput()) {
        // Playing goes on in time, so the task's end and its next files come as they should.
        m_view.setStatusText(tr(NoAudioOutputSource));
        journal(m_currentPath, NoAudioOutputText);
    }
}

void TaskPlayback::fileFailed()
{
    // A file that cannot be played must not silence the rest of the task: it counts as
    // played, and the next tick goes on with the next file.
    m_openFailed = true;
    m_view.setStatusText(tr("无法播放%1").arg(m_currentPath));
    const MediaFailure& why = m_mp1.lastFailure();
    journal(m_currentPath, QStringLiteral("播放失败：") + why.logText());
    m_view.showFailure(tr("无法播放%1：%2").arg(m_currentPath, why.text()));
}

void TaskPlayback::journal(const QString& file, const QString& event) const
{
    if (m_journal)
        m_journal(m_rec.StartTime, file, event);
}

void TaskPlayback::tmrCycleTimer()
{
    aimEnd();
    m_view.setProgressPosition(PlayerSeconds(m_mp1.Position()));
    if (m_rec.EndTimeActive && m_clock.now() > m_endDeadline) {
        m_view.setCycleTimerEnabled(false);
        m_rec.PassFinished = true;
        m_view.setProgressPosition(PlayerSeconds(m_mp1.Position()));
        m_rec.LoopsDone = m_rec.LoopCount;
        m_mp1.Stop();
    }
    if (!m_openFailed && m_mp1.Mode() != MediaMode::Stopped)
        return;

    UpdatePlayButtons(MediaMode::Stopped);
    // After a failed file the panel keeps saying which file could not be played.
    if (!m_openFailed) {
        m_passPlayedAny = true;
        m_view.setStatusText(QString());
        journal(m_currentPath, QStringLiteral("播放结束"));
        m_endOwed = false;
    }
    if (!m_rec.PassFinished) {
        m_view.setCycleTimerEnabled(false);
        PlayNext();
        return;
    }
    ++m_rec.LoopsDone;
    // Another pass over files that all failed would only fail again.
    if (!m_passPlayedAny)
        m_rec.LoopsDone = m_rec.LoopCount;
    m_view.setCycleTimerEnabled(false);
    if (m_rec.LoopsDone >= m_rec.LoopCount) {
        setSoundingState(false);
        m_endTimer.stop();
        m_currentTaskKey.clear();
        if (m_rec.DateType == 4 && !m_follower)
            m_data.endLeaving(m_rec.StartTime);
        m_view.currentTaskChanged();
    }
    StartPass();
}

bool TaskPlayback::playerHasFile() const
{
    return !m_mp1.fileName().isEmpty();
}

void TaskPlayback::btnPlayClick(const QString& selectedTask)
{
    // A player that failed to open counts as stopped: Play then starts the selected task.
    if (!playerHasFile() || !m_mp1.isOpen() || m_mp1.Mode() == MediaMode::Stopped) {
        if (!selectedTask.isEmpty())
            StartTask(selectedTask);
        return;
    }
    m_mp1.Play();
    UpdatePlayButtons(m_mp1.Mode());
}

void TaskPlayback::btnPasueClick()
{
    if (!playerHasFile() || m_mp1.Mode() != MediaMode::Playing)
        return;
    m_mp1.Pause();
    UpdatePlayButtons(m_mp1.Mode());
}

void TaskPlayback::btnStopClick()
{
    // Stop also ends a task that is going through files that fail to open.
    if (!playerHasFile() || (m_mp1.Mode() != MediaMode::Playing && !m_openFailed))
        return;
    m_rec.PassFinished = true;
    m_rec.LoopsDone = m_rec.LoopCount;
    m_mp1.Stop();
    UpdatePlayButtons(m_mp1.Mode());
}

void TaskPlayback::btnChangeMusicClick()
{
    if (!playerHasFile() || m_mp1.Mode() != MediaMode::Playing)
        return;
    m_mp1.Stop();
    UpdatePlayButtons(m_mp1.Mode());
}

void TaskPlayback::mp1Notify()
{
    if (m_mp1.lastNotice() == MediaNotice::Opened)
        fileOpened();
    else if (m_mp1.lastNotice() == MediaNotice::OpenFailed)
        fileFailed();
    // The task's last sound is over: the background comes back now, not at the next tick.
    else if (m_mp1.lastNotice() == MediaNotice::Successful && m_mp1.Mode() == MediaMode::Stopped
             && lastFileOfTask())
        setSoundingState(false);
    UpdatePlayButtons(m_mp1.Mode());
}

void TaskPlayback::UpdatePlayButtons(MediaMode mode)
{
    if (mode == MediaMode::Stopped || mode == MediaMode::Paused)
        m_view.setPlayButtons(false);
    else if (mode == MediaMode::Playing)
        m_view.setPlayButtons(true);
}

int TaskPlayback::PlayerSeconds(qint64 milliseconds)
{
    if (m_mp1.Mode() == MediaMode::Playing)
        m_mp1.setTimeFormatMilliseconds();
    // Paused or stopped players report their position too; the bar shows it.
    return static_cast<int>(milliseconds / 1000);
}
