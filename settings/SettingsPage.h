#pragma once
#include <QWidget>

class QCheckBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
class QTimeEdit;
class QTreeWidget;

// The "基本设置" page: holidays, background music, start with log-on and automatic shutdown.
class SettingsPage : public QWidget {
public:
    explicit SettingsPage(QWidget* parent = nullptr);

    QTreeWidget* lvHoliday;
    QDateEdit* dtpHolidayBegin;
    QDateEdit* dtpHolidayEnd;
    QPushButton* btnHolidaySave;
    QPushButton* btnHolidayDel;
    QCheckBox* chkPlayBackgroupMusic;
    QLineEdit* edtBackgroupMusicFile;
    QPushButton* btnSelectBackgroupMusic;
    QCheckBox* chkAutoStart;
    QCheckBox* chkShotdown;
    QTimeEdit* dtpShotdownTime;
    QCheckBox* chkShowGuanjiHint;
    QLineEdit* edtGuanjiHintFengzhong;
    // Working weekdays: never shown, but loaded and saved.
    QCheckBox* chkMonday;
    QCheckBox* chkTuesday;
    QCheckBox* chkWednesday;
    QCheckBox* chkThursday;
    QCheckBox* chkFriday;
    QCheckBox* chkSaturday;
    QCheckBox* chkSunday;
};
