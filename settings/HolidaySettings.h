#pragma once
// The group "节假日设置": holiday ranges kept in section Holiday of Config.ini, one begin day
// as key and its end day as value ("M-D"), and the due-time check's copy of them.
#include <QStringList>

class HandlerGuard;
class IClock;
class IMessageBoxes;
class QTimer;
class SettingsPage;

class HolidaySettings {
public:
    // tmrMusicPlay is stopped while holidayList is refilled and then re-armed from the clock,
    // so the due-time check goes on ticking just after each second. Lines of the refilled list
    // that are no range are shown in one WarningBox.
    HolidaySettings(SettingsPage& page, QStringList& holidayList, QTimer& tmrMusicPlay,
                    const IClock& clock, IMessageBoxes& boxes, const HandlerGuard& guard);

    void LoadHolidays();
    void btnHolidaySaveClick();
    void btnHolidayDelClick();

private:
    void refillHolidayList();

    SettingsPage& m_page;
    QStringList& m_holidayList;
    QTimer& m_tmrMusicPlay;
    const IClock& m_clock;
    IMessageBoxes& m_boxes;
};

// Fills holidayList from section Holiday of Config.ini; returns one Chinese message per line
// that is no range (the due-time check skips those), empty when all are good.
QStringList ReadHolidayList(QStringList& holidayList);

// "M-D" without leading zeros: the form of the section's keys and values.
QString MonthDayText(int month, int day);
