// Bells in two buildings at once, measured at the buildings' own players: the whole main window
// with its real clock and players broadcasts through the snapserver it starts itself; two
// snapclients on this machine, one per zone, each play into a private PulseAudio server whose
// sink is a clock-paced pipe this benchmark reads (at 192 kHz: a sound's beginning is dated
// to within 0.7 ms). A third private server takes this computer's
// own bell.
//
// BM_Zones: 20 tasks, one every 3 s, each ringing in both zones, play a loud 0.3 s tone. Per
// bell: from its second to the first sound at each client and at this computer, and the
// difference between the two clients. Goals: clients within 1 ms of each other, median within
// 20 ms of the second, every bell heard at every client.
//
// BM_OneZoneTwoClients: the same with both clients in the first zone: how far apart one
// stream's clients sound, which is Snapcast's own sync and the reading's precision.
//
// It prints the raw reading of every bell beside the result, and skips with a line saying why
// when snapserver, snapclient or PulseAudio cannot be started.
#include "app/Unit1.h"
#include "bench/BenchFakes.h"
#include "bench/BenchMain.h"
#include "platform/AppDirectory.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/GstMediaPlayer.h"
#include "tests/support/PrivatePulse.h"
#include "tests/support/WavFile.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringEncoder>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

int freePort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}

// One JSON-RPC call to the server's control port, answered or not within a second.
QJsonObject rpc(int port, const QString& method, const QJsonObject& params = {})
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, quint16(port));
    if (!socket.waitForConnected(1000))
        return {};
    QJsonObject request{{"id", 1}, {"jsonrpc", "2.0"}, {"method", method}};
    if (!params.isEmpty())
        request.insert("params", params);
    socket.write(QJsonDocument(request).toJson(QJsonDocument::Compact) + "\r\n");
    QByteArray line;
    while (socket.waitForReadyRead(1000)) {
        line += socket.readAll();
        for (const QByteArray& part : line.split('\n')) {
            const QJsonObject reply = QJsonDocument::fromJson(part).object();
            if (reply.contains("id"))
                return reply;
        }
    }
    return {};
}

// The group the client with hostId is in, once the server lists it as connected.
QString groupOf(int port, const QString& hostId)
{
    const QJsonObject status = rpc(port, "Server.GetStatus");
    for (const QJsonValue& group : status["result"]["server"]["groups"].toArray())
        for (const QJsonValue& client : group["clients"].toArray())
            if (client["id"].toString() == hostId && client["connected"].toBool())
                return group["id"].toString();
    return QString();
}

void spin(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// sameZone: both clients listen to the first zone, so that what sets them apart is Snapcast's
// own sync and this benchmark's reading alone.
void runZones(benchmark::State& state, bool sameZone)
{
    for (auto _ : state) {
        // The buildings' sinks run at 192 kHz, so that each sound's beginning is dated to within
        // 0.7 ms (a block of the pipe sink) rather than 2.9.
        PrivatePulse building1(192000), building2(192000), local;
        QString why;
        // This computer's own players play into the server started last.
        if (!building1.start(&why) || !building2.start(&why) || !local.start(&why)) {
            state.SkipWithError(qPrintable(why));
            return;
        }
        QTemporaryDir dir;
        SetApplicationDirectoryOverride(dir.path());
        const QString bell = dir.filePath(QStringLiteral("bell.wav"));
        WriteFile(bell, SilentWav(300, 16000));
        constexpr int kTasks = 20, kSpacingS = 3;
        const qint64 first = NextSecondNs(RealtimeNs() + 10'000'000'000);
        std::vector<qint64> due;
        QString time, params;
        for (int i = 0; i < kTasks; ++i) {
            due.push_back(first + qint64(i) * kSpacingS * 1'000'000'000);
            time += KeyAt(due.back()) + QStringLiteral("=1,0,1\r\n");
            params += KeyAt(due.back()) + QStringLiteral("=1,1,1,0,,0,00:00:00\r\n");
        }
        WriteFile(dir.filePath(QStringLiteral("TimeMusicList.ini")),
                  QStringEncoder("GB18030").encode(QStringLiteral("[Time]\r\n") + time + QStringLiteral("[TimeParams]\r\n")
                                                    + params + QStringLiteral("[Music]\r\n1=") + bell
                                                    + QStringLiteral("\r\n")));
        const int streamPort = freePort(), controlPort = freePort(), zone1 = freePort(), zone2 = freePort();
        // Neither a shutdown nor a log-on registration may ever come from a benchmark.
        WriteFile(dir.filePath(QStringLiteral("Config.ini")),
                  QStringEncoder("GB18030").encode(
                      QStringLiteral("[base]\r\nShotdown=0\r\nShotdownHint=0\r\nAutoStart=0\r\nStayAwake=0\r\n"
                                     "[Broadcast]\r\nEnabled=1\r\nStreamPort=%1\r\nControlPort=%2\r\nBuffer=1000\r\n"
                                     "[BroadcastZones]\r\n教学楼=%3\r\n实验楼=%4\r\n")
                          .arg(streamPort).arg(controlPort).arg(zone1).arg(zone2)));

        NoShutdown shutdown;
        NoStartupRegistration startup;
        SystemClock clock;
        NoBoxes boxes;
        QtDialogs dialogs;
        GstMediaPlayer mp1(QStringLiteral("autoaudiosink"));
        GstMediaPlayer background(QStringLiteral("autoaudiosink"));
        std::vector<std::unique_ptr<QProcess>> clients;
        bool joined = false;
        {
            TfrmMain window(Services{&clock, &boxes, &dialogs, &mp1, &background, true, &shutdown, &startup});
            const std::pair<PrivatePulse*, QString> zoneOf[] = {
                {&building1, QStringLiteral("教学楼")},
                {&building2, sameZone ? QStringLiteral("教学楼") : QStringLiteral("实验楼")}};
            const auto startClients = [&] {
                for (int i = 0; i < 2; ++i) {
                    auto client = std::make_unique<QProcess>();
                    client->start(QStringLiteral("snapclient"),
                                  {QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
                                   QString::number(streamPort), QStringLiteral("--hostID"),
                                   QStringLiteral("bench%1").arg(i), QStringLiteral("--player"),
                                   QStringLiteral("pulse:server=") + zoneOf[i].first->address(),
                                   QStringLiteral("--logsink"), QStringLiteral("null")});
                    clients.push_back(std::move(client));
                }
            };
            const auto connected = [&] {
                for (int tries = 0; tries < 80; ++tries) {
                    spin(100);
                    if (!groupOf(controlPort, QStringLiteral("bench0")).isEmpty()
                        && !groupOf(controlPort, QStringLiteral("bench1")).isEmpty())
                        return true;
                }
                return false;
            };
            // Each building's client into its zone, as the settings page does it. They are then
            // started again and come straight into their zones: snapclient 0.26 playing to
            // PulseAudio may hang when its stream is changed under it.
            startClients();
            joined = connected();
            for (int i = 0; i < 2 && joined; ++i)
                joined = rpc(controlPort, "Group.SetStream",
                             {{"id", groupOf(controlPort, QStringLiteral("bench%1").arg(i))},
                              {"stream_id", zoneOf[i].second}})
                             .contains("result");
            for (auto& client : clients) {
                client->terminate();
                client->waitForFinished(2000);
            }
            clients.clear();
            spin(500);
            startClients();
            joined = joined && connected();
            if (joined)
                WaitUntil(due.back() + qint64(kSpacingS) * 1'000'000'000);
        }
        SetApplicationDirectoryOverride(QString());
        for (auto& client : clients) {
            client->terminate();
            client->waitForFinished(2000);
        }
        if (!joined) {
            state.SkipWithError("the snapclients did not join the program's snapserver");
            return;
        }
        std::vector<double> sound1, sound2, apart, own;
        int heard = 0;
        std::printf("bell  building 1 (ms)  building 2 (ms)  apart (ms)  this computer (ms)\n");
        for (int i = 0; i < kTasks; ++i) {
            const qint64 from = due[i] - 500'000'000, to = due[i] + 1'500'000'000;
            const qint64 a = building1.onsetIn(from, to), b = building2.onsetIn(from, to),
                         c = local.onsetIn(from, to);
            const double ma = (a - due[i]) / 1e6, mb = (b - due[i]) / 1e6, mc = (c - due[i]) / 1e6;
            std::printf("%4d  %15.2f  %15.2f  %10.2f  %18.2f\n", i + 1, a < 0 ? NAN : ma, b < 0 ? NAN : mb,
                        a < 0 || b < 0 ? NAN : std::fabs(ma - mb), c < 0 ? NAN : mc);
            if (a >= 0 && b >= 0) {
                ++heard;
                sound1.push_back(ma);
                sound2.push_back(mb);
                apart.push_back(std::fabs(ma - mb));
            }
            if (c >= 0)
                own.push_back(mc);
        }
        std::printf("heard at both clients: %d of %d\n", heard, kTasks);
        const double worstApart = apart.empty() ? -1 : *std::max_element(apart.begin(), apart.end());
        state.counters["heard"] = heard;
        state.counters["building1_median_ms"] = Median(sound1);
        state.counters["building2_median_ms"] = Median(sound2);
        state.counters["apart_median_ms"] = Median(apart);
        state.counters["apart_worst_ms"] = worstApart;
        state.counters["local_median_ms"] = Median(own);
    }
}
void BM_Zones(benchmark::State& state)
{
    runZones(state, false);
}
void BM_OneZoneTwoClients(benchmark::State& state)
{
    runZones(state, true);
}
BENCHMARK(BM_Zones)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_OneZoneTwoClients)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

TAVURO_BENCHMARK_MAIN();
