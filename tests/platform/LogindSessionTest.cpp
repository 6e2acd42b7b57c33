#include "platform/LogindSession.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QProcess>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

// logind and timedated as far as the program uses them, on a private bus: no test may talk to
// the real ones.
class FakeServices : public QDBusVirtualObject {
public:
    QStringList inhibitArgs;
    int lockReadEnd = -1; // reads end-of-file once the program has let the lock go
    bool ntp = false;

    QString introspect(const QString&) const override { return QString(); }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        if (message.member() == QLatin1String("Inhibit")) {
            for (const QVariant& a : message.arguments())
                inhibitArgs << a.toString();
            int fds[2];
            if (pipe(fds) != 0)
                return false;
            lockReadEnd = fds[0];
            connection.send(message.createReply(QVariant::fromValue(QDBusUnixFileDescriptor(fds[1]))));
            close(fds[1]); // the reply holds its own copy
            return true;
        }
        if (message.member() == QLatin1String("Get")) {
            connection.send(message.createReply(QVariant::fromValue(QDBusVariant(ntp))));
            return true;
        }
        return false;
    }
    bool released() const
    {
        char c;
        fcntl(lockReadEnd, F_SETFL, O_NONBLOCK);
        return read(lockReadEnd, &c, 1) == 0;
    }
};

TEST(LogindSession, HoldsTheLockWhileAskedHearsTheSleepAndReadsTheClocksState)
{
    QProcess daemon;
    daemon.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
    ASSERT_TRUE(daemon.waitForReadyRead(5000)) << "dbus-daemon did not start";
    const QString address = QString::fromUtf8(daemon.readLine()).trimmed();
    QDBusConnection program = QDBusConnection::connectToBus(address, "program");
    QDBusConnection services = QDBusConnection::connectToBus(address, "services");
    ASSERT_TRUE(program.isConnected() && services.isConnected());

    LogindSession session(program);
    QString error;
    EXPECT_FALSE(session.holdAwake(true, &error)) << "no logind yet";
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(session.clockSynchronized(), std::nullopt);

    // On a thread of its own, as another process would be: the program's call blocks its own.
    QThread thread;
    FakeServices fake;
    fake.moveToThread(&thread);
    thread.start();
    ASSERT_TRUE(services.registerService("org.freedesktop.login1"));
    ASSERT_TRUE(services.registerService("org.freedesktop.timedate1"));
    ASSERT_TRUE(services.registerVirtualObject("/org/freedesktop/login1", &fake));
    ASSERT_TRUE(services.registerVirtualObject("/org/freedesktop/timedate1", &fake));

    ASSERT_TRUE(session.holdAwake(true, &error)) << error.toStdString();
    EXPECT_EQ(fake.inhibitArgs, QStringList({"sleep:idle", "TavuroMP3", "今天还有定时铃声要播放", "block"}));
    EXPECT_TRUE(session.holdingAwake());
    EXPECT_FALSE(fake.released());
    EXPECT_TRUE(session.holdAwake(true, &error)) << "held already: not asked again";
    EXPECT_EQ(fake.inhibitArgs.size(), 4);
    session.holdAwake(false, &error);
    EXPECT_FALSE(session.holdingAwake());
    EXPECT_TRUE(QTest::qWaitFor([&] { return fake.released(); }, 3000));

    int slept = 0;
    session.onSleep = [&] { ++slept; };
    for (bool starting : {true, false}) {
        QDBusMessage signal = QDBusMessage::createSignal("/org/freedesktop/login1", "org.freedesktop.login1.Manager",
                                                         "PrepareForSleep");
        signal << starting;
        services.send(signal);
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return slept == 1; }, 3000));
    QTest::qWait(100);
    EXPECT_EQ(slept, 1) << "waking is no sleep";

    EXPECT_EQ(session.clockSynchronized(), std::optional<bool>(false));
    fake.ntp = true;
    EXPECT_EQ(session.clockSynchronized(), std::optional<bool>(true));
    close(fake.lockReadEnd);
    services.unregisterObject("/org/freedesktop/login1");
    services.unregisterObject("/org/freedesktop/timedate1");
    thread.quit();
    thread.wait();
    daemon.kill();
    daemon.waitForFinished();
}

} // namespace
