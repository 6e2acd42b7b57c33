#include "settings/SettingsPage.h"

#include "storage/ConfigFile.h"

#include "platform/ReportView.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QDateTimeEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

SettingsPage::SettingsPage(QWidget* parent) : QWidget(parent)
{
    auto* holidays = new QGroupBox(tr("节假日设置"), this);
    lvHoliday = new QTreeWidget(holidays);
    MakeReportView(lvHoliday, tr("节假日"), false);
    lvHoliday->setHeaderLabels({tr("开始时间"), tr("结束时间"), QStringLiteral("ConfigKey")});
    lvHoliday->setColumnWidth(0, 100);
    lvHoliday->setColumnWidth(1, 100);
    lvHoliday->setColumnHidden(2, true);
    QPalette pale = lvHoliday->palette();
    pale.setColor(QPalette::Base, QColor(238, 249, 242));
    lvHoliday->setPalette(pale);
    dtpHolidayBegin = new QDateEdit(holidays);
    dtpHolidayBegin->setDisplayFormat(QStringLiteral("MM-dd"));
    dtpHolidayBegin->setAccessibleName(tr("开始日期"));
    dtpHolidayEnd = new QDateEdit(holidays);
    dtpHolidayEnd->setDisplayFormat(QStringLiteral("MM-dd"));
    dtpHolidayEnd->setAccessibleName(tr("结束日期"));
    // A leap year, so that 02-29 can be picked; the year itself is never shown or stored. The
    // holiday settings set today's month and day.
    for (QDateEdit* picker : {dtpHolidayBegin, dtpHolidayEnd})
        picker->setDate(QDate(2000, 1, 1));
    btnHolidaySave = new QPushButton(tr("保存"), holidays);
    btnHolidayDel = new QPushButton(tr("删除"), holidays);
    auto* pickers = new QHBoxLayout;
    pickers->addWidget(new QLabel(tr("日期："), holidays));
    pickers->addWidget(dtpHolidayBegin);
    pickers->addWidget(new QLabel(QStringLiteral(">>"), holidays));
    pickers->addWidget(dtpHolidayEnd);
    pickers->addStretch();
    auto* holidayButtons = new QHBoxLayout;
    holidayButtons->addStretch();
    holidayButtons->addWidget(btnHolidaySave);
    holidayButtons->addWidget(btnHolidayDel);
    auto* holidayLayout = new QVBoxLayout(holidays);
    holidayLayout->addWidget(lvHoliday, 1);
    holidayLayout->addLayout(pickers);
    holidayLayout->addLayout(holidayButtons);

    auto* background = new QGroupBox(tr("背景音乐设置"), this);
    chkPlayBackgroupMusic = new QCheckBox(tr("播放背景音乐"), background);
    edtBackgroupMusicFile = new QLineEdit(background);
    edtBackgroupMusicFile->setReadOnly(true);
    edtBackgroupMusicFile->setAccessibleName(tr("背景音乐文件"));
    btnSelectBackgroupMusic = new QPushButton(QStringLiteral("..."), background);
    btnSelectBackgroupMusic->setAccessibleName(tr("选择背景音乐"));
    btnSelectBackgroupMusic->setFixedWidth(32);
    auto* backgroundLayout = new QGridLayout(background);
    backgroundLayout->addWidget(chkPlayBackgroupMusic, 0, 0, 1, 2);
    backgroundLayout->addWidget(edtBackgroupMusicFile, 1, 0);
    backgroundLayout->addWidget(btnSelectBackgroupMusic, 1, 1);

    auto* sound = new QGroupBox(tr("音量"), this);
    auto* soundLayout = new QGridLayout(sound);
    // Saved once the number is complete, not at each digit.
    auto percent = [sound, soundLayout](const QString& caption, int max, int value, const QString& hint) {
        auto* spin = new QSpinBox(sound);
        spin->setRange(0, max);
        spin->setValue(value);
        spin->setSuffix(QStringLiteral(" %"));
        spin->setKeyboardTracking(false);
        spin->setAccessibleName(caption);
        spin->setToolTip(hint);
        auto* text = new QLabel(caption, sound);
        text->setBuddy(spin);
        const int row = soundLayout->rowCount();
        soundLayout->addWidget(text, row, 0);
        soundLayout->addWidget(spin, row, 1);
        return spin;
    };
    const Settings defaults;
    spnTaskVolume = percent(tr("铃声音量："), MaxMasterVolume, defaults.taskVolume,
                            tr("所有定时任务的音量；每个任务还可另设自己的音量"));
    spnMusicVolume = percent(tr("背景音乐音量："), MaxMasterVolume, defaults.musicVolume,
                             tr("背景音乐的音量"));
    spnDuckLevel = percent(tr("播放任务时背景音乐降至："), MaxDuckLevel, defaults.duckLevel,
                           tr("任务播放期间背景音乐降到其音量的百分之几；0 表示静音"));
    soundLayout->setColumnStretch(2, 1);

    auto* basic = new QGroupBox(tr("基本设置"), this);
    chkAutoStart = new QCheckBox(tr("随系统自动启动"), basic);
    spnLateBellGrace = new QSpinBox(basic);
    spnLateBellGrace->setRange(0, MaxLateBellGrace);
    spnLateBellGrace->setValue(60);
    spnLateBellGrace->setSuffix(tr(" 秒内"));
    spnLateBellGrace->setSpecialValueText(tr("不补播"));
    // Saved once the number is complete, not at each digit.
    spnLateBellGrace->setKeyboardTracking(false);
    spnLateBellGrace->setAccessibleName(tr("时钟跳过的铃声补播："));
    auto* graceLabel = new QLabel(tr("时钟跳过的铃声补播："), basic);
    graceLabel->setBuddy(spnLateBellGrace);
    auto* basicLayout = new QGridLayout(basic);
    basicLayout->addWidget(chkAutoStart, 0, 0, 1, 2);
    basicLayout->addWidget(graceLabel, 1, 0);
    basicLayout->addWidget(spnLateBellGrace, 1, 1);
    chkStayAwake = new QCheckBox(tr("今天还有铃声时阻止计算机休眠"), basic);
    chkStayAwake->setChecked(true);
    basicLayout->addWidget(chkStayAwake, 2, 0, 1, 2);

    auto* shutdown = new QGroupBox(tr("自动关机"), this);
    chkShotdown = new QCheckBox(tr("自动关闭计算机"), shutdown);
    dtpShotdownTime = new QDateTimeEdit(shutdown);
    dtpShotdownTime->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    dtpShotdownTime->setAccessibleName(tr("关机时间"));
    // A time being typed is stored once it is complete (Enter, leaving the field, or a step).
    dtpShotdownTime->setKeyboardTracking(false);
    chkShowGuanjiHint = new QCheckBox(tr("显示剩余倒计时"), shutdown);
    chkShowGuanjiHint->setEnabled(false);
    edtGuanjiHintFengzhong = new QLineEdit(QStringLiteral("1"), shutdown);
    edtGuanjiHintFengzhong->setAccessibleName(tr("分钟"));
    edtGuanjiHintFengzhong->setFixedWidth(50);
    auto* shutdownLayout = new QGridLayout(shutdown);
    shutdownLayout->addWidget(chkShotdown, 0, 0);
    shutdownLayout->addWidget(dtpShotdownTime, 0, 1);
    shutdownLayout->addWidget(chkShowGuanjiHint, 1, 0);
    auto* minutes = new QHBoxLayout;
    minutes->addWidget(edtGuanjiHintFengzhong);
    minutes->addWidget(new QLabel(tr("分钟"), shutdown));
    minutes->addStretch();
    shutdownLayout->addLayout(minutes, 1, 1);

    auto* security = new QGroupBox(tr("安全设置"), this);
    btn4 = new QPushButton(tr("设置软件锁定密码"), security);
    (new QVBoxLayout(security))->addWidget(btn4);
    security->hide();

    // Kept as controls so their values load and save; the page does not show them.
    auto weekday = [this](const QString& caption) {
        auto* box = new QCheckBox(caption, this);
        box->hide();
        return box;
    };
    chkMonday = weekday(tr("星期一"));
    chkTuesday = weekday(tr("星期二"));
    chkWednesday = weekday(tr("星期三"));
    chkThursday = weekday(tr("星期四"));
    chkFriday = weekday(tr("星期五"));
    chkSaturday = weekday(tr("星期六"));
    chkSunday = weekday(tr("星期日"));

    auto* right = new QVBoxLayout;
    right->addWidget(background);
    right->addWidget(sound);
    right->addWidget(basic);
    right->addWidget(shutdown);
    right->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(holidays, 1);
    layout->addLayout(right, 1);
}
