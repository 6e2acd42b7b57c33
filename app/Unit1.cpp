#include "app/Unit1.h"

#include "app/AboutPage.h"
#include "app/FailureReport.h"
#include "app/PlaybackView.h"
#include "app/SessionWatch.h"
#include "app/TrayTooltip.h"
#include "desktop/AppIcon.h"
#include "library/MusicLibrary.h"
#include "library/MusicLibraryPage.h"
#include "platform/AppDirectory.h"
#include "platform/Clock.h"
#include "platform/FailureBox.h"
#include "platform/GstMediaPlayer.h"
#include "platform/OutputMute.h"
#include "platform/SystemSession.h"
#include "platform/Version.h"
#include "schedule/DayBells.h"
#include "schedule/TaskPlayback.h"
#include "schedule/AutomaticShutdown.h"
#include "schedule/BackgroundMusic.h"
#include "settings/CalendarPage.h"
#include "settings/HolidaySettings.h"
#include "settings/BellReliability.h"
#include "settings/SoundSettings.h"
#include "settings/ShotdownHint.h"
#include "settings/WeekAndAutoStart.h"
#include "settings/SettingsPage.h"
#include "settings/uPasswordSet.h"
#include "settings/UsersPage.h"
#include "storage/IniStore.h"
#include "storage/PlayLog.h"
#include "storage/TaskFile.h"
#include "tasks/DayView.h"
#include "tasks/TaskListPage.h"
#include "zones/ZoneBroadcast.h"
#include "zones/ZonePage.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

// Where in the second the clock and the playing file are looked at: clear of the bells,
// which start at the whole second, and of the look ahead at the next bell at the half.
constexpr int kClockPastSecondMs = 200;
constexpr int kCyclePastSecondMs = 700;

} // namespace

TfrmMain::TfrmMain(const Services& services, QWidget* parent)
    : TfmBaseFrm(*services.boxes, parent),
      m_services(services),
      m_guard(*services.boxes, [this] { return m_applicationTitle; }, this),
      m_playLog(std::make_unique<PlayLog>(PlayLog::DefaultPath())),
      m_lastLogged(m_playLog->LastTime())
{
    wireFailures();
    buildWindow();
    wirePlayback();
    wireSettings();
    wireZones();
    FormCreate();
}

TfrmMain::~TfrmMain() = default;

QString TfrmMain::ProductTitle()
{
    return tr("TavuroMP3音乐定时播放器(定时播音、铃声定时)");
}

void TfrmMain::MainErrorBox(const QString& text)
{
    boxes().MainErrorBox(this, text);
}

void TfrmMain::wireFailures()
{
    if (!m_services.failureBox) {
        m_ownFailureBox = std::make_unique<MessageBoxFailureBox>(*m_services.boxes);
        m_services.failureBox = m_ownFailureBox.get();
    }
    m_failures = std::make_unique<FailureReport>(
        *m_services.failureBox, this, [this] { return m_applicationTitle; },
        [this](const QString& message) { journal(QString(), QString(), message); });
    m_report = [this](const QString& message) { m_failures->report(message); };
    // Nothing is shown before the window is: a box then would hold the start-up.
    m_failures->hold();
}

void TfrmMain::buildWindow()
{
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(968, 618);
    QFont font;
    font.setFamilies({QStringLiteral("新宋体"), QStringLiteral("NSimSun"),
                      QStringLiteral("WenQuanYi Micro Hei")});
    font.setPointSize(9);
    setFont(font);
    setWindowIcon(AppIcon());

    PageControl1 = new QTabWidget(this);
    PageControl1->setDocumentMode(true);
    tsplaylist = new TaskListPage(data, *m_services.boxes, *m_services.clock, m_guard);
    tslib = new MusicLibraryPage(data, *m_services.dialogs, *m_services.boxes, m_guard);
    tsCalendar = new CalendarPage(data, *m_services.dialogs, *m_services.boxes, *m_services.clock, m_guard);
    tsSet = new SettingsPage;
    tspurview = new UsersPage(*m_services.boxes, m_guard);
    ts3 = new AboutPage(ProductTitle());
    tsZones = new ZonePage(*m_services.boxes, m_guard);
    PageControl1->addTab(tsplaylist, tr("定时时间列表"));
    PageControl1->addTab(tslib, tr("音频库"));
    PageControl1->addTab(tsCalendar, tr("校历"));
    PageControl1->addTab(tsSet, tr("基本设置"));
    PageControl1->addTab(tsZones, tr("分区广播"));
    PageControl1->addTab(tspurview, tr("权限管理"));
    PageControl1->addTab(ts3, tr("关于"));
    PageControl1->setTabVisible(PageControl1->indexOf(tspurview), false);

    statMain = new QStatusBar(this);
    statMain->setSizeGripEnabled(false);
    // The clock, the playing task, the clock's synchronisation, the next bell.
    const int widths[4] = {180, 500, 50, 220};
    for (int i = 0; i < 4; ++i) {
        statPanels[i] = new QLabel(statMain);
        // Fixed in both directions, so a new text (the clock's, every second) repaints the
        // panel alone instead of laying out the whole window again.
        statPanels[i]->setFixedSize(widths[i], statPanels[i]->fontMetrics().height());
        statMain->addWidget(statPanels[i]);
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(PageControl1, 1);
    layout->addWidget(statMain);

    pm1 = new QMenu(this);
    miRingNow = pm1->addAction(tr("立即响铃…"));
    miStopRing = pm1->addAction(tr("停止响铃"));
    pm1->addSeparator();
    N4 = pm1->addAction(tr("退出"));
    RzTrayIcon1 = new QSystemTrayIcon(windowIcon(), this);
    RzTrayIcon1->setContextMenu(pm1);
    m_trayTooltip = std::make_unique<TrayTooltip>(*RzTrayIcon1, data, ProductTitle());
    m_trayTooltip->setStatusPanel(statPanels[3]);
    m_sessionWatch = std::make_unique<SessionWatch>(m_services.session, data, *statPanels[2], m_report);
    if (m_services.trayAvailable)
        RzTrayIcon1->show();

    connect(N4, &QAction::triggered, this, m_guard.wrap([this] { N4Click(); }));
    connect(RzTrayIcon1, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::DoubleClick)
                    m_guard.run([this] { RestoreFromTray(); });
            });

    tmrMusicPlay.setInterval(500);
    tmrShotdown.setInterval(1000);
    // The clock is looked at once a second, a fifth of a second past it, never in the moments
    // before a whole second when a bell's start waits for the event loop: a coarse timer would
    // drift onto the system's own whole seconds, which may fall just there.
    const auto untilClock = [this] {
        return DueTimeCheck::MsUntilPastSecond(m_services.clock->msecsSinceEpoch(), kClockPastSecondMs);
    };
    tmrSystem.setSingleShot(true);
    tmrSystem.setTimerType(Qt::PreciseTimer);
    connect(&tmrSystem, &QTimer::timeout, this, [this, untilClock] {
        tmrSystem.start(untilClock());
        m_guard.run([this] { tmrSystemTimer(); });
    });
    // Nobody may be there when these run: their failures go to the failure box, not a modal one.
    connect(&tmrMusicPlay, &QTimer::timeout, this,
            [this] { HandlerGuard::runReporting(m_report, [this] { tmrMusicPlayTimer(); }); });
    tmrSystem.start(untilClock());
}

void TfrmMain::wirePlayback()
{
    // The playing file is looked at once a second for the same reason, late in the second: a
    // short bell's end is then seen before the next second.
    const auto untilCycle = [this] {
        return DueTimeCheck::MsUntilPastSecond(m_services.clock->msecsSinceEpoch(), kCyclePastSecondMs);
    };
    tmrCycle.setSingleShot(true);
    tmrCycle.setTimerType(Qt::PreciseTimer);
    m_playbackView = std::make_unique<MainPlaybackView>(*statMain, *statPanels[1], *tsplaylist,
                                                        tmrCycle, untilCycle, *m_failures);
    playback = std::make_unique<TaskPlayback>(*m_services.mp1, *m_services.clock, *m_playbackView,
                                              data);
    playback->setJournal([this](const QString& key, const QString& file, const QString& event) {
        journal(key, file, event);
    });
    playback->setSounding([this](bool sounding) { backgroundMusic->duck(sounding); });
    m_dueTimeCheck.setJournal(
        [this](const QString& key, const QString& event) { journal(key, QString(), event); });
    m_dueTimeCheck.setPrepare([this](const QString& key) { playback->PrepareTask(key); });
    connect(&data, &ProgramData::changed, this,
            [this] { m_dueTimeCheck.setLateGrace(data.settings().lateBellGrace); });
    // The gap a sleep leaves is put down to it in the play log.
    if (m_services.session)
        m_services.session->onSleep = [this] { m_dueTimeCheck.noteSleep(); };
    if (OutputMuteWatch* mute = m_services.outputMute)
        connect(mute, &OutputMuteWatch::mutedChanged, this,
                [this, mute](bool muted) { m_playbackView->showOutputMuted(muted, mute->device()); });
    tsplaylist->setCurrentTaskKeySource([this] { return playback->CurrentTaskKey(); });
    tsplaylist->dayView->model()->setRecord(
        [this](const QString& key, const QDate& day) { return m_dueTimeCheck.record(key, day); });
    connect(&tmrCycle, &QTimer::timeout, this, [this, untilCycle] {
        tmrCycle.start(untilCycle());
        HandlerGuard::runReporting(m_report, [this] { tmrCycleTimer(); });
    });
    connect(tsplaylist->btnPlay, &QPushButton::clicked, this,
            m_guard.wrap([this] { playback->btnPlayClick(tsplaylist->selectedTaskKey()); }));
    connect(tsplaylist->btnPasue, &QPushButton::clicked, this,
            m_guard.wrap([this] { playback->btnPasueClick(); }));
    connect(tsplaylist->btnStop, &QPushButton::clicked, this, m_guard.wrap([this] {
        playback->btnStopClick();
        zones->bells().stop();
    }));
    connect(tsplaylist->btnChangeMusic, &QPushButton::clicked, this,
            m_guard.wrap([this] { playback->btnChangeMusicClick(); }));
    // Ringing by hand, from the page, the tray and F9 on any page.
    tsplaylist->setRingNow([this](const QString& key) {
        playback->RingNow(key);
        zones->bells().ringNow(key);
    });
    addAction(tsplaylist->actRingNow);
    connect(miRingNow, &QAction::triggered, tsplaylist->actRingNow, &QAction::trigger);
    connect(miStopRing, &QAction::triggered, tsplaylist->btnStop, &QPushButton::click);
    connect(pm1, &QMenu::aboutToShow, this, [this] { miStopRing->setEnabled(tsplaylist->btnStop->isEnabled()); });
    // Re-armed from the clock after each tick, so that it fires just after each second and
    // half second and a bell starts within a few milliseconds of its second.
    tmrMusicPlay.setSingleShot(true);
    tmrMusicPlay.setTimerType(Qt::PreciseTimer);
}

void TfrmMain::wireSettings()
{
    holidays = std::make_unique<HolidaySettings>(*tsSet, data, *m_services.boxes, m_guard,
                                                 *m_services.clock);
    backgroundMusic = std::make_unique<BackgroundMusic>(
        tsSet->chkPlayBackgroupMusic, tsSet->edtBackgroupMusicFile, tsSet->btnSelectBackgroupMusic,
        *m_services.mpBackgroupMusic, data, *m_services.dialogs, m_guard);
    backgroundMusic->setFailureReport(m_report);
    weekAndAutoStart = std::make_unique<WeekAndAutoStart>(*tsSet, data, *m_services.startup, *m_services.boxes,
                                                          m_guard, this,
                                                          QCoreApplication::applicationFilePath());
    // Both buttons are hidden, but a shown one works at once.
    connect(tslib->btnSetLibPassword, &QPushButton::clicked, this, m_guard.wrap([this] {
        ShowPasswordSet(*m_services.boxes, m_guard, this, tr("设置音频库密码"));
    }));
    connect(tsSet->btn4, &QPushButton::clicked, this,
            m_guard.wrap([this] { ShowPasswordSet(*m_services.boxes, m_guard, this, QString()); }));
    bellReliability = std::make_unique<BellReliability>(*tsSet, data, m_guard);
    soundSettings = std::make_unique<SoundSettings>(*tsSet, data, m_guard);
    shutdown = std::make_unique<AutomaticShutdown>(
        ShutdownControls{tsSet->chkShotdown, tsSet->dtpShotdownTime, tsSet->chkShowGuanjiHint,
                         tsSet->edtGuanjiHintFengzhong},
        tmrShotdown, data, *m_services.clock, *m_services.shutdown, m_guard, [this] { N4Click(); },
        [this] { return std::make_unique<TfrmShotdownHint>(*m_services.clock); });
}

void TfrmMain::wireZones()
{
    ZoneBells::MakePlayer makePlayer = m_services.makeZonePlayer;
    if (!makePlayer)
        makePlayer = [](const QString& host, int port) -> std::unique_ptr<IMediaPlayer> {
            return std::make_unique<GstMediaPlayer>(ZoneSinkDescription(host, port));
        };
    zones = std::make_unique<ZoneBroadcast>(*tsZones, data, *m_services.clock, m_guard, makePlayer,
                                            ApplicationDirectory() + QStringLiteral("snapserver"));
    zones->setReport(m_report);
    zones->setJournal([this](const QString& key, const QString& file, const QString& event) {
        journal(key, file, event);
    });
    // The zones without a connected client stand in the playing task's panel while nothing plays.
    zones->setZoneNotice([this](const QString& text) { m_playbackView->showStandingNotice(text); });
}

void TfrmMain::FormCreate()
{
    // Armed first, so that whatever a step shows, the bells fall due behind it. Each step is
    // guarded on its own, so that one bad file never keeps the rest from loading.
    tmrMusicPlay.start(DueTimeCheck::MsUntilNextTick(m_services.clock->msecsSinceEpoch()));
    startupStep([this] { LoadSettings(); });
    startupStep([this] { LoadLists(); });
}

void TfrmMain::showEvent(QShowEvent* event)
{
    TfmBaseFrm::showEvent(event);
    tmrSystemTimer();
    // What failed while starting is shown once the window is there to own the box.
    QTimer::singleShot(0, this, [this] { m_failures->release(); });
}

void TfrmMain::journal(const QString& taskKey, const QString& file, const QString& event) const
{
    m_playLog->Append(m_services.clock->now(), taskKey, file, event);
}

void TfrmMain::LoadSettings()
{
    tspurview->UserEditMode = 0;
    startupStep([this] {
        // A hand-edited value read otherwise than it stands is named once, never written back.
        for (const QString& message : data.loadSettings())
            m_report(message);
    });
    startupStep([this] { backgroundMusic->LoadBackgroupMusic(); });
    startupStep([this] { zones->apply(); });
    startupStep([this] {
        tslib->chkEnCodeLib->setChecked(data.settings().enCodeLib);
    });
    startupStep([this] {
        // Bad lines are skipped by the check; named here once, never at a due time.
        for (const QString& message : data.loadHolidays())
            m_report(message);
    });
    PageControl1->setCurrentWidget(tsplaylist);
    m_applicationTitle = ProductTitle();
    setWindowTitle(tr("%1%2", "the product title, then its version").arg(ProductTitle(), VersionText()));
}

void TfrmMain::LoadLists()
{
    const QString taskFile = TaskFilePath();
    startupStep([&] {
        QStringList music;
        ReadIniKeys(taskFile, MusicSection, music);
        tslib->chkEnCodeLib->setEnabled(music.isEmpty());
    });
    startupStep([&] { tslib->LoadMusicLibrary(); });
    startupStep([&] {
        // Every good row is listed; each bad line is named once.
        for (const QString& message : data.loadTimetable())
            m_report(message);
    });
    startupStep([&] {
        for (const QString& message : data.loadPeriodTimetables())
            m_report(message);
        applyPeriodTimetable(m_services.clock->now().date());
    });
    startupStep([&] {
        // A task whose music has left the library is silent at its bell: named now instead.
        for (const QString& message : MissingMusicMessages(data.timetable(), data.LibraryList()))
            m_report(message);
    });
    startupStep([&] { holidays->LoadHolidays(); });
    startupStep([&] { weekAndAutoStart->LoadWeekAndAutoStart(); });
    startupStep([&] { shutdown->LoadShutdownSettings(); });
    startupStep([&] { bellReliability->load(); });
    startupStep([&] { soundSettings->load(); });
    startupStep([&] { recordBellsMissedWhileStopped(); });
}

void TfrmMain::recordBellsMissedWhileStopped()
{
    const QDateTime now = m_services.clock->now();
    if (!m_lastLogged.isValid() || m_lastLogged >= now)
        return;
    // Up to the second before now: the first tick serves now itself.
    for (const DueBell& bell : BellsBetween(data.timetable(), data.holidays(), m_lastLogged, now.addSecs(-1)))
        journal(bell.key, QString(),
                QStringLiteral("未播放：程序没有运行（应在 %1 播放）")
                    .arg(bell.at.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))));
}

void TfrmMain::applyPeriodTimetable(const QDate& today)
{
    m_periodDate = today;
    // A season's timetable takes over on its first day; a bell it could not write is named.
    for (const QString& message : data.applyPeriodTimetableOn(today))
        m_report(message);
}

void TfrmMain::tmrSystemTimer()
{
    const QDateTime now = m_services.clock->now();
    if (now.date() != m_periodDate)
        HandlerGuard::runReporting(m_report, [&] { applyPeriodTimetable(now.date()); });
    m_trayTooltip->update(now);
    m_sessionWatch->tick(now.date(), m_trayTooltip->bellRemainsToday());
    // Nobody sees the clock of a window in the tray or minimized, and repainting it each second
    // is most of what the waiting program costs; it is set again as the window comes back.
    if (!isVisible() || isMinimized())
        return;
    const QLocale locale;
    QString shown = locale.toString(now.date(), QLocale::ShortFormat);
    // Like the platform's date-time text, midnight shows the date alone.
    if (now.time() != QTime(0, 0))
        shown += QLatin1Char(' ') + now.time().toString(QStringLiteral("HH:mm:ss"));
    statPanels[0]->setText(tr("当前时间：%1").arg(shown));
    tsplaylist->dayView->tick(now);
}

void TfrmMain::tmrMusicPlayTimer()
{
    // Armed before the check runs: a box opened by a starting task keeps the ticks coming.
    tmrMusicPlay.start(DueTimeCheck::MsUntilNextTick(m_services.clock->msecsSinceEpoch()));
    m_dueTimeCheck.Tick(
        *m_services.clock, data.timetable(), data.holidays(),
        [this](const QString& key) { playback->StartTask(key); }, m_report);
    // Aimed again now that the check knows whether the next second has a prepared task.
    if (tmrMusicPlay.isActive())
        tmrMusicPlay.start(m_dueTimeCheck.MsUntilTick(m_services.clock->msecsSinceEpoch()));
}

void TfrmMain::tmrCycleTimer()
{
    playback->tmrCycleTimer();
}

void TfrmMain::N4Click()
{
    // Ends every event loop, also those of open boxes and dialogs.
    QApplication::exit(0);
}

void TfrmMain::RestoreFromTray()
{
    showNormal();
    raise();
    activateWindow();
}

void TfrmMain::changeEvent(QEvent* event)
{
    TfmBaseFrm::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && !isMinimized())
        tmrSystemTimer();
}

void TfrmMain::closeEvent(QCloseEvent* event)
{
    // Closing never ends the program: it goes to the tray, or to the taskbar where no tray exists.
    event->ignore();
    if (m_services.trayAvailable)
        hide();
    else
        showMinimized();
}
