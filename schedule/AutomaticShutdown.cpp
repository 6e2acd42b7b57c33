#include "schedule/AutomaticShutdown.h"

#include "platform/Clock.h"
#include "platform/Errors.h"
#include "platform/Guard.h"
#include "platform/ShutdownRequest.h"
#include "storage/ProgramData.h"
#include "storage/TimeText.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTimer>

namespace {

constexpr int SecondsPerDay = 24 * 60 * 60;

int SecondOfDay(const QTime& t)
{
    return t.msecsSinceStartOfDay() / 1000;
}

// The countdown lead in minutes. The box has always been read by putting a minus sign in front
// of its text, so a text that already starts with one, or is no whole number, gives no lead.
qint64 LeadMinutes(const QString& text)
{
    bool ok = false;
    const int negated = (QLatin1Char('-') + text).toInt(&ok);
    return ok ? -qint64(negated) : 0;
}

} // namespace

AutomaticShutdown::AutomaticShutdown(const ShutdownControls& controls, QTimer& tmrShotdown,
                                     ProgramData& data, const IClock& clock,
                                     IShutdownRequest& shutdown,
                                     const HandlerGuard& guard, std::function<void()> exitProgram,
                                     CountdownWindowFactory makeCountdown)
    : m_controls(controls),
      m_tmrShotdown(tmrShotdown),
      m_data(data),
      m_clock(clock),
      m_shutdown(shutdown),
      m_guard(guard),
      m_exitProgram(std::move(exitProgram)),
      m_makeCountdown(std::move(makeCountdown))
{
    // toggled, not clicked: the settings load switches them by code and must run the handlers.
    QObject::connect(m_controls.chkShotdown, &QCheckBox::toggled, &m_connections,
                     m_guard.wrap([this] { chkShotdownClick(); }));
    QObject::connect(m_controls.chkShowGuanjiHint, &QCheckBox::toggled, &m_connections,
                     m_guard.wrap([this] { chkShowGuanjiHintClick(); }));
    QObject::connect(m_controls.dtpShotdownTime, &QDateTimeEdit::timeChanged, &m_connections,
                     m_guard.wrap([this] { dtpShotdownTimeChange(); }));
    QObject::connect(&m_tmrShotdown, &QTimer::timeout, &m_connections,
                     m_guard.wrap([this] { tmrShotdownTimer(); }));
}

AutomaticShutdown::~AutomaticShutdown() = default;

QTime AutomaticShutdown::shutdownTime() const
{
    const QString& timeText = m_data.settings().shotdownTime;
    bool ok = false;
    const QTime time = ParseTimeText(timeText, &ok);
    if (!ok)
        throw ConversionError(
            tr("Config.ini 中 [base] 的 ShotdownTime 不是有效的时间：'%1'").arg(timeText));
    return time;
}

void AutomaticShutdown::changeSettings(const std::function<void()>& write)
{
    try {
        m_data.changeSettings(write);
    } catch (const FileError&) {
        const Settings& settings = m_data.settings();
        const QSignalBlocker quietShutdown(m_controls.chkShotdown);
        const QSignalBlocker quietHint(m_controls.chkShowGuanjiHint);
        m_controls.chkShotdown->setChecked(settings.shotdown);
        m_controls.chkShowGuanjiHint->setChecked(settings.shotdownHint && settings.shotdown);
        m_controls.chkShowGuanjiHint->setEnabled(settings.shotdown);
        m_controls.edtGuanjiHintFengzhong->setEnabled(!m_controls.chkShowGuanjiHint->isChecked());
        if (!settings.shotdown)
            m_tmrShotdown.stop();
        throw;
    }
}

void AutomaticShutdown::LoadShutdownSettings()
{
    const Settings& settings = m_data.settings();
    m_controls.dtpShotdownTime->setTime(shutdownTime());
    m_controls.edtGuanjiHintFengzhong->setText(settings.guanjiHintFengzhong);
    m_controls.chkShotdown->setChecked(settings.shotdown);
    m_controls.chkShowGuanjiHint->setChecked(settings.shotdownHint);
}

void AutomaticShutdown::chkShotdownClick()
{
    const bool on = m_controls.chkShotdown->isChecked();
    const QTime time = m_controls.dtpShotdownTime->time();
    if (on) {
        changeSettings([&time] {
            WriteShotdown(true);
            WriteShotdownTime(FormatTimeText(time));
        });
        aimAt(time);
    } else {
        // Its handler closes the countdown window.
        m_controls.chkShowGuanjiHint->setChecked(false);
        changeSettings([] { WriteShotdown(false); });
    }
    m_controls.chkShowGuanjiHint->setEnabled(on);
    if (on)
        m_tmrShotdown.start();
    else
        m_tmrShotdown.stop();
}

void AutomaticShutdown::aimAt(const QTime& time)
{
    // A time already past today means tomorrow's, so the countdown aims at the right day.
    const QDateTime now = m_clock.now();
    m_moment = QDateTime(now.time() > time ? now.date().addDays(1) : now.date(), time);
    // Date and time together: on a picker that shows only the time, setDate() loses the time.
    const QSignalBlocker quiet(m_controls.dtpShotdownTime);
    m_controls.dtpShotdownTime->setDateTime(m_moment);
}

void AutomaticShutdown::dtpShotdownTimeChange()
{
    // While the shutdown is off the time is only shown; switching it on stores it.
    if (!m_controls.chkShotdown->isChecked())
        return;
    const QTime time = m_controls.dtpShotdownTime->time();
    try {
        changeSettings([&time] { WriteShotdownTime(FormatTimeText(time)); });
    } catch (const FileError&) {
        // The picker goes back to what is in force.
        aimAt(shutdownTime());
        throw;
    }
    aimAt(time);
    if (m_hint)
        m_hint->showCountdown(m_moment);
}

void AutomaticShutdown::chkShowGuanjiHintClick()
{
    const bool on = m_controls.chkShowGuanjiHint->isChecked();
    if (on) {
        const QString minutes = m_controls.edtGuanjiHintFengzhong->text();
        changeSettings([&minutes] {
            WriteShotdownHint(true);
            WriteGuanjiHintFengzhong(minutes);
        });
        if (minutes.isEmpty() || minutes == QLatin1String("0"))
            openCountdownWindow();
    } else {
        m_hint.reset();
        changeSettings([] { WriteShotdownHint(false); });
    }
    m_controls.edtGuanjiHintFengzhong->setEnabled(!on);
}

void AutomaticShutdown::tmrShotdownTimer()
{
    const QDateTime now = m_clock.now();
    const Settings& settings = m_data.settings();
    if (!settings.shotdown)
        return;
    if (settings.shotdownHint && !m_hint) {
        const qint64 lead = LeadMinutes(settings.guanjiHintFengzhong);
        // Only while none exists: one closed by hand stays closed.
        if (now >= m_moment.addSecs(-lead * 60))
            openCountdownWindow();
    }

    const int late =
        (SecondOfDay(now.time()) - SecondOfDay(shutdownTime()) + SecondsPerDay) % SecondsPerDay;
    if (late > LateTickSeconds)
        return;
    const QDateTime setSecond = now.addMSecs(-now.time().msec()).addSecs(-late);
    if (m_requestedFor == setSecond)
        return;
    m_requestedFor = setSecond;
    QString error;
    if (m_shutdown.requestPowerOff(&error)) {
        if (m_exitProgram)
            m_exitProgram();
        return;
    }
    // Refused: the bells go on, and the refusal is shown once.
    m_guard.show(error.isEmpty() ? tr("系统拒绝了自动关机的请求") : error);
}

void AutomaticShutdown::openCountdownWindow()
{
    if (!m_hint)
        m_hint = m_makeCountdown();
    m_hint->showCountdown(m_moment);
}
