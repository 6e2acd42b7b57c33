#include "settings/WeekAndAutoStart.h"

#include "platform/Guard.h"
#include "platform/MessageBoxes.h"
#include "platform/StartupRegistration.h"
#include "settings/SettingsPage.h"
#include "storage/ProgramData.h"

#include <QCheckBox>
#include <QSignalBlocker>

#include <algorithm>

WeekAndAutoStart::WeekAndAutoStart(SettingsPage& page, ProgramData& data,
                                   IStartupRegistration& registration, IMessageBoxes& boxes, const HandlerGuard& guard, QWidget* owner,
                                   const QString& executablePath)
    : m_chkAutoStart(page.chkAutoStart),
      m_weekdays{page.chkMonday, page.chkTuesday, page.chkWednesday, page.chkThursday,
                 page.chkFriday, page.chkSaturday, page.chkSunday},
      m_data(data),
      m_registration(registration),
      m_boxes(boxes),
      m_owner(owner),
      m_executablePath(executablePath)
{
    // Run on a change made by the load as on a click.
    QObject::connect(m_chkAutoStart, &QCheckBox::toggled, &m_receiver,
                     guard.wrap([this] { chkAutoStartClick(); }));
    for (QCheckBox* box : m_weekdays) {
        QObject::connect(box, &QCheckBox::toggled, &m_receiver,
                         guard.wrap([this, box] { chkFridayClick(box); }));
    }
}

void WeekAndAutoStart::LoadWeekAndAutoStart()
{
    const Settings settings = m_data.settings();
    for (size_t i = 0; i < m_weekdays.size(); ++i)
        m_weekdays[i]->setChecked(settings.workingDays[i]);

    // At start a failure gets this box rather than the standard one, and the load goes on.
    try {
        const bool on = settings.autoStart;
        if (m_chkAutoStart->isChecked() != on) {
            {
                const QSignalBlocker quiet(m_chkAutoStart);
                m_chkAutoStart->setChecked(on);
            }
            chkAutoStartClick();
        }
    } catch (...) {
        m_boxes.ErrorBox(m_owner, tr("开启随系统自启动失败：无法写入自动启动目录。"));
    }
}

void WeekAndAutoStart::chkAutoStartClick()
{
    if (!m_registration.open())
        return;
    if (m_chkAutoStart->isChecked()) {
        m_registration.registerProgram(m_executablePath);
        m_data.changeSettings([] { WriteAutoStart(true); });
    } else {
        m_registration.unregisterProgram();
        m_data.changeSettings([] { WriteAutoStart(false); });
    }
}

void WeekAndAutoStart::chkFridayClick(QCheckBox* box)
{
    const auto at = std::find(m_weekdays.begin(), m_weekdays.end(), box);
    if (at == m_weekdays.end())
        return;
    const int day = int(at - m_weekdays.begin()) + 1;
    SaveBoxSetting(
        m_data, box, [day](bool on) { WriteWorkingDay(day, on); },
        [day](const Settings& s) { return s.workingDays[std::size_t(day - 1)]; });
}
