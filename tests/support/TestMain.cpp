#include "platform/GstMediaPlayer.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gst/gst.h>
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
    const int status = RUN_ALL_TESTS();
    // Under GStreamer's leak tracer (GST_TRACERS=leaks) every object still alive is listed as
    // GStreamer shuts down; pipelines given up on end first, once their reads have returned.
    if (gst_is_initialized() && qEnvironmentVariable("GST_TRACERS").contains(QLatin1String("leaks"))) {
        if (!QTest::qWaitFor([] { return GstMediaPlayer::livePipelines() == 0; }, 10000))
            qWarning("%d pipelines still running at the end", GstMediaPlayer::livePipelines());
        gst_deinit();
    }
    return status;
}
