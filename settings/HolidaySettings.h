#pragma once
// The group "节假日设置": holiday ranges kept in section Holiday of Config.ini, one begin day
// as key and its end day as value ("M-D"), and the due-time check's copy of them.
#include <QStringList>

class HandlerGuard;
class IMessageBoxes;
class ProgramData;
class SettingsPage;

class HolidaySettings {
public:
    // Each change is read back into data's HolidayList; lines of it that are no range are
    // shown in one WarningBox.
    HolidaySettings(SettingsPage& page, ProgramData& data, IMessageBoxes& boxes,
                    const HandlerGuard& guard);

    void LoadHolidays();
    void btnHolidaySaveClick();
    void btnHolidayDelClick();

private:
    void refillHolidayList();

    SettingsPage& m_page;
    ProgramData& m_data;
    IMessageBoxes& m_boxes;
};

// Fills holidayList from section Holiday of Config.ini; returns one Chinese message per line
// that is no range (the due-time check skips those), empty when all are good.
QStringList ReadHolidayList(QStringList& holidayList);

// "M-D" without leading zeros: the form of the section's keys and values.
QString MonthDayText(int month, int day);
