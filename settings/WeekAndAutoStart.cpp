#include "settings/WeekAndAutoStart.h"

#include "platform/Guard.h"
#include "platform/MessageBoxes.h"
#include "platform/StartupRegistration.h"
#include "settings/SettingsPage.h"
#include "storage/IniStore.h"

#include <QCheckBox>
#include <QSignalBlocker>

namespace {

const QString WeekSection = QStringLiteral("Week");
const QString AutoStartKey = QStringLiteral("AutoStart");
const QString One = QStringLiteral("1");
const QString Zero = QStringLiteral("0");

} // namespace

WeekAndAutoStart::WeekAndAutoStart(SettingsPage& page, IStartupRegistration& registration,
                                   IMessageBoxes& boxes, const HandlerGuard& guard, QWidget* owner,
                                   const QString& executablePath)
    : m_chkAutoStart(page.chkAutoStart),
      // Saturday has always been read as "SaturDay"; names match without regard to case.
      m_weekdays{{{page.chkMonday, "Monday", "Monday", One},
                  {page.chkTuesday, "Tuesday", "Tuesday", One},
                  {page.chkWednesday, "Wednesday", "Wednesday", One},
                  {page.chkThursday, "Thursday", "Thursday", One},
                  {page.chkFriday, "Friday", "Friday", One},
                  {page.chkSaturday, "Saturday", "SaturDay", Zero},
                  {page.chkSunday, "Sunday", "Sunday", Zero}}},
      m_registration(registration),
      m_boxes(boxes),
      m_owner(owner),
      m_executablePath(executablePath)
{
    // Run on a change made by the load as on a click.
    QObject::connect(m_chkAutoStart, &QCheckBox::toggled, &m_receiver,
                     guard.wrap([this] { chkAutoStartClick(); }));
    for (const Weekday& day : m_weekdays) {
        QCheckBox* box = day.box;
        QObject::connect(box, &QCheckBox::toggled, &m_receiver,
                         guard.wrap([this, box] { chkFridayClick(box); }));
    }
}

void WeekAndAutoStart::LoadWeekAndAutoStart()
{
    for (const Weekday& day : m_weekdays)
        day.box->setChecked(ReadConfigString(WeekSection, day.readKey, day.def) == One);

    // At start a failure gets this box rather than the standard one, and the load goes on.
    try {
        const bool on = ReadConfigString(QStringLiteral("Base"), AutoStartKey, One) == One;
        if (m_chkAutoStart->isChecked() != on) {
            {
                const QSignalBlocker quiet(m_chkAutoStart);
                m_chkAutoStart->setChecked(on);
            }
            chkAutoStartClick();
        }
    } catch (...) {
        m_boxes.ErrorBox(m_owner, QStringLiteral("开启随系统自启动失败：无法写入自动启动目录。"));
    }
}

void WeekAndAutoStart::chkAutoStartClick()
{
    if (!m_registration.open())
        return;
    if (m_chkAutoStart->isChecked()) {
        m_registration.registerProgram(m_executablePath);
        WriteConfigString(QStringLiteral("base"), AutoStartKey, One);
    } else {
        m_registration.unregisterProgram();
        WriteConfigString(QStringLiteral("base"), AutoStartKey, Zero);
    }
}

void WeekAndAutoStart::chkFridayClick(QCheckBox* box)
{
    if (const Weekday* day = weekdayOf(box))
        WriteConfigString(WeekSection, day->key, box->isChecked() ? One : Zero);
}

const WeekAndAutoStart::Weekday* WeekAndAutoStart::weekdayOf(const QCheckBox* box) const
{
    for (const Weekday& day : m_weekdays)
        if (day.box == box)
            return &day;
    return nullptr;
}
