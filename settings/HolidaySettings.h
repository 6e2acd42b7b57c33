#pragma once
// The group "节假日设置": holiday ranges kept in section Holiday of Config.ini, one begin day
// as key and its end day as value ("M-D"), written and read back through the program's data.
#include <QCoreApplication>
#include <QStringList>

#include <functional>

class HandlerGuard;
class IClock;
class IMessageBoxes;
class ProgramData;
class SettingsPage;

class HolidaySettings {
    Q_DECLARE_TR_FUNCTIONS(HolidaySettings)

public:
    // Each change is written through data and read back into its HolidayList; lines of it that
    // are no range are shown in one WarningBox. A change Config.ini refuses is reported. The
    // pickers start at the clock's month and day.
    HolidaySettings(SettingsPage& page, ProgramData& data, IMessageBoxes& boxes,
                    const HandlerGuard& guard, const IClock& clock);

    // The rows from data's HolidayList, in the order of their first day in the year.
    void LoadHolidays();
    void btnHolidaySaveClick();
    void btnHolidayDelClick();

private:
    // Runs write through data, then shows the ranges as the file holds them.
    void change(const std::function<void()>& write);

    SettingsPage& m_page;
    ProgramData& m_data;
    IMessageBoxes& m_boxes;
};

// "M-D" without leading zeros: the form of the section's keys and values.
QString MonthDayText(int month, int day);
