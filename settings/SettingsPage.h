#pragma once
#include <QCoreApplication>
#include <QWidget>

class QCheckBox;
class QDateEdit;
class QDateTimeEdit;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTreeWidget;

// The "基本设置" page: holidays, background music, volumes, start with log-on and automatic
// shutdown.
class SettingsPage : public QWidget {
    Q_DECLARE_TR_FUNCTIONS(SettingsPage)

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
    // Master volumes in percent, and the level the background music goes down to under a task.
    QSpinBox* spnTaskVolume;
    QSpinBox* spnMusicVolume;
    QSpinBox* spnDuckLevel;
    QCheckBox* chkAutoStart;
    // Seconds after its time that a bell skipped by a clock jump or a sleep still rings.
    QSpinBox* spnLateBellGrace;
    // Keep an idle machine awake while bells remain today.
    QCheckBox* chkStayAwake;
    QCheckBox* chkShotdown;
    // Its time of day is the shutdown time; its date makes the moment the countdown aims at.
    QDateTimeEdit* dtpShotdownTime;
    QCheckBox* chkShowGuanjiHint;
    QLineEdit* edtGuanjiHintFengzhong;
    // The group "安全设置" is never shown; its button opens the password dialog.
    QPushButton* btn4;
    // Working weekdays: never shown, but loaded and saved.
    QCheckBox* chkMonday;
    QCheckBox* chkTuesday;
    QCheckBox* chkWednesday;
    QCheckBox* chkThursday;
    QCheckBox* chkFriday;
    QCheckBox* chkSaturday;
    QCheckBox* chkSunday;
};
