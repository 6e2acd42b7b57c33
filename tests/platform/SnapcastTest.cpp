// The Snapcast server's status as its control interface tells it, and the program's own
// snapserver, run for real on free ports.
#include "platform/SnapServer.h"
#include "platform/SnapcastControl.h"
#include "support/TempDir.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr int kWaitMs = 10000;

SnapClient Client(const char* id, const char* name, const char* group, bool connected)
{
    return {QString::fromUtf8(id), QString::fromUtf8(name), QStringLiteral("10.0.0.1"), QString::fromUtf8(group),
            connected};
}

QByteArray ClientJson(const char* id, const char* configName, const char* hostName, bool connected)
{
    return QStringLiteral(R"({"id":"%1","connected":%2,"config":{"name":"%3","latency":0},)"
                          R"("host":{"ip":"10.0.0.1","name":"%4"},"lastSeen":{"sec":1}})")
        .arg(QString::fromUtf8(id), connected ? QStringLiteral("true") : QStringLiteral("false"),
             QString::fromUtf8(configName), QString::fromUtf8(hostName))
        .toUtf8();
}

// Ports nobody listens on now: held together so that they differ.
std::vector<int> FreePorts(int count)
{
    std::vector<std::unique_ptr<QTcpServer>> held;
    std::vector<int> ports;
    for (int i = 0; i < count; ++i) {
        held.push_back(std::make_unique<QTcpServer>());
        held.back()->listen(QHostAddress::LocalHost, 0);
        ports.push_back(held.back()->serverPort());
    }
    return ports;
}

} // namespace

TEST(SnapcastStatus, ParseServerStatus)
{
    const QByteArray twoStreams =
        R"({"id":1,"jsonrpc":"2.0","result":{"server":{"groups":[)"
        R"({"id":"g1","stream_id":"一号楼","clients":[)" + ClientJson("a", "", "pc-a", true) + "," +
        ClientJson("b", "礼堂", "pc-b", false) + R"(]},)"
        R"({"id":"g2","stream_id":"二号楼","clients":[)" + ClientJson("c", "操场", "pc-c", true) + R"(]}],)"
        R"("streams":[{"id":"一号楼","status":"idle"},{"id":"二号楼","status":"idle"}]}}})";
    SnapcastStatus both;
    both.reachable = true;
    both.streams = {QStringLiteral("一号楼"), QStringLiteral("二号楼")};
    both.clientsByStream[QStringLiteral("一号楼")] = {Client("a", "pc-a", "g1", true), Client("b", "礼堂", "g1", false)};
    both.clientsByStream[QStringLiteral("二号楼")] = {Client("c", "操场", "g2", true)};

    const struct {
        const char* what;
        QByteArray json;
        SnapcastStatus expected; // error: what it starts with
    } cases[] = {
        {"clients in two streams, named or by host", twoStreams, both},
        {"unreadable", R"({"id":1,"result":)", {false, QStringLiteral("分区广播服务器的回答无法读取："), {}, {}}},
        {"not the status", R"({"id":1,"jsonrpc":"2.0","result":{"stream_id":"x"}})",
         {false, QStringLiteral("分区广播服务器的回答无法读取："), {}, {}}},
        {"an error", R"({"error":{"code":-32601,"message":"Method not found"},"id":1,"jsonrpc":"2.0"})",
         {false, QStringLiteral("分区广播服务器报告错误：Method not found"), {}, {}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SnapcastStatus status = ParseServerStatus(c.json);
        EXPECT_TRUE(status.error.startsWith(c.expected.error)) << status.error.toStdString();
        status.error = c.expected.error;
        EXPECT_EQ(status, c.expected);
    }
    EXPECT_EQ(both.connectedClients(QStringLiteral("一号楼")), 1);
    EXPECT_EQ(both.connectedClients(QStringLiteral("三号楼")), 0);
}

TEST(SnapServerConfig, OneTcpSourcePerZoneInOrderAndNoneWithoutZones)
{
    EXPECT_EQ(SnapServerConfig(QStringLiteral("/d"), 1704, 1705, 1000,
                               {{QStringLiteral("一号楼"), 4953}, {QStringLiteral("Hall"), 4954}}),
              QStringLiteral("[server]\ndatadir = /d\n\n[http]\nenabled = false\n\n[tcp]\nenabled = true\nport = 1705\n\n"
                             "[stream]\nport = 1704\nsampleformat = 48000:16:2\ncodec = pcm\nchunk_ms = 20\nbuffer = 1000\n"
                             "source = tcp://127.0.0.1:4953?name=一号楼&mode=server\n"
                             "source = tcp://127.0.0.1:4954?name=Hall&mode=server\n\n"
                             "[logging]\nfilter = *:warning\n"));
    EXPECT_TRUE(SnapServerConfig(QStringLiteral("/d"), 1704, 1705, 1000, {}).isEmpty());
}

// Against a stand-in server: notifications are passed over, a reply may come in pieces, and
// a server that never answers is told as unreachable.
TEST(SnapcastControl, RepliesInPiecesAndServersThatDoNotAnswer)
{
    for (const bool answers : {true, false}) {
        SCOPED_TRACE(answers ? "answers" : "silent");
        QTcpServer fake;
        ASSERT_TRUE(fake.listen(QHostAddress::LocalHost, 0));
        QObject::connect(&fake, &QTcpServer::newConnection, [&] {
            QTcpSocket* peer = fake.nextPendingConnection();
            QObject::connect(peer, &QTcpSocket::readyRead, peer, [peer, answers] {
                const QJsonObject request = QJsonDocument::fromJson(peer->readLine()).object();
                if (!answers)
                    return;
                peer->write(R"({"jsonrpc":"2.0","method":"Client.OnConnect","params":{"id":"x"}})" "\r\n");
                peer->write(R"({"id":)" + QByteArray::number(request.value(QLatin1String("id")).toInt()) +
                            R"(,"jsonrpc":"2.0","result":{"server":{"gr)");
                peer->flush();
                QTimer::singleShot(50, peer, [peer] { peer->write(R"(oups":[],"streams":[{"id":"甲"}]}}})" "\r\n"); });
            });
        });
        SnapcastControl control;
        QSignalSpy changed(&control, &SnapcastControl::statusChanged);
        control.setServer(QStringLiteral("127.0.0.1"), fake.serverPort());
        ASSERT_TRUE(changed.wait(kWaitMs));
        const SnapcastStatus status = control.status();
        EXPECT_EQ(status.reachable, answers) << status.error.toStdString();
        EXPECT_EQ(status.streams, answers ? std::vector<QString>{QStringLiteral("甲")} : std::vector<QString>{});
        if (!answers) {
            EXPECT_EQ(status.error, QStringLiteral("无法连接分区广播服务器 127.0.0.1:%1：2 秒内没有回答").arg(fake.serverPort()));
        }
    }
}

TEST(SnapServer, TriesAgainTellingTheFailureOnceThenRunsAndIsWatched)
{
    TempAppDir dir;
    const std::vector<int> ports = FreePorts(4); // stream, control, two zones
    const QString config = SnapServerConfig(dir.file(QStringLiteral("snap")), ports[0], ports[1], 500,
                                            {{QStringLiteral("一号楼"), ports[2]}, {QStringLiteral("二号楼"), ports[3]}});

    // No program to run: told once over several tries, then up once the program is there.
    SnapServer server;
    server.setRetryDelay(200);
    server.setProgram(dir.file(QStringLiteral("no-such-snapserver")));
    QSignalSpy failed(&server, &SnapServer::failed);
    QSignalSpy running(&server, &SnapServer::running);
    server.start(config, dir.file(QStringLiteral("snap")));
    QTest::qWait(1600); // tries at 0, 0.2, 0.6 and 1.4 s
    ASSERT_EQ(failed.count(), 1);
    EXPECT_TRUE(failed.first().first().toString().startsWith(QStringLiteral("无法启动分区广播服务器 snapserver：")));
    server.setProgram(QStringLiteral("snapserver"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return running.count() == 1; }, kWaitMs));
    EXPECT_EQ(failed.count(), 1);
    server.start(config, dir.file(QStringLiteral("snap"))); // the same: left running
    EXPECT_TRUE(server.isRunning());

    // A second server on the same ports says why it cannot run.
    {
        SnapServer second;
        QSignalSpy secondFailed(&second, &SnapServer::failed);
        QSignalSpy secondRunning(&second, &SnapServer::running);
        second.start(config, dir.file(QStringLiteral("second")));
        ASSERT_TRUE(QTest::qWaitFor([&] { return secondFailed.count() == 1; }, kWaitMs));
        const QString message = secondFailed.first().first().toString();
        EXPECT_TRUE(message.startsWith(QStringLiteral("分区广播服务器 snapserver 已退出："))) << message.toStdString();
        EXPECT_TRUE(message.contains(QLatin1String("Address already in use"))) << message.toStdString();
        EXPECT_EQ(secondRunning.count(), 0);
    }

    // The zones' streams, with a building's client that joins the first and is moved.
    SnapcastControl control;
    control.setPollInterval(200);
    control.setServer(QStringLiteral("127.0.0.1"), ports[1]);
    QProcess client;
    client.start(QStringLiteral("snapclient"), {QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
                                                QString::number(ports[0]), QStringLiteral("--hostID"), QStringLiteral("t1"),
                                                QStringLiteral("--player"), QStringLiteral("file:filename=null")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return control.status().connectedClients(QStringLiteral("一号楼")) == 1; }, kWaitMs));
    const SnapcastStatus up = control.status();
    EXPECT_TRUE(up.reachable);
    EXPECT_EQ(up.streams, (std::vector<QString>{QStringLiteral("一号楼"), QStringLiteral("二号楼")}));
    const SnapClient joined = up.clientsByStream.at(QStringLiteral("一号楼")).front();
    EXPECT_EQ(joined.id, QStringLiteral("t1"));
    control.setGroupStream(joined.groupId, QStringLiteral("二号楼"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return control.status().connectedClients(QStringLiteral("二号楼")) == 1; }, kWaitMs));

    // The server gone: unreachable, told once however often it is asked.
    QSignalSpy changed(&control, &SnapcastControl::statusChanged);
    server.stop();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !control.status().reachable; }, kWaitMs));
    QTest::qWait(1000);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_TRUE(control.status().error.startsWith(QStringLiteral("无法连接分区广播服务器 127.0.0.1:%1：").arg(ports[1])))
        << control.status().error.toStdString();
    client.kill();
    client.waitForFinished();
}
