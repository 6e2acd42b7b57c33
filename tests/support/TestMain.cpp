#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Every test program gets a QApplication on the offscreen platform, also when CTest's
// discovery runs it without the test environment.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Whatever a test does, the user's own autostart folder stays out of reach.
    QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome.path()));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
