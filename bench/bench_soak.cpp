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
//
// Prints, per part, the raw readings every 100 bells, the readings after bell 100 and bell
// 1,000, and the growth per bell between them. Resident memory is VmRSS; heap is what malloc
// has handed out and not had back (mallinfo2: arenas plus mmapped blocks).
//   bench_soak [player|window] [bells]
#include "app/Unit1.h"
#include "platform/AppDirectory.h"
#include "platform/Clock.h"
#include "platform/FailureBox.h"
#include "platform/GstMediaPlayer.h"
#include "schedule/TaskPlayback.h"
#include "tasks/TaskListPage.h"
#include "tests/support/Fakes.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

#include <gst/gst.h>
#include <malloc.h>

#include <cstdio>
#include <functional>
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

bool runPipeline(const char* description)
{
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(description, &error);
    if (error) {
        g_error_free(error);
        if (pipeline)
            gst_object_unref(pipeline);
        return false;
    }
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* message = gst_bus_timed_pop_filtered(
        bus, 10 * GST_SECOND, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    const bool ok = message && GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS;
    if (message)
        gst_message_unref(message);
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return ok;
}

// A 100 ms bell tone as MP3: the output keeps time once the first sound is out.
bool writeBell(const QString& path)
{
    const QByteArray description =
        QStringLiteral("audiotestsrc wave=sine freq=880 num-buffers=10 samplesperbuffer=441"
                       " ! audio/x-raw,rate=44100,channels=2"
                       " ! lamemp3enc target=bitrate bitrate=128 cbr=true ! filesink location=\"%1\"")
            .arg(path)
            .toUtf8();
    return runPipeline(description.constData());
}

void report(const char* part, const std::vector<Reading>& readings, int failed, const QString& more)
{
    std::printf("%s: raw readings (bell, VmRSS KiB, heap KiB):", part);
    for (const Reading& r : readings)
        std::printf(" (%d, %ld, %ld)", r.bell, r.rssKiB, r.heapKiB);
    std::printf("\n");
    const Reading* first = nullptr;
    for (const Reading& r : readings)
        if (r.bell == kReadEvery)
            first = &r;
    const Reading& last = readings.back();
    if (first && last.bell > first->bell) {
        const double bells = last.bell - first->bell;
        std::printf("%s: after bell %d: VmRSS %ld KiB, heap %ld KiB; after bell %d: VmRSS %ld KiB,"
                    " heap %ld KiB\n",
                    part, first->bell, first->rssKiB, first->heapKiB, last.bell, last.rssKiB,
                    last.heapKiB);
        std::printf("%s: growth per bell after the first %d: VmRSS %.3f KiB, heap %.3f KiB"
                    " (goal < 1 KiB)\n",
                    part, kReadEvery, (last.rssKiB - first->rssKiB) / bells,
                    (last.heapKiB - first->heapKiB) / bells);
    }
    std::printf("%s: bells that did not end as expected: %d%s\n", part, failed,
                qPrintable(more));
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
    report("player", readings, failures, QString());
    return failures == 0 ? 0 : 1;
}

class StepClock : public IClock {
public:
    QDateTime current;
    QDateTime now() const override { return current; }
};

// Counts the background music's passes; the real player underneath.
class LoopCounter : public IMediaPlayer {
public:
    int plays = 0;
    LoopCounter() { m_inner.setNoticeHandler([this] { deliverNotice(m_inner.lastNotice()); }); }
    void setFileName(const QString& f) override { m_inner.setFileName(f); }
    QString fileName() const override { return m_inner.fileName(); }
    void Open() override { m_inner.Open(); }
    bool isOpen() const override { return m_inner.isOpen(); }
    void Close() override { m_inner.Close(); }
    void requestNotice() override { m_inner.requestNotice(); }
    void Play() override
    {
        ++plays;
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
    // Paced by the clock, as a loop of the music is.
    GstMediaPlayer m_inner{QStringLiteral("fakesink sync=true")};
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

int soakWindow(const QString& dir, const QString& bell, int bells)
{
    QFile::copy(bell, dir + QStringLiteral("/music.mp3"));
    QString tasks = QStringLiteral("[Time]\n");
    QString params = QStringLiteral("[TimeParams]\n");
    for (int slot = 0; slot < kDayTasks; ++slot) {
        // Every 50th task plays a file that has gone.
        const int music = slot % 50 == 49 ? 2 : 1;
        tasks += taskKey(slot) + QStringLiteral("=1,1,%1\n").arg(music);
        params += taskKey(slot) + QStringLiteral("=1,1,1,0,,0,00:00:00\n");
    }
    writeCrlf(dir + QStringLiteral("/TimeMusicList.ini"),
                 tasks + params + QStringLiteral("[Music]\n1=") + bell + QStringLiteral("\n2=") + dir +
                     QStringLiteral("/gone.mp3\n"));
    // Never the machine's shutdown or the user's autostart folder.
    writeCrlf(dir + QStringLiteral("/Config.ini"),
                 QStringLiteral("[base]\nShotdown=0\nShotdownHint=0\nAutoStart=0\nIsBackgroup=1\n"
                                "BackgroupMusicFile=") +
                     dir + QStringLiteral("/music.mp3\n"));

    StepClock clock;
    clock.current = QDateTime(QDate(2027, 3, 1), QTime(7, 0));
    FakeMessageBoxes boxes;
    FakeDialogs dialogs;
    FakeShutdownRequest shutdown;
    FakeStartupRegistration startup;
    QtFailureBox failureBox;
    GstMediaPlayer mp1(kSink);
    LoopCounter background;
    TfrmMain w(Services{&clock, &boxes, &dialogs, &mp1, &background, true, &shutdown, &startup,
                        &failureBox});
    QTreeWidget& list = *w.tsplaylist->lvMusicTime;

    std::vector<Reading> readings{read(0)};
    int failures = 0;
    for (int i = 1; i <= bells; ++i) {
        const int slot = (i - 1) % kDayTasks;
        const QDateTime due(QDate(2027, 3, 1).addDays((i - 1) / kDayTasks),
                            QTime::fromString(taskKey(slot), QStringLiteral("HH:mm:ss")));
        clock.current = due.addMSecs(-499);
        w.tmrMusicPlayTimer(); // prepares the coming bell
        clock.current = due.addMSecs(1);
        w.tmrMusicPlayTimer(); // starts it
        const bool started = w.playback->CurrentTaskKey() == taskKey(slot);
        // The cycle timer's second, shortened: it is what ends a task whose file has ended.
        const bool ended = runEventsUntil([&] {
            w.tmrCycleTimer();
            return w.playback->CurrentTaskKey().isEmpty();
        }, 5000);
        if (!ended || (!started && slot % 50 != 49))
            ++failures;
        // A task switched off and on again, as a click in the list does.
        if (QTreeWidgetItem* row = list.topLevelItem(i % list.topLevelItemCount())) {
            row->setCheckState(0, Qt::Unchecked);
            row->setCheckState(0, Qt::Checked);
        }
        if (i % 10 == 0)
            w.LoadLists();
        if (i % kReadEvery == 0)
            readings.push_back(read(i));
    }
    const int shown = boxes.shown.size();
    report("window", readings, failures,
           QStringLiteral("; background music passes: %1; message boxes: %2; failure box open: %3")
               .arg(background.plays)
               .arg(shown)
               .arg(failureBox.isOpen() ? "yes" : "no"));
    return failures == 0 ? 0 : 1;
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
    if ((!part.isEmpty() && part != "player" && part != "window") || bells < kReadEvery) {
        std::fprintf(stderr, "usage: bench_soak [player|window] [bells, at least %d]\n", kReadEvery);
        return 2;
    }
    QTemporaryDir dir;
    const QString bell = dir.path() + QStringLiteral("/bell.mp3");
    if (!writeBell(bell)) {
        std::fprintf(stderr, "cannot encode the MP3 bell (GStreamer's lamemp3enc)\n");
        return 1;
    }
    SetApplicationDirectoryOverride(dir.path() + QLatin1Char('/'));
    int status = 0;
    if (part.isEmpty() || part == "player")
        status |= soakPlayer(bell, bells);
    if (part.isEmpty() || part == "window")
        status |= soakWindow(dir.path(), bell, bells);
    return status;
}
