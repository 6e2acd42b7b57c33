#include "platform/Errors.h"
#include "platform/GstMediaPlayer.h"
#include "platform/GstPipelineWorker.h"
#include "platform/GstSupport.h"
#include "tests/support/GstRun.h"
#include "tests/support/PrivatePulse.h"
#include "tests/support/WavFile.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <gst/gst.h>
#include <gtest/gtest.h>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <ostream>
#include <thread>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Generous: the suite must hold on a loaded two-core machine.
constexpr int kWaitMs = 15000;
constexpr qint64 kFixtureMs = 1000;
const QString kSink = QStringLiteral("fakesink sync=true");

// A second of tone through each encoder; the MIDI file is written out by hand.
struct Format {
    const char* name;
    const char* file;
    const char* encoder; // a pipeline whose file sink is named "out"
};
const Format kMp3{"mp3", "tone.mp3",
                  "audiotestsrc num-buffers=10 samplesperbuffer=4410"
                  " ! audio/x-raw,rate=44100,channels=1 ! lamemp3enc ! xingmux ! filesink name=out"};
const Format kWav{"wav", "tone.wav",
                  "audiotestsrc num-buffers=10 samplesperbuffer=2205"
                  " ! audio/x-raw,format=S16LE,rate=22050,channels=1 ! wavenc ! filesink name=out"};
const Format kMidi{"mid", "notes.mid", nullptr};
// With a picture as well, as the AVI files people have do; only the sound may play.
const Format kAvi{"avi", "clip.avi",
                  "avimux name=mux ! filesink name=out"
                  " audiotestsrc num-buffers=10 samplesperbuffer=2205"
                  " ! audio/x-raw,format=S16LE,rate=22050,channels=1 ! mux."
                  " videotestsrc num-buffers=10 ! video/x-raw,width=64,height=48,framerate=10/1"
                  " ! jpegenc ! mux."};

void PrintTo(const Format& format, std::ostream* out)
{
    *out << format.name;
}

// Two half-second notes at 120 beats a minute, 96 ticks a beat.
const QByteArray kMidiBytes = QByteArray::fromHex(
    "4d546864 00000006 0000 0001 0060" // header: one track
    "4d54726b 0000001b"                // track of 27 bytes
    "00ff510307a120"                   // tempo: 500000 us a beat
    "00903c64 60803c00"                // C4 for 96 ticks
    "00904064 60804000"                // E4 for 96 ticks
    "00ff2f00");                       // end of track

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

void encode(const char* description, const QString& path)
{
    GstElement* pipeline = ParsePipeline(QString::fromUtf8(description));
    ASSERT_NE(pipeline, nullptr) << description;
    GstElement* out = gst_bin_get_by_name(GST_BIN(pipeline), "out");
    g_object_set(out, "location", QFile::encodeName(path).constData(), nullptr);
    gst_object_unref(out);
    ASSERT_TRUE(RunToEnd(pipeline)) << "encoding " << path.toStdString() << " failed";
}

// Each test process makes the files it needs on first use.
QString fixturePath(const QString& name)
{
    static QTemporaryDir dir;
    return dir.filePath(name);
}

// A file named as a sound that holds none.
QString junkFile()
{
    const QString path = fixturePath(QStringLiteral("junk.mp3"));
    if (!QFile::exists(path))
        writeFile(path, "not a sound at all");
    return path;
}

QString fixture(const Format& format)
{
    const QString path = fixturePath(format.file);
    if (!QFile::exists(path)) {
        if (format.encoder)
            encode(format.encoder, path);
        else
            writeFile(path, kMidiBytes);
    }
    return path;
}

// Collects the notices a player delivers and where they arrived.
struct NoticeLog {
    QList<MediaNotice> notices;
    QList<MediaMode> modes;
    bool allOnMainThread = true;

    void attach(IMediaPlayer& player)
    {
        player.setNoticeHandler([this, &player] {
            notices << player.lastNotice();
            modes << player.Mode();
            allOnMainThread = allOnMainThread && QThread::currentThread() == qApp->thread();
        });
    }
    bool waitFor(qsizetype count)
    {
        return QTest::qWaitFor([&] { return notices.size() >= count; }, kWaitMs);
    }
};

// Opening goes on behind the call; this waits until it has come out one way or the other.
bool waitOpened(const IMediaPlayer& player)
{
    return QTest::qWaitFor([&] { return player.Mode() != MediaMode::Open; }, kWaitMs);
}

std::unique_ptr<GstMediaPlayer> openPlayer(const QString& path)
{
    auto player = std::make_unique<GstMediaPlayer>(kSink);
    player->setFileName(path);
    player->Open();
    EXPECT_TRUE(waitOpened(*player));
    return player;
}

bool waitForPosition(const IMediaPlayer& player, qint64 atLeast)
{
    return QTest::qWaitFor([&] { return player.Position() >= atLeast; }, kWaitMs);
}

class EachKind : public ::testing::TestWithParam<Format> {};

INSTANTIATE_TEST_SUITE_P(MediaPlayer, EachKind, ::testing::Values(kMp3, kWav, kMidi, kAvi),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(EachKind, OpensStoppedAtTheStartWithItsLength)
{
    const auto player = openPlayer(fixture(GetParam()));
    EXPECT_TRUE(player->isOpen());
    EXPECT_EQ(player->Mode(), MediaMode::Stopped);
    EXPECT_EQ(player->Position(), 0);
    EXPECT_NEAR(double(player->Length()), double(kFixtureMs), kFixtureMs * 0.15);
}

TEST_P(EachKind, PausesResumesStopsWhereItIsAndRewinds)
{
    const auto player = openPlayer(fixture(GetParam()));
    player->Play();
    EXPECT_EQ(player->Mode(), MediaMode::Playing);
    ASSERT_TRUE(waitForPosition(*player, 100));

    player->Pause();
    EXPECT_EQ(player->Mode(), MediaMode::Paused);
    const qint64 paused = player->Position();
    QTest::qWait(150);
    EXPECT_NEAR(double(player->Position()), double(paused), 20.0) << "moved while paused";

    player->Pause();
    EXPECT_EQ(player->Mode(), MediaMode::Playing);
    ASSERT_TRUE(waitForPosition(*player, paused + 50));

    player->Stop();
    EXPECT_EQ(player->Mode(), MediaMode::Stopped);
    const qint64 stopped = player->Position();
    EXPECT_GT(stopped, paused);
    EXPECT_LT(stopped, player->Length());

    // Stop keeps the place, so the next Play goes on from there.
    player->Play();
    ASSERT_TRUE(waitForPosition(*player, 1));
    EXPECT_GE(player->Position(), stopped - 20);
    player->Stop();

    player->Rewind();
    EXPECT_EQ(player->Mode(), MediaMode::Stopped);
    EXPECT_LT(player->Position(), 20);
}

TEST_P(EachKind, EndsStoppedAtItsEndWithANoticeAndPlaysAgainFromTheStart)
{
    const auto player = openPlayer(fixture(GetParam()));
    NoticeLog log;
    log.attach(*player);
    const qint64 length = player->Length();

    QElapsedTimer clock;
    clock.start();
    player->Play();
    ASSERT_TRUE(log.waitFor(1));
    // A sink that keeps time cannot finish much sooner than the file lasts.
    EXPECT_GE(clock.elapsed(), length * 7 / 10);
    EXPECT_EQ(log.notices.value(0), MediaNotice::Successful);
    EXPECT_EQ(log.modes.value(0), MediaMode::Stopped);
    EXPECT_TRUE(log.allOnMainThread);
    EXPECT_EQ(player->Mode(), MediaMode::Stopped);
    EXPECT_EQ(player->Position(), length);

    clock.restart();
    player->Play();
    EXPECT_EQ(player->Mode(), MediaMode::Playing);
    ASSERT_TRUE(log.waitFor(2));
    EXPECT_GE(clock.elapsed(), length * 7 / 10) << "did not start again from the beginning";
    EXPECT_EQ(log.notices.value(1), MediaNotice::Successful);
    EXPECT_EQ(player->Mode(), MediaMode::Stopped);
}

TEST(MediaPlayer, RefusesFilesItCannotPlayNamingTheReason)
{
    writeFile(fixturePath("words.mp3"), QByteArray("This is a note, not a song.\r\n").repeated(200));
    writeFile(fixturePath("empty.wav"), QByteArray());
    writeFile(fixturePath("locked.wav"), QByteArray("RIFF"));
    QFile::setPermissions(fixturePath("locked.wav"), QFileDevice::Permissions());
    const bool permissionsHold = !QFile(fixturePath("locked.wav")).open(QIODevice::ReadOnly);
    QFile::remove(fixturePath("pipe.mp3"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fixturePath("pipe.mp3")).constData(), 0600), 0);
    const struct {
        const char* name;
        QString path;
        MediaFailureReason reason;
    } cases[] = {
        {"missing file", fixturePath("absent.mp3"), MediaFailureReason::Missing},
        {"no file name", QString(), MediaFailureReason::Missing},
        {"text named .mp3", fixturePath("words.mp3"), MediaFailureReason::UnknownFormat},
        {"empty file", fixturePath("empty.wav"), MediaFailureReason::UnknownFormat},
        {"a pipe, which nobody writes", fixturePath("pipe.mp3"), MediaFailureReason::NotRegularFile},
        {"a directory", fixturePath(""), MediaFailureReason::NotRegularFile},
        {"unreadable file", fixturePath("locked.wav"), MediaFailureReason::NoPermission},
    };
    // One player for all: a refused file must not spoil the next Open.
    GstMediaPlayer player(kSink);
    NoticeLog log;
    log.attach(player);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.reason == MediaFailureReason::NoPermission && !permissionsHold)
            continue; // run as root
        QTest::qWait(20); // the last round's notices
        log.notices.clear();
        player.setFileName(c.path);
        player.Open();
        player.Play();
        ASSERT_TRUE(log.waitFor(1));
        EXPECT_EQ(log.notices.value(0), MediaNotice::OpenFailed);
        EXPECT_EQ(player.lastFailure().reason, c.reason) << player.lastFailure().text().toStdString();
        EXPECT_FALSE(player.isOpen());
        EXPECT_EQ(player.Mode(), MediaMode::NotReady);
        EXPECT_EQ(player.Length(), 0);
        QTest::qWait(20);
        EXPECT_EQ(log.notices.size(), 1) << "the waiting Play ends with the failure, unreported";

        // The next good file plays on the same player.
        player.setFileName(fixture(kWav));
        player.Open();
        player.Play();
        ASSERT_TRUE(log.waitFor(2));
        EXPECT_EQ(log.notices.value(1), MediaNotice::Opened);
        EXPECT_TRUE(waitForPosition(player, 100));
        player.Close();
    }
    EXPECT_EQ(MediaFailure({MediaFailureReason::UnknownFormat, "Could not determine type"}).text(),
              "无法识别的格式（Could not determine type）");
}

// A source that never delivers (a pipe whose writer hangs, a stalled network share) must
// neither hold the caller nor keep the player from the next file.
TEST(MediaPlayer, ASourceThatHangsTimesOutWhileTheCallerRunsOn)
{
    const QString pipe = fixturePath("slow.wav");
    QFile::remove(pipe);
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    // The writer sends a little and then holds the pipe open until the test ends.
    std::mutex mutex;
    std::condition_variable released;
    bool release = false;
    // The reader may go before the writer has written; that must not end the test.
    signal(SIGPIPE, SIG_IGN);
    std::thread writer([&] {
        const int fd = ::open(QFile::encodeName(pipe).constData(), O_WRONLY);
        if (fd < 0)
            return;
        [[maybe_unused]] const auto written = ::write(fd, "RIFF\x24\x08\0\0WAVEfmt ", 16);
        std::unique_lock lock(mutex);
        released.wait(lock, [&] { return release; });
        ::close(fd);
    });

    GstMediaPlayer::Options options;
    options.openTimeout = std::chrono::milliseconds(1000);
    options.regularFilesOnly = false;
    auto player = std::make_unique<GstMediaPlayer>(kSink, options);
    NoticeLog log;
    log.attach(*player);
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(50);

    for (const char* attempt : {"pipe with no data yet", "the same pipe again"}) {
        SCOPED_TRACE(attempt);
        log.notices.clear();
        ticks = 0;
        player->setFileName(pipe);
        player->Open();
        player->Play();
        EXPECT_EQ(player->Mode(), MediaMode::Open);
        ASSERT_TRUE(log.waitFor(1));
        EXPECT_EQ(log.notices.value(0), MediaNotice::OpenFailed);
        EXPECT_EQ(player->lastFailure().reason, MediaFailureReason::Timeout);
        EXPECT_GE(ticks, 10) << "the caller's event loop stood still while the file opened";
    }

    // The next file opens on a fresh pipeline and plays to its end.
    player->setFileName(fixture(kWav));
    player->Open();
    player->Play();
    log.notices.clear();
    ASSERT_TRUE(log.waitFor(2));
    EXPECT_EQ(log.notices, (QList<MediaNotice>{MediaNotice::Opened, MediaNotice::Successful}));
    EXPECT_GE(GstMediaPlayer::abandonedWorkers(), 1);
    player.reset(); // must not wait for the stuck reader
    {
        std::lock_guard lock(mutex);
        release = true;
    }
    released.notify_all();
    writer.join();
}

TEST(MediaPlayer, PlaysOnInTimeWhenNoAudioOutputOpens)
{
    for (const char* sink : {"pulsesink server=unix:/nonexistent/pulse", "autoaudiosink"}) {
        SCOPED_TRACE(sink);
        qputenv("PULSE_SERVER", "unix:/nonexistent/pulse");
        GstMediaPlayer player(QString::fromUtf8(sink));
        NoticeLog log;
        log.attach(player);
        player.setFileName(fixture(kWav));
        player.Open();
        player.Play();
        QElapsedTimer clock;
        clock.start();
        ASSERT_TRUE(log.waitFor(2));
        EXPECT_EQ(log.notices, (QList<MediaNotice>{MediaNotice::Opened, MediaNotice::Successful}));
        EXPECT_FALSE(player.hasAudioOutput());
        EXPECT_GE(clock.elapsed(), kFixtureMs * 7 / 10) << "the silent output did not keep time";
    }
    const auto real = openPlayer(fixture(kWav));
    EXPECT_TRUE(real->hasAudioOutput()) << "a sink asked for by name counts as real";
}

TEST(MediaPlayer, OpensAFileWithAChineseName)
{
    const QString path = fixturePath(QStringLiteral("上课铃 一.wav"));
    QFile::remove(path);
    ASSERT_TRUE(QFile::copy(fixture(kWav), path));
    const auto player = openPlayer(path);
    EXPECT_TRUE(player->isOpen());
    EXPECT_NEAR(double(player->Length()), double(kFixtureMs), kFixtureMs * 0.15);
}

TEST(MediaPlayer, WithNothingOpenCommandsDoNothing)
{
    GstMediaPlayer player(kSink);
    NoticeLog log;
    log.attach(player);
    EXPECT_TRUE(player.fileName().isEmpty());
    const std::function<void()> commands[] = {
        [&] { player.Close(); }, [&] { player.Play(); },   [&] { player.Pause(); },
        [&] { player.Stop(); },  [&] { player.Rewind(); },
    };
    for (const auto& command : commands) {
        player.requestNotice();
        command();
        EXPECT_EQ(player.Mode(), MediaMode::NotReady);
        EXPECT_EQ(player.Position(), 0);
        EXPECT_EQ(player.Length(), 0);
    }
    player.setFileName(fixture(kWav));
    player.Open();
    player.Close(); // while it opens: nothing is reported of that Open
    player.Close();
    EXPECT_FALSE(player.isOpen());
    EXPECT_EQ(player.Mode(), MediaMode::NotReady);
    EXPECT_EQ(player.fileName(), fixture(kWav));
    QTest::qWait(50);
    EXPECT_TRUE(log.notices.isEmpty());
}

TEST(MediaPlayer, NoticesSayHowEachCommandEnded)
{
    using Script = std::function<void(GstMediaPlayer&)>;
    const struct {
        const char* name;
        Script script;
        QList<MediaNotice> expected;
    } cases[] = {
        {"requested for commands that return done",
         [](GstMediaPlayer& p) {
             p.requestNotice();
             p.Rewind();
             p.Stop(); // not requested
             p.requestNotice();
             p.Close();
         },
         {MediaNotice::Successful, MediaNotice::Successful}},
        {"a second Play supersedes the first",
         [](GstMediaPlayer& p) {
             p.Play();
             p.Play();
         },
         {MediaNotice::Superseded, MediaNotice::Successful}},
        {"Stop aborts, and so does Close",
         [](GstMediaPlayer& p) {
             p.Play();
             p.Stop();
             p.Play();
             p.Close();
         },
         {MediaNotice::Aborted, MediaNotice::Aborted}},
        {"pausing keeps the Play's notice for its end",
         [](GstMediaPlayer& p) {
             p.Play();
             p.Pause();
             p.Pause();
         },
         {MediaNotice::Successful}},
        {"reopening aborts the Play and the Open reports",
         [](GstMediaPlayer& p) {
             p.Play();
             p.Open();
         },
         {MediaNotice::Aborted, MediaNotice::Opened}},
        {"Play while opening waits for the file and plays it to its end",
         [](GstMediaPlayer& p) {
             p.Open();
             p.Play();
         },
         {MediaNotice::Opened, MediaNotice::Successful}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto player = openPlayer(fixture(kWav));
        NoticeLog log;
        log.attach(*player);
        c.script(*player);
        EXPECT_TRUE(log.notices.isEmpty()) << "delivered inside the command";
        ASSERT_TRUE(log.waitFor(c.expected.size()));
        QTest::qWait(50);
        EXPECT_EQ(log.notices, c.expected);
        EXPECT_TRUE(log.allOnMainThread);
    }
}

TEST(MediaPlayer, StopAfterTheEndIsReachedTakesNoStaleEnd)
{
    // The end arriving while Stop runs must not later stop a Play that followed it.
    const auto player = openPlayer(fixture(kWav));
    NoticeLog log;
    log.attach(*player);
    player->Play();
    // Without the event loop, so the end is still queued when Stop comes.
    QElapsedTimer clock;
    clock.start();
    while (player->Position() < player->Length() && clock.elapsed() < kWaitMs)
        QThread::msleep(5);
    QThread::msleep(250); // the clock reaches the end a moment before the stream reports it
    ASSERT_EQ(player->Position(), player->Length());
    ASSERT_EQ(player->Mode(), MediaMode::Playing);
    player->Stop();
    player->Play();
    EXPECT_EQ(player->Mode(), MediaMode::Playing);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return player->Position() > 0 || player->Mode() != MediaMode::Playing; }, kWaitMs));
    EXPECT_EQ(player->Mode(), MediaMode::Playing);
    EXPECT_LT(player->Position(), player->Length());
    ASSERT_TRUE(log.waitFor(2));
    EXPECT_EQ(log.notices, (QList<MediaNotice>{MediaNotice::Aborted, MediaNotice::Successful}));
}

TEST(MediaPlayer, TwoPlayersSoundIndependently)
{
    const auto bell = openPlayer(fixture(kWav));
    const auto music = openPlayer(fixture(kMp3));
    NoticeLog bellLog, musicLog;
    bellLog.attach(*bell);
    musicLog.attach(*music);

    bell->Play();
    music->Play();
    ASSERT_TRUE(waitForPosition(*bell, 100));
    bell->Stop();
    EXPECT_EQ(bell->Mode(), MediaMode::Stopped);
    EXPECT_EQ(music->Mode(), MediaMode::Playing);
    const qint64 bellStopped = bell->Position();

    ASSERT_TRUE(musicLog.waitFor(1));
    EXPECT_EQ(musicLog.notices, QList<MediaNotice>{MediaNotice::Successful});
    EXPECT_EQ(bellLog.notices, QList<MediaNotice>{MediaNotice::Aborted});
    EXPECT_EQ(bell->Position(), bellStopped);
    EXPECT_EQ(music->Position(), music->Length());
}

TEST(MediaPlayer, SurvivesManyOpenAndCloseCycles)
{
    GstMediaPlayer player(kSink);
    player.setFileName(fixture(kWav));
    for (int i = 0; i < 50; ++i) {
        player.Open();
        ASSERT_TRUE(player.isOpen()) << "cycle " << i;
        if (i % 5 == 0) {
            ASSERT_TRUE(waitOpened(player)); // and closing one that has opened
        }
        if (i % 10 == 0)
            player.Play(); // closing a playing player too
        player.Close();
        ASSERT_FALSE(player.isOpen());
    }
    player.Open();
    player.Play();
    EXPECT_TRUE(waitForPosition(player, 50));
    EXPECT_EQ(player.Mode(), MediaMode::Playing);
}

TEST(MediaPlayer, DestroyedPlayerDeliversNothingMore)
{
    int delivered = 0;
    {
        const auto player = openPlayer(fixture(kWav));
        player->setNoticeHandler([&] { ++delivered; });
        player->Play();
        player->requestNotice();
        player->Stop(); // queues two notices that must die with the player
    }
    QTest::qWait(50);
    EXPECT_EQ(delivered, 0);
}

} // namespace

// A prepared file is only a head start: the Open plays the file as it is on disk at that
// moment, and says why when it cannot.
TEST(MediaPlayer, AnOpenAfterPrepareTakesTheFileAsItIsThen)
{
    struct Case {
        const char* name;
        std::function<void(const QString& path, const QString& other)> meanwhile;
        bool openOther;
        qint64 length; // 0: the Open fails as missing
    };
    const auto writeShort = [](const QString& path) { writeFile(path, SilentWav(400)); };
    const Case cases[] = {
        {"unchanged", [](const QString&, const QString&) {}, false, 1000},
        {"replaced by a rename",
         [&](const QString& path, const QString&) {
             writeShort(path + ".new");
             ASSERT_TRUE(QFile::remove(path));
             ASSERT_TRUE(QFile::rename(path + ".new", path));
         },
         false, 400},
        {"rewritten in place", [&](const QString& path, const QString&) { writeShort(path); }, false, 400},
        {"removed", [](const QString& path, const QString&) { ASSERT_TRUE(QFile::remove(path)); }, false, 0},
        {"another file opened", [](const QString&, const QString&) {}, true, 400},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QStringLiteral("bell.wav"));
        const QString other = dir.filePath(QStringLiteral("other.wav"));
        QFile::remove(path);
        ASSERT_TRUE(QFile::copy(fixture(kWav), path));
        writeShort(other);
        GstMediaPlayer player(kSink);
        NoticeLog log;
        log.attach(player);
        player.Prepare(path);
        QTest::qWait(300); // the prepared file has opened behind the scenes
        c.meanwhile(path, other);
        player.setFileName(c.openOther ? other : path);
        player.Open();
        ASSERT_TRUE(waitOpened(player));
        if (c.length == 0) {
            EXPECT_EQ(log.notices, QList<MediaNotice>{MediaNotice::OpenFailed});
            EXPECT_EQ(player.lastFailure().reason, MediaFailureReason::Missing);
            continue;
        }
        ASSERT_EQ(log.notices, QList<MediaNotice>{MediaNotice::Opened});
        EXPECT_NEAR(player.Length(), c.length, 50);
        player.Play();
        ASSERT_TRUE(log.waitFor(2));
        EXPECT_EQ(log.notices.last(), MediaNotice::Successful);
        EXPECT_EQ(player.Position(), player.Length());
    }
}

TEST(MediaPlayer, APreparedFileThatIsNeverOpenedCostsNothingLater)
{
    // Preparing a file that cannot play reports nothing; the next files open and play as usual.
    GstMediaPlayer player(kSink);
    NoticeLog log;
    log.attach(player);
    QTemporaryDir dir;
    player.Prepare(junkFile());
    player.Prepare(dir.filePath(QStringLiteral("missing.wav")));
    QTest::qWait(300);
    EXPECT_TRUE(log.notices.isEmpty());
    for (const Format& format : {kWav, kMp3}) {
        player.Prepare(fixture(format));
        player.setFileName(fixture(kWav));
        player.Open();
        player.Play();
        ASSERT_TRUE(log.waitFor(log.notices.size() + 2));
        EXPECT_EQ(log.notices.mid(log.notices.size() - 2),
                  (QList<MediaNotice>{MediaNotice::Opened, MediaNotice::Successful}));
    }
}

// A prepared bell's first sound is let out at once by the element that plays; the output's
// clock would otherwise put it after as much silence as the stream waited for Play. That
// element must be found where the program's outputs put it: inside the automatic sink, a bin
// that makes its choice (here the sound server's sink) as it opens.
TEST(MediaPlayer, TheElementThatPlaysAPreparedBellIsFoundInsideTheAutomaticSink)
{
    struct Events : PipelineEvents {
        int opened = 0;
        void onOpened(const PipelineOpened&) override { ++opened; }
        void onOpenFailed(unsigned, unsigned, const MediaFailure&) override { ADD_FAILURE(); }
        void onStreamEnded(unsigned, unsigned) override {}
        void onStreamError(unsigned, unsigned) override {}
    };
    InitGStreamer();
    PrivatePulse pulse;
    QString why;
    ASSERT_TRUE(pulse.start(&why)) << why.toStdString();
    const struct {
        const char* description;
        const char* plays;
    } cases[] = {{"fakesink sync=true", "fakesink"},
                 {"autoaudiosink", "pulsesink"},
                 {"audioconvert ! autoaudiosink", "pulsesink"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.description);
        Events events;
        QObject context;
        auto worker = GstPipelineWorker::start(1, {QString::fromUtf8(c.description)}, &events, &context);
        Command open;
        open.kind = OpenCommand;
        open.seq = 1;
        open.path = fixture(kWav);
        open.holdAtOutput = true;
        worker->push(open);
        ASSERT_TRUE(QTest::qWaitFor([&] { return events.opened == 1; }, kWaitMs));
        GstElement* sink = worker->playingSink();
        ASSERT_NE(sink, nullptr);
        EXPECT_STREQ(GST_OBJECT_NAME(gst_element_get_factory(sink)), c.plays);
        gst_object_unref(sink);
        GstPipelineWorker::retire(worker, GstPipelineWorker::kJoinTimeout);
    }
}

// A bell computer rings for months: whatever a bell makes, prepared or not, played to its end
// or stopped, is gone once the player is.
TEST(MediaPlayer, FiftyBellsLeaveNoPipelineOrElementBehind)
{
    const int pipelines = GstMediaPlayer::livePipelines();
    const int elements = GstMediaPlayer::liveElements();
    int elementsAfterFirst = 0;
    {
        GstMediaPlayer player(kSink);
        NoticeLog log;
        log.attach(player);
        for (int bell = 0; bell < 50; ++bell) {
            SCOPED_TRACE(bell);
            const QString file = fixture(bell % 2 ? kMp3 : kWav);
            if (bell % 3 != 0)
                player.Prepare(file);
            player.Close();
            player.setFileName(file);
            log.notices.clear();
            player.Open();
            player.Play();
            if (bell % 10 == 9) {
                EXPECT_TRUE(QTest::qWaitFor(
                    [&] { return log.notices.contains(MediaNotice::Successful); }, kWaitMs));
            } else {
                ASSERT_TRUE(waitForPosition(player, 1));
                player.Stop();
            }
            if (bell == 0)
                elementsAfterFirst = GstMediaPlayer::liveElements();
        }
        // The pipelines are used again: a bell adds no elements that outlive it.
        EXPECT_LE(GstMediaPlayer::liveElements(), elementsAfterFirst + 40);
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return GstMediaPlayer::livePipelines() == pipelines; }, kWaitMs));
    EXPECT_TRUE(QTest::qWaitFor([&] { return GstMediaPlayer::liveElements() == elements; }, kWaitMs))
        << GstMediaPlayer::liveElements() - elements << " elements still alive";
}

// GStreamer's playbin taken from the system while the program runs: the pipeline that must be
// built again for the next file cannot be. That Open fails with the reason, nothing ends the
// program, and once playbin is back the player plays again.
TEST(MediaPlayer, APipelineThatCannotBeBuiltAgainFailsItsOpenAndThePlayerRecovers)
{
    GstMediaPlayer player(kSink);
    NoticeLog log;
    log.attach(player);
    player.setFileName(junkFile()); // its error spoils the pipeline: the next Open builds a new one
    player.Open();
    ASSERT_TRUE(log.waitFor(1));

    GstRegistry* registry = gst_registry_get();
    GstPluginFeature* playbin = gst_registry_lookup_feature(registry, "playbin");
    ASSERT_NE(playbin, nullptr);
    gst_registry_remove_feature(registry, playbin);
    log.notices.clear();
    player.setFileName(fixture(kWav));
    player.Open();
    player.Play();
    const bool failed = log.waitFor(1);
    gst_registry_add_feature(registry, playbin);
    gst_object_unref(playbin);
    ASSERT_TRUE(failed);
    EXPECT_EQ(log.notices, QList<MediaNotice>{MediaNotice::OpenFailed});
    EXPECT_EQ(player.lastFailure().reason, MediaFailureReason::Other);
    EXPECT_TRUE(player.lastFailure().detail.contains("playbin")) << player.lastFailure().text().toStdString();

    log.notices.clear();
    player.Open();
    player.Play();
    ASSERT_TRUE(log.waitFor(2));
    EXPECT_EQ(log.notices, (QList<MediaNotice>{MediaNotice::Opened, MediaNotice::Successful}));
}
