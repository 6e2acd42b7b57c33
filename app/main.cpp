#include "app/DataModule.h"
#include "app/Unit1.h"
#include "desktop/AppIcon.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/DisplayCheck.h"
#include "platform/FailureBox.h"
#include "platform/GstMediaPlayer.h"
#include "platform/AppDirectory.h"
#include "platform/Localization.h"
#include "platform/LogindSession.h"
#include "platform/OutputMute.h"
#include "platform/MessageBoxes.h"
#include "platform/SingleInstance.h"
#include "platform/SystemShutdownRequest.h"
#include "platform/XdgAutostart.h"
#include "storage/InterfaceLanguage.h"

#include <QApplication>
#include <QSystemTrayIcon>

#include <csignal>
#include <cstdio>

int main(int argc, char** argv)
{
    // A sound server or a pipe that goes away mid-write must cost one file, not the program.
    std::signal(SIGPIPE, SIG_IGN);
    if (!DisplayReachable(argc, argv)) {
        std::fprintf(stderr, "%s\n", NoDisplayMessage());
        return 1;
    }
    QApplication::setApplicationName(QStringLiteral("TavuroMP3"));
    // Chosen before the application object exists: Qt fixes its system locale as it starts.
    const LanguageChoice choice = ReadLanguageChoice(ApplicationDirectoryBeforeStart() + QStringLiteral("Config.ini"));
    const bool chinese = choice == LanguageChoice::Chinese || (choice == LanguageChoice::Desktop && DesktopSpeaksChinese());
    if (chinese)
        PreferSystemLocale("zh_CN.UTF-8");
    else if (!DesktopSpeaksEnglish())
        PreferSystemLocale("en_US.UTF-8");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    // The menu entry's name, so that task bars group the window under its entry and icon.
    QApplication::setDesktopFileName(QStringLiteral("TavuroMP3"));
    QApplication::setWindowIcon(AppIcon());
    if (chinese)
        UseChineseInterface(app);
    else
        UseEnglishInterface(app, QStringLiteral(":/i18n/TavuroMP3_en.qm"));

    QtMessageBoxes boxes;
    SingleInstanceGuard instance(QStringLiteral("TAVUROMP3play"));
    if (!instance.acquire()) {
        // The running window comes to the front first, so the box is seen beside it.
        instance.askRunningToRaise();
        boxes.show(nullptr, QCoreApplication::translate("main", "错误"),
                   QCoreApplication::translate("main", "MP3定时播放器程序已运行！"), BoxIcon::Error, BoxButtons::Ok);
        return 0;
    }

    SystemClock systemClock;
    // Tests of the real program start it on a day of their choosing; a start that does not
    // read leaves the system clock.
    const QDateTime start = QDateTime::fromString(qEnvironmentVariable("TAVURO_CLOCK_START"), Qt::ISODate);
    ShiftedClock shiftedClock(start.isValid() ? start : QDateTime::currentDateTime());
    QtDialogs dialogs;
    Services services;
    services.clock = start.isValid() ? static_cast<IClock*>(&shiftedClock) : &systemClock;
    services.boxes = &boxes;
    services.dialogs = &dialogs;
    GstMediaPlayer mp1(QStringLiteral("autoaudiosink"));
    GstMediaPlayer mpBackgroupMusic(QStringLiteral("autoaudiosink"));
    services.mp1 = &mp1;
    services.mpBackgroupMusic = &mpBackgroupMusic;
    services.trayAvailable = QSystemTrayIcon::isSystemTrayAvailable();
    SystemShutdownRequest shutdown;
    XdgAutostart startup;
    services.shutdown = &shutdown;
    services.startup = &startup;
    QtFailureBox failureBox;
    services.failureBox = &failureBox;
    LogindSession session;
    services.session = &session;
    OutputMuteWatch outputMute;
    services.outputMute = &outputMute;

    TdmMain dmMain;
    TfrmMain window(services);
    instance.listenForRaise([&window] { window.RestoreFromTray(); });
    window.show();
    return app.exec();
}
