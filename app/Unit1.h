#pragma once
#include "app/BaseFrm.h"
#include "platform/Guard.h"
#include "platform/Services.h"
#include "schedule/DueTimeCheck.h"
#include "storage/ProgramData.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTimer>

#include <memory>

class AboutPage;
class FailureReport;
class IFailureBox;
class PlayLog;
class AutomaticShutdown;
class BackgroundMusic;
class CalendarPage;
class HolidaySettings;
class BellReliability;
class SoundSettings;
class SessionWatch;
class MainPlaybackView;
class TaskPlayback;
class MusicLibraryPage;
class QAction;
class QLabel;
class QMenu;
class QStatusBar;
class QSystemTrayIcon;
class QTabWidget;
class SettingsPage;
class TaskListPage;
class TrayTooltip;
class UsersPage;
class WeekAndAutoStart;
class ZoneBroadcast;
class ZonePage;

// The main window: owns the program's data, the pages and the timers, and wires them.
class TfrmMain : public TfmBaseFrm {
    Q_DECLARE_TR_FUNCTIONS(TfrmMain)
public:
    explicit TfrmMain(const Services& services, QWidget* parent = nullptr);
    ~TfrmMain() override;

    static QString ProductTitle();
    QString ApplicationTitle() const { return m_applicationTitle; }

    void MainErrorBox(const QString& text);

    void FormCreate();
    void LoadSettings();
    void LoadLists();
    void tmrSystemTimer();
    void tmrMusicPlayTimer();
    void tmrCycleTimer();
    void N4Click();
    void RestoreFromTray();

    // The timetable, library and holidays; the pages, the check and playback read them here.
    ProgramData data;

    // Pages and controls.
    QTabWidget* PageControl1;
    TaskListPage* tsplaylist;
    MusicLibraryPage* tslib;
    CalendarPage* tsCalendar;
    SettingsPage* tsSet;
    UsersPage* tspurview;
    AboutPage* ts3;
    ZonePage* tsZones;
    QStatusBar* statMain;
    QLabel* statPanels[4];
    QSystemTrayIcon* RzTrayIcon1;
    QMenu* pm1;
    QAction* N4;
    QAction* miRingNow;  // the timetable page's "立即响铃"
    QAction* miStopRing; // what the page's "停止" does

    QTimer tmrSystem;
    QTimer tmrMusicPlay;
    QTimer tmrCycle;
    QTimer tmrShotdown;


    // Task playback on mp1; the due-time check hands it the tasks that fall due.
    std::unique_ptr<TaskPlayback> playback;
    // The settings page's groups.
    std::unique_ptr<HolidaySettings> holidays;
    std::unique_ptr<BackgroundMusic> backgroundMusic;
    std::unique_ptr<WeekAndAutoStart> weekAndAutoStart;
    std::unique_ptr<AutomaticShutdown> shutdown;
    std::unique_ptr<BellReliability> bellReliability;
    std::unique_ptr<SoundSettings> soundSettings;
    // The bells and music of the other buildings, through Snapcast.
    std::unique_ptr<ZoneBroadcast> zones;

    const HandlerGuard& guard() const { return m_guard; }

    FailureReport& failures() { return *m_failures; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void wireFailures();
    void buildWindow();
    void wirePlayback();
    void wireSettings();
    void wireZones();
    // Runs one start-up step; a failing step is reported once the window is up, and the
    // start-up goes on.
    template <class F>
    void startupStep(F&& step) { HandlerGuard::runReporting(m_report, std::forward<F>(step)); }
    // Puts on record the bells that fell due while the program was not running: those after
    // the play log's last line.
    void recordBellsMissedWhileStopped();
    // Brings the task file to the timetable of periods in force on today.
    void applyPeriodTimetable(const QDate& today);
    void journal(const QString& taskKey, const QString& file, const QString& event) const;

    Services m_services;
    HandlerGuard m_guard;
    std::unique_ptr<PlayLog> m_playLog;
    QDateTime m_lastLogged; // the play log's last line as this run began
    std::unique_ptr<IFailureBox> m_ownFailureBox;
    std::unique_ptr<FailureReport> m_failures;
    std::function<void(const QString&)> m_report;
    QString m_applicationTitle;
    std::unique_ptr<MainPlaybackView> m_playbackView;
    std::unique_ptr<TrayTooltip> m_trayTooltip;
    std::unique_ptr<SessionWatch> m_sessionWatch;
    DueTimeCheck m_dueTimeCheck;
    QDate m_periodDate; // the day the timetable of periods was last brought up to
};
