#include "platform/Errors.h"
#include "platform/XdgAutostart.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <glib.h>
#include <gtest/gtest.h>

namespace {

// Points XDG_CONFIG_HOME at a fresh folder for the test's lifetime: the real autostart folder
// is never touched.
struct TempConfigHome {
    QTemporaryDir dir;
    QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    bool wasSet = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    TempConfigHome() { qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path())); }
    ~TempConfigHome() { wasSet ? qputenv("XDG_CONFIG_HOME", saved) : qunsetenv("XDG_CONFIG_HOME"); }
    QString path(const QString& name) const { return dir.filePath(name); }
};

// The command a session would run from the entry, read as GLib reads it: the value's string
// escapes, then field codes, then the command line's quoting.
QStringList launchedArguments(const QByteArray& entry)
{
    GKeyFile* keys = g_key_file_new();
    QStringList args;
    if (g_key_file_load_from_data(keys, entry.constData(), entry.size(), G_KEY_FILE_NONE, nullptr)) {
        gchar* exec = g_key_file_get_string(keys, "Desktop Entry", "Exec", nullptr);
        gchar** argv = nullptr;
        if (g_shell_parse_argv(QByteArray(exec ? exec : "").replace("%%", "%").constData(), nullptr, &argv, nullptr))
            for (gchar** a = argv; *a; ++a)
                args << QString::fromUtf8(*a);
        g_strfreev(argv);
        g_free(exec);
    }
    g_key_file_free(keys);
    return args;
}

TEST(XdgAutostart, RegisterWritesTheEntryAndUnregisterRemovesIt)
{
    TempConfigHome home;
    XdgAutostart startup;
    const QString entry = home.path("autostart/MP3AutoStart.desktop");
    ASSERT_TRUE(startup.open());
    startup.registerProgram("/old/TavuroMP3");
    startup.registerProgram("/usr/local/bin/TavuroMP3");
    QFile f(entry);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "[Desktop Entry]\nType=Application\nName=TavuroMP3\n"
                           "Exec=/usr/local/bin/TavuroMP3\nX-GNOME-Autostart-enabled=true\n");
    EXPECT_EQ(QDir(home.path("autostart")).entryList(QDir::Files | QDir::Hidden),
              QStringList{"MP3AutoStart.desktop"}) << "no temporary file left beside it";
    startup.unregisterProgram();
    EXPECT_FALSE(QFile::exists(entry));
    EXPECT_NO_THROW(startup.unregisterProgram());

    // The folder follows the environment at each call; a relative or empty value is ignored.
    TempConfigHome other;
    EXPECT_EQ(startup.entryPath(), other.path("autostart/MP3AutoStart.desktop"));
    EXPECT_EQ(XdgAutostart::autostartDirectoryFor("", "/home/u"), "/home/u/.config/autostart");
    EXPECT_EQ(XdgAutostart::autostartDirectoryFor("cfg", "/home/u"), "/home/u/.config/autostart");
}

TEST(XdgAutostart, ExecStartsExactlyThePathWhateverItHolds)
{
    const struct {
        QString path, exec;
    } cases[] = {
        {"/opt/中文/TavuroMP3", "/opt/中文/TavuroMP3"},
        {"/opt/my bells/TavuroMP3", R"("/opt/my bells/TavuroMP3")"},
        {R"(/opt/$d/"x"/`y`)", R"("/opt/\\$d/\\"x\\"/\\`y\\`")"},
        {R"(/opt/a\b)", R"("/opt/a\\\\b")"},
        {"/opt/100%/it's&(a)", "\"/opt/100%%/it's&(a)\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(XdgAutostart::execValue(c.path), c.exec) << c.path.toStdString();
        EXPECT_EQ(launchedArguments(XdgAutostart::entryText(c.path)), QStringList{c.path})
            << c.path.toStdString();
    }
}

TEST(XdgAutostart, AFileWhereTheFolderShouldBeIsReported)
{
    // Tests run as root, where permissions stop nothing: a file is put in the way instead.
    TempConfigHome home;
    QFile blocker(home.path("autostart"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    XdgAutostart startup;
    EXPECT_FALSE(startup.open());
    try {
        startup.registerProgram("/opt/TavuroMP3");
        ADD_FAILURE() << "no FileError";
    } catch (const FileError& e) {
        EXPECT_TRUE(e.message().startsWith("无法写入自动启动目录：" + startup.entryPath()));
    }
    EXPECT_NO_THROW(startup.unregisterProgram());
}

} // namespace
