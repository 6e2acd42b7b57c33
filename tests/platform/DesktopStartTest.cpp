#include "platform/AppDirectory.h"
#include "platform/DisplayCheck.h"
#include "platform/Localization.h"
#include "platform/SingleInstance.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTranslator>

#include <gtest/gtest.h>
#include <thread>

namespace {

// Sets environment variables for one scope and puts the old values back.
struct ScopedEnv {
    std::vector<std::pair<QByteArray, std::optional<QByteArray>>> saved;
    void set(const char* name, const char* value)
    {
        saved.emplace_back(name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt);
        value ? qputenv(name, value) : qunsetenv(name);
    }
    ~ScopedEnv()
    {
        for (auto it = saved.rbegin(); it != saved.rend(); ++it)
            it->second ? qputenv(it->first.constData(), *it->second) : qunsetenv(it->first.constData());
    }
};

TEST(ChineseInterface, QtsOwnTextsAndDatesAreChineseWhateverLangSays)
{
    const QLocale before;
    ASSERT_TRUE(UseChineseInterface(*qApp)) << "qt6-translations-l10n is missing";
    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Open);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Ok)->text(), "确定");
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), "取消");
    EXPECT_NE(QCoreApplication::translate("QFileDialog", "Look in:"), "Look in:");
    EXPECT_EQ(QLocale().toString(QDate(2026, 12, 9), QLocale::ShortFormat), "2026/12/9");

    // The rest of this test program expects Qt's English texts.
    for (QTranslator* t : qApp->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
    QLocale::setDefault(before);
}

TEST(DisplayReachable, AsksOnlyWhenTheWindowSystemNeedsADisplay)
{
    struct Case {
        const char* platformEnv;
        const char* display;
        const char* wayland;
        const char* platformArg;
        bool reachable;
    } cases[] = {
        {"offscreen", nullptr, nullptr, nullptr, true},
        {nullptr, nullptr, nullptr, "offscreen", true},
        {"xcb;offscreen", nullptr, nullptr, nullptr, true},
        {nullptr, nullptr, nullptr, nullptr, false},
        {"xcb", nullptr, "wayland-0", nullptr, false},
        {nullptr, nullptr, "wayland-0", nullptr, true},
        {nullptr, ":87654", nullptr, nullptr, false}, // set, but no server answers there
        {"xcb", "", nullptr, nullptr, false},
    };
    for (const Case& c : cases) {
        ScopedEnv env;
        env.set("QT_QPA_PLATFORM", c.platformEnv);
        env.set("DISPLAY", c.display);
        env.set("WAYLAND_DISPLAY", c.wayland);
        QByteArray program("TavuroMP3"), option("-platform"), value(c.platformArg ? c.platformArg : "");
        char* argv[] = {program.data(), option.data(), value.data(), nullptr};
        EXPECT_EQ(DisplayReachable(c.platformArg ? 3 : 1, argv), c.reachable)
            << (c.platformEnv ? c.platformEnv : "-") << " " << (c.display ? c.display : "-") << " "
            << (c.platformArg ? c.platformArg : "-");
    }
    EXPECT_TRUE(QByteArray(NoDisplayMessage()).contains("DISPLAY"));
    EXPECT_FALSE(QByteArray(NoDisplayMessage()).contains('\n')) << "one line";
}

TEST(SingleInstance, ALaterStartKnocksAndTheFirstIsAskedToRaise)
{
    QTemporaryDir runtime;
    ScopedEnv env;
    env.set("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()).constData());

    SingleInstanceGuard first("TAVUROMP3play"), second("TAVUROMP3play");
    EXPECT_FALSE(second.askRunningToRaise()) << "nobody listens yet";
    ASSERT_TRUE(first.acquire());
    // A crashed instance's socket is in the way; the lock holder takes its place.
    QFile stale(runtime.filePath("TAVUROMP3play.socket"));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();
    int raised = 0;
    ASSERT_TRUE(first.listenForRaise([&] { ++raised; }));
    EXPECT_FALSE(second.acquire());

    // The second start blocks on its socket, as it does before its box: another thread here.
    bool answered = false;
    std::thread knock([&] { answered = second.askRunningToRaise(); });
    QElapsedTimer waited;
    waited.start();
    while (raised == 0 && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    knock.join();
    EXPECT_EQ(raised, 1);
    EXPECT_TRUE(answered);
}

TEST(InstalledLayout, AnExecutableBesideItsMenuEntryKeepsNoDataThere)
{
    QTemporaryDir prefix;
    QDir(prefix.path()).mkpath("bin");
    QDir(prefix.path()).mkpath("build/app");
    EXPECT_FALSE(IsInstalledLayout(prefix.filePath("bin"))) << "no menu entry yet";
    QDir(prefix.path()).mkpath("share/applications");
    QFile entry(prefix.filePath("share/applications/TavuroMP3.desktop"));
    ASSERT_TRUE(entry.open(QIODevice::WriteOnly));
    entry.close();
    EXPECT_TRUE(IsInstalledLayout(prefix.filePath("bin")));
    EXPECT_FALSE(IsInstalledLayout(prefix.filePath("build/app")));
}

} // namespace
