// What each bell leaves behind, over a school year's bells in a few minutes. Goal: under 1 KiB
// of resident memory and of heap per bell once the first hundred have played.
//
//   player  1,000 MP3 bells back to back through the real player on a fake sink that does not
//           wait for the clock: each prepared ahead, opened, played to its end and closed, as
//           playback does it.
//   window  the whole main window, its clock stepped from bell to bell: 1,000 bells from a day
//           of 100, so the day rolls over every 100 bells. Each bell is prepared in the half
//           second before and started by the due-time tick; after it a task is switched off
//           and on again in the list (the file written, the lists and the tray tooltip
//           refreshed). Every 10th bell the lists are loaded again from disk (the library
//           checks its files), and every 50th bell's file is missing (the failure box and the
//           play log). The background music loops on a player of its own all the while.
//   paths   each of those repeated paths alone, 1,000 times: a day's rollover, a pass of the
//           background music, the lists loaded again, a failure added to the open box, a play
//           log line, the tray tooltip after a list change, the library's check for missing
//           files, a bell prepared and never played.
//
// Prints, per part, the raw readings every 100 bells (or times), the readings after 100 and
// after 1,000, and the growth per bell between them. Resident memory is VmRSS; heap is what
// malloc has handed out and not had back (mallinfo2: arenas plus mmapped blocks). About 6 minutes.
//   bench_soak [player|window|paths] [bells, 1,000 unless given]
#include "app/FailureReport.h"
#include "app/Unit1.h"
#include "platform/AppDirectory.h"
#include "platform/Clock.h"
#include "platform/FailureBox.h"
#include "platform/GstMediaPlayer.h"
#include "library/MusicLibraryPage.h"
#include "schedule/TaskPlayback.h"
#include "storage/PlayLog.h"
#include "tasks/TaskListPage.h"
#include "tests/support/Fakes.h"
#include "tests/support/GstRun.h"
#include "tests/support/RecordingPlayer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>

#include <gst/gst.h>
#include <malloc.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace {

constexpr int kReadEvery = 100;
constexpr int kDayTasks = 100;
const QString kSink = QStringLiteral("fakesink sync=false");

struct Reading {
    int bell = 0;
    long rssKiB = 0;
    long heapKiB = 0;
};

long rssKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

long heapKiB()
{
    const struct mallinfo2 info = mallinfo2();
    return long((info.uordblks + info.hblkhd) / 1024);
}

Reading read(int bell)
{
    return {bell, rssKiB(), heapKiB()};
}

bool runEventsUntil(const std::function<bool()>& done, int ms)
{
    // Wakes the loop at least every 5 ms without spinning it.
    QTimer wake;
    wake.start(5);
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

void settle(int ms)
{
    runEventsUntil([] { return false; }, ms);
}

// unit: what is counted ("bell", or "repetition" for a path repeated on its own).
void report(const char* part, const char* unit, const std::vector<Reading>& readings, int failed,
            const QString& more)
{
    std::printf("%s: raw readings (%ss, VmRSS KiB, heap KiB):", part, unit);
    for (const Reading& r : readings)
        std::printf(" (%d, %ld, %ld)", r.bell, r.rssKiB, r.heapKiB);
    std::printf("\n");
    const Reading* first = nullptr;
    for (const Reading& r : readings)
        if (r.bell == kReadEvery)
            first = &r;
    const Reading& last = readings.back();
    if (first && last.bell > first->bell) {
        const double count = last.bell - first->bell;
        std::printf("%s: after %d: VmRSS %ld KiB, heap %ld KiB; after %d: VmRSS %ld KiB, heap %ld KiB\n",
                    part, first->bell, first->rssKiB, first->heapKiB, last.bell, last.rssKiB,
                    last.heapKiB);
        std::printf("%s: growth per %s after the first %d: VmRSS %.3f KiB, heap %.3f KiB"
                    " (goal < 1 KiB)\n",
                    part, unit, kReadEvery, (last.rssKiB - first->rssKiB) / count,
                    (last.heapKiB - first->heapKiB) / count);
    }
    std::printf("%s: %ss that did not go as expected: %d%s\n", part, unit, failed, qPrintable(more));
    std::fflush(stdout);
}

int soakPlayer(const QString& bell, int bells)
{
    GstMediaPlayer player(kSink);
    bool ended = false, failed = false;
    player.setNoticeHandler([&] {
        switch (player.lastNotice()) {
        case MediaNotice::Opened:
            player.Play();
            break;
        case MediaNotice::Successful:
            ended = true;
            break;
        case MediaNotice::OpenFailed:
        case MediaNotice::Failure:
            ended = failed = true;
            break;
        default:
            break;
        }
    });
    std::vector<Reading> readings{read(0)};
    int failures = 0;
    for (int i = 1; i <= bells; ++i) {
        player.Prepare(bell);
        settle(20); // the half second before the bell, shortened
        player.Close();
        player.setFileName(bell);
        ended = failed = false;
        player.Open();
        if (!runEventsUntil([&] { return ended; }, 5000) || failed)
            ++failures;
        if (i % kReadEvery == 0)
            readings.push_back(read(i));
    }
    report("player", "bell", readings, failures, QString());
    return failures == 0 ? 0 : 1;
}

class StepClock : public IClock {
public:
    QDateTime current;
    QDateTime now() const override { return current; }
};

void writeCrlf(const QString& path, const QString& text)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    QString crlf = text;
    crlf.replace(QLatin1String("\n"), QLatin1String("\r\n"));
    file.write(crlf.toLatin1()); // the keys and paths here are ASCII
}

QString taskKey(int slot)
{
    return QTime(8, 0).addSecs(slot * 60).toString(QStringLiteral("HH:mm:ss"));
}

bool playsMissingFile(int slot)
{
    return slot % 50 == 49;
}

// A school's day of 100 bells a minute apart from 08:00, every 50th playing a file that has
// gone, with background music, in the whole window as the program starts it.
struct School {
    StepClock clock;
    FakeMessageBoxes boxes;
    FakeDialogs dialogs;
    FakeShutdownRequest shutdown;
    FakeStartupRegistration startup;
    QtFailureBox failureBox;
    GstMediaPlayer mp1{kSink};
    RecordingPlayer background; // counts the music's passes
    std::unique_ptr<TfrmMain> w;

    School(const QString& dir, const QString& bell, const QString& backgroundSink)
        : background(backgroundSink)
    {
        background.recording = false;
        QFile::copy(bell, dir + QStringLiteral("/music.mp3"));
        QString tasks = QStringLiteral("[Time]\n");
        QString params = QStringLiteral("[TimeParams]\n");
        for (int slot = 0; slot < kDayTasks; ++slot) {
            tasks += taskKey(slot) + QStringLiteral("=1,1,%1\n").arg(playsMissingFile(slot) ? 2 : 1);
            params += taskKey(slot) + QStringLiteral("=1,1,1,0,,0,00:00:00\n");
        }
        writeCrlf(dir + QStringLiteral("/TimeMusicList.ini"),
                  tasks + params + QStringLiteral("[Music]\n1=") + bell + QStringLiteral("\n2=") +
                      dir + QStringLiteral("/gone.mp3\n"));
        // Shutdown and start with log-on stay off; besides, the shutdown request and the start-up
        // registration are fakes, and main() points XDG_CONFIG_HOME at a temporary folder.
        writeCrlf(dir + QStringLiteral("/Config.ini"),
                  QStringLiteral("[base]\nShotdown=0\nShotdownHint=0\nAutoStart=0\nIsBackgroup=1\n"
                                 "BackgroupMusicFile=") +
                      dir + QStringLiteral("/music.mp3\n"));
        clock.current = QDateTime(QDate(2027, 3, 1), QTime(7, 0));
        w = std::make_unique<TfrmMain>(Services{&clock, &boxes, &dialogs, &mp1, &background, true,
                                                &shutdown, &startup, &failureBox});
        w->show(); // as the program starts; failures wait for the window before they are shown
    }
    ~School() { w.reset(); }

    QAbstractItemModel& list() const { return *w->tsplaylist->lvMusicTime->model(); }

    // A task switched off and on again, as a click in the list does.
    void toggleTask(int i)
    {
        if (list().rowCount() == 0)
            return;
        const int row = i % list().rowCount();
        list().setData(list().index(row, 0), Qt::Unchecked, Qt::CheckStateRole);
        list().setData(list().index(row, 0), Qt::Checked, Qt::CheckStateRole);
    }

    // Bell i (from 1) of a run of 100-bell days: prepared, started, played to its end.
    bool ring(int i)
    {
        const int slot = (i - 1) % kDayTasks;
        const QDateTime due(QDate(2027, 3, 1).addDays((i - 1) / kDayTasks),
                            QTime::fromString(taskKey(slot), QStringLiteral("HH:mm:ss")));
        clock.current = due.addMSecs(-499);
        w->tmrMusicPlayTimer(); // prepares the coming bell
        clock.current = due.addMSecs(1);
        w->tmrMusicPlayTimer(); // starts it
        const bool started = w->playback->CurrentTaskKey() == taskKey(slot);
        // The cycle timer's second, shortened: it is what ends a task whose file has ended.
        const bool ended = runEventsUntil([&] {
            w->tmrCycleTimer();
            return w->playback->CurrentTaskKey().isEmpty();
        }, 5000);
        return ended && (started || playsMissingFile(slot));
    }
};

int soakWindow(const QString& dir, const QString& bell, int bells)
{
    // The music paced by the clock, as it plays at school.
    School school(dir, bell, QStringLiteral("fakesink sync=true"));
    std::vector<Reading> readings{read(0)};
    int failures = 0;
    for (int i = 1; i <= bells; ++i) {
        if (!school.ring(i))
            ++failures;
        school.toggleTask(i);
        if (i % 10 == 0)
            school.w->LoadLists();
        if (i % kReadEvery == 0)
            readings.push_back(read(i));
    }
    report("window", "bell", readings, failures,
           QStringLiteral("; background music passes: %1; message boxes: %2; failure box open: %3")
               .arg(school.background.plays)
               .arg(school.boxes.shown.size())
               .arg(school.failureBox.isOpen() ? "yes" : "no"));
    return failures == 0 ? 0 : 1;
}

// Each path a bell computer repeats for months, alone, as often as the bells: the growth it
// leaves per repetition.
int soakPaths(const QString& dir, const QString& bell, int times)
{
    // The music loops as fast as it decodes, so that it can be counted pass by pass.
    School school(dir, bell, kSink);
    PlayLog log(dir + QStringLiteral("/SoakLog.txt"));
    const QString other = dir + QStringLiteral("/other.mp3");
    QFile::copy(bell, other);
    int day = 0;
    const std::pair<const char*, std::function<bool(int)>> paths[] = {
        {"day rollover",
         [&](int) {
             const QDate date = QDate(2027, 3, 1).addDays(++day);
             school.clock.current = QDateTime(date.addDays(-1), QTime(23, 59, 59, 500));
             school.w->tmrMusicPlayTimer();
             school.w->tmrSystemTimer();
             school.clock.current = QDateTime(date, QTime(0, 0, 0, 1));
             school.w->tmrMusicPlayTimer();
             school.w->tmrSystemTimer();
             return true;
         }},
        {"background music pass",
         [&](int) {
             const qsizetype passes = school.background.plays;
             return runEventsUntil([&] { return school.background.plays > passes; }, 5000);
         }},
        {"task list refresh",
         [&](int) {
             school.w->LoadLists();
             return true;
         }},
        {"failure into the open box",
         [&](int i) {
             school.w->failures().report(QStringLiteral("第 %1 个错误").arg(i));
             return school.failureBox.isOpen();
         }},
        {"play log line",
         [&](int i) {
             log.Append(school.clock.current, taskKey(i % kDayTasks), bell, QStringLiteral("播放结束"));
             return true;
         }},
        {"tray tooltip after a list change",
         [&](int i) {
             school.toggleTask(i);
             school.w->tmrSystemTimer();
             return true;
         }},
        {"library check for missing files",
         [&](int) {
             school.w->tslib->LoadMusicLibrary();
             return true;
         }},
        // Prepared for a start that does not come (the task was edited meanwhile), and then
        // for another: the prepared file is let go again and again.
        {"a bell prepared and never played",
         [&](int i) {
             school.mp1.Prepare(i % 2 ? bell : other);
             settle(60); // prepared before the next: a bell's preparation comes once a second
             return true;
         }},
    };
    int status = 0;
    for (const auto& [name, step] : paths) {
        std::vector<Reading> readings{read(0)};
        int failures = 0;
        for (int i = 1; i <= times; ++i) {
            if (!step(i))
                ++failures;
            if (i % 20 == 0)
                QCoreApplication::processEvents();
            if (i % kReadEvery == 0)
                readings.push_back(read(i));
        }
        report(name, "repetition", readings, failures, QString());
        status |= failures == 0 ? 0 : 1;
    }
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir configHome; // the user's autostart folder stays out of reach
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome.path()));
    QApplication app(argc, argv);
    gst_init(nullptr, nullptr);
    const QString part = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const int bells = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 1000;
    if ((!part.isEmpty() && part != "player" && part != "window" && part != "paths")
        || bells < kReadEvery) {
        std::fprintf(stderr, "usage: bench_soak [player|window|paths] [bells, at least %d]\n",
                     kReadEvery);
        return 2;
    }
    QTemporaryDir dir;
    const QString bell = dir.path() + QStringLiteral("/bell.mp3");
    if (!WriteMp3Bell(bell, 100)) {
        std::fprintf(stderr, "cannot encode the MP3 bell (GStreamer's lamemp3enc)\n");
        return 1;
    }
    SetApplicationDirectoryOverride(dir.path() + QLatin1Char('/'));
    int status = 0;
    if (part.isEmpty() || part == "player")
        status |= soakPlayer(bell, bells);
    if (part.isEmpty() || part == "window")
        status |= soakWindow(dir.path(), bell, bells);
    if (part.isEmpty() || part == "paths")
        status |= soakPaths(dir.path(), bell, bells);
    return status;
}
