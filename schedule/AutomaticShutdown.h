#pragma once
// Switching the machine off at a set time of day, with the countdown window before it.
// The controls live on the settings page; the main window owns the timer and the services.
#include <QCoreApplication>
#include <QDateTime>
#include <QObject>

#include <functional>
#include <memory>
#include <optional>

class HandlerGuard;
class IClock;
class IShutdownRequest;
class ProgramData;
class QCheckBox;
class QDateTimeEdit;
class QLineEdit;
class QTimer;

// The countdown window before the shutdown; the main window makes it, so that this folder
// holds no window of its own.
class ICountdownWindow {
public:
    virtual ~ICountdownWindow() = default;
    // Aims the countdown at moment and shows the window.
    virtual void showCountdown(const QDateTime& moment) = 0;
};
using CountdownWindowFactory = std::function<std::unique_ptr<ICountdownWindow>()>;

// Where the settings are shown and changed; what is in force is data's settings, written
// when a box is checked.
struct ShutdownControls {
    QCheckBox* chkShotdown = nullptr;
    // The shutdown time, stored when the shutdown is switched on and at each change while it
    // is on; its date shows the day it aims at.
    QDateTimeEdit* dtpShotdownTime = nullptr;
    QCheckBox* chkShowGuanjiHint = nullptr;
    // Minutes before the shutdown at which the countdown window opens, stored when the
    // countdown is switched on.
    QLineEdit* edtGuanjiHintFengzhong = nullptr;
};

class AutomaticShutdown {
    Q_DECLARE_TR_FUNCTIONS(AutomaticShutdown)

public:
    // A set second is still served by a tick up to this many seconds late, since a one-second
    // timer can skip a second.
    static constexpr int LateTickSeconds = 5;

    // Connects to the check boxes and to tmrShotdown itself, each handler inside guard.
    // exitProgram ends the program once the power-off has been accepted; makeCountdown makes
    // the countdown window when it is first needed.
    AutomaticShutdown(const ShutdownControls& controls, QTimer& tmrShotdown, ProgramData& data,
                      const IClock& clock, IShutdownRequest& shutdown, const HandlerGuard& guard,
                      std::function<void()> exitProgram, CountdownWindowFactory makeCountdown);
    ~AutomaticShutdown();
    AutomaticShutdown(const AutomaticShutdown&) = delete;
    AutomaticShutdown& operator=(const AutomaticShutdown&) = delete;

    // Shows data's shutdown settings in the controls, which puts them in force. Raises
    // ConversionError when ShotdownTime holds no time; the settings after it are then not shown.
    void LoadShutdownSettings();
    void chkShotdownClick();
    void chkShowGuanjiHintClick();
    // A changed time is stored at once while the shutdown is on.
    void dtpShotdownTimeChange();
    void tmrShotdownTimer();

    // The countdown window, nullptr while there is none.
    ICountdownWindow* countdownWindow() const { return m_hint.get(); }

private:
    void openCountdownWindow();
    // The moment is the time on the day it comes next; the picker shows it.
    void aimAt(const QTime& time);
    // The stored shutdown time; raises ConversionError naming the key when it holds no time.
    QTime shutdownTime() const;
    // Runs a change of the settings; a refusal puts the boxes back as the file holds them.
    void changeSettings(const std::function<void()>& write);

    ShutdownControls m_controls;
    QTimer& m_tmrShotdown;
    ProgramData& m_data;
    // The moment the countdown aims at: the shutdown time on the day it comes next after the
    // shutdown was switched on.
    QDateTime m_moment;
    const IClock& m_clock;
    IShutdownRequest& m_shutdown;
    const HandlerGuard& m_guard;
    std::function<void()> m_exitProgram;
    CountdownWindowFactory m_makeCountdown;
    std::unique_ptr<ICountdownWindow> m_hint;
    // The set second whose window has been served, so that the later ticks in it do not ask again.
    std::optional<QDateTime> m_requestedFor;
    // Context of the connections; declared last, so they go before anything they use.
    QObject m_connections;
};
