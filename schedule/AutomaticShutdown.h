#pragma once
// Switching the machine off at a set time of day, with the countdown window before it.
// The controls live on the settings page; the main window owns the timer and the services.
#include <QDateTime>
#include <QObject>

#include <functional>
#include <memory>
#include <optional>

class HandlerGuard;
class IClock;
class IShutdownRequest;
class QCheckBox;
class QDateTimeEdit;
class QLineEdit;
class QTimer;
class TfrmShotdownHint;

struct ShutdownControls {
    QCheckBox* chkShotdown = nullptr;
    // Its time of day is the shutdown time; its date makes the moment the countdown aims at.
    QDateTimeEdit* dtpShotdownTime = nullptr;
    QCheckBox* chkShowGuanjiHint = nullptr;
    // Minutes before the shutdown at which the countdown window opens.
    QLineEdit* edtGuanjiHintFengzhong = nullptr;
};

class AutomaticShutdown {
public:
    // A set second is still served by a tick up to this many seconds late, since a one-second
    // timer can skip a second.
    static constexpr int LateTickSeconds = 5;

    // Connects to the check boxes and to tmrShotdown itself, each handler inside guard.
    // exitProgram ends the program once the power-off has been accepted.
    AutomaticShutdown(const ShutdownControls& controls, QTimer& tmrShotdown, const IClock& clock,
                      IShutdownRequest& shutdown, const HandlerGuard& guard,
                      std::function<void()> exitProgram);
    ~AutomaticShutdown();
    AutomaticShutdown(const AutomaticShutdown&) = delete;
    AutomaticShutdown& operator=(const AutomaticShutdown&) = delete;

    // Reads [base] of Config.ini into the controls. Raises ConversionError when ShotdownTime
    // holds no time; the settings after it are then not read.
    void LoadShutdownSettings();
    void chkShotdownClick();
    void chkShowGuanjiHintClick();
    void tmrShotdownTimer();

    // The countdown window, nullptr while there is none.
    TfrmShotdownHint* countdownWindow() const { return m_hint.get(); }

private:
    void openCountdownWindow();
    QDateTime shutdownMoment() const;

    ShutdownControls m_controls;
    QTimer& m_tmrShotdown;
    const IClock& m_clock;
    IShutdownRequest& m_shutdown;
    const HandlerGuard& m_guard;
    std::function<void()> m_exitProgram;
    std::unique_ptr<TfrmShotdownHint> m_hint;
    // The set second whose window has been served, so that the later ticks in it do not ask again.
    std::optional<QDateTime> m_requestedFor;
    // Context of the connections; declared last, so they go before anything they use.
    QObject m_connections;
};
