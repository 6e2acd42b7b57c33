#include "schedule/AutomaticShutdown.h"

#include "platform/Clock.h"
#include "platform/Errors.h"
#include "platform/Guard.h"
#include "platform/ShutdownRequest.h"
#include "schedule/ShotdownHint.h"
#include "storage/ConfigFile.h"
#include "storage/TimeText.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QLineEdit>
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
                                     const IClock& clock, IShutdownRequest& shutdown,
                                     const HandlerGuard& guard, std::function<void()> exitProgram)
    : m_controls(controls),
      m_tmrShotdown(tmrShotdown),
      m_clock(clock),
      m_shutdown(shutdown),
      m_guard(guard),
      m_exitProgram(std::move(exitProgram))
{
    // toggled, not clicked: the settings load switches them by code and must run the handlers.
    QObject::connect(m_controls.chkShotdown, &QCheckBox::toggled, &m_connections,
                     m_guard.wrap([this] { chkShotdownClick(); }));
    QObject::connect(m_controls.chkShowGuanjiHint, &QCheckBox::toggled, &m_connections,
                     m_guard.wrap([this] { chkShowGuanjiHintClick(); }));
    QObject::connect(&m_tmrShotdown, &QTimer::timeout, &m_connections,
                     m_guard.wrap([this] { tmrShotdownTimer(); }));
}

AutomaticShutdown::~AutomaticShutdown() = default;

void AutomaticShutdown::LoadShutdownSettings()
{
    const Settings settings = ReadSettings();
    const QString& timeText = settings.shotdownTime;
    bool ok = false;
    const QTime time = ParseTimeText(timeText, &ok);
    if (!ok)
        throw ConversionError(
            QStringLiteral("Config.ini 中 [base] 的 ShotdownTime 不是有效的时间：'%1'").arg(timeText));
    m_controls.dtpShotdownTime->setTime(time);
    m_controls.edtGuanjiHintFengzhong->setText(settings.guanjiHintFengzhong);
    m_controls.chkShotdown->setChecked(settings.shotdown);
    m_controls.chkShowGuanjiHint->setChecked(settings.shotdownHint);
}

void AutomaticShutdown::chkShotdownClick()
{
    const bool on = m_controls.chkShotdown->isChecked();
    const QDateTime now = m_clock.now();
    // A time already past today means tomorrow's, so the countdown aims at the right day.
    const QDate today = now.date();
    const QTime time = m_controls.dtpShotdownTime->time();
    // Date and time together: on a picker that shows only the time, setDate() loses the time.
    m_controls.dtpShotdownTime->setDateTime(
        QDateTime(now.time() > time ? today.addDays(1) : today, time));
    m_controls.dtpShotdownTime->setEnabled(!on);
    m_controls.chkShowGuanjiHint->setEnabled(on);
    if (on) {
        WriteShotdown(true);
        WriteShotdownTime(FormatTimeText(m_controls.dtpShotdownTime->time()));
    } else {
        // Its handler closes the countdown window.
        m_controls.chkShowGuanjiHint->setChecked(false);
        WriteShotdown(false);
    }
    if (on)
        m_tmrShotdown.start();
    else
        m_tmrShotdown.stop();
}

void AutomaticShutdown::chkShowGuanjiHintClick()
{
    const bool on = m_controls.chkShowGuanjiHint->isChecked();
    if (on) {
        const QString minutes = m_controls.edtGuanjiHintFengzhong->text();
        WriteShotdownHint(true);
        WriteGuanjiHintFengzhong(minutes);
        if (minutes.isEmpty() || minutes == QLatin1String("0"))
            openCountdownWindow();
    } else {
        WriteShotdownHint(false);
        m_hint.reset();
    }
    m_controls.edtGuanjiHintFengzhong->setEnabled(!on);
}

void AutomaticShutdown::tmrShotdownTimer()
{
    const QDateTime now = m_clock.now();
    if (m_controls.chkShowGuanjiHint->isChecked() && !m_hint) {
        const qint64 lead = LeadMinutes(m_controls.edtGuanjiHintFengzhong->text());
        // Only while none exists: one closed by hand stays closed.
        if (now >= shutdownMoment().addSecs(-lead * 60))
            openCountdownWindow();
    }

    const int late =
        (SecondOfDay(now.time()) - SecondOfDay(m_controls.dtpShotdownTime->time()) + SecondsPerDay) %
        SecondsPerDay;
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
    m_guard.show(error.isEmpty() ? QStringLiteral("系统拒绝了自动关机的请求") : error);
}

void AutomaticShutdown::openCountdownWindow()
{
    if (!m_hint)
        m_hint = std::make_unique<TfrmShotdownHint>(m_clock);
    m_hint->SetCountdownTarget(shutdownMoment());
    m_hint->show();
}

QDateTime AutomaticShutdown::shutdownMoment() const
{
    return m_controls.dtpShotdownTime->dateTime();
}
