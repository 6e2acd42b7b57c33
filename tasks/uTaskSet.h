#pragma once
// The task editor: one task filled in, as a new task or a change to an existing one. It writes
// nothing; the command that opened it reads its properties back and saves the task.
#include "app/BaseFrm.h"
#include "storage/TaskSound.h"
#include "storage/TaskZones.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

class HandlerGuard;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QSpinBox;
class QStackedWidget;
class QToolButton;
class DateField;
class TimeField;

class IClock;
class ProgramData;

class TfrmTaskSet : public TfmBaseFrm {
    Q_DECLARE_TR_FUNCTIONS(TfrmTaskSet)

public:
    enum Mode { AddMode = 1, EditMode = 2 };

    // A fixed date starts at the clock's day. The task's music, the library and the tasks an
    // overwrite is asked about are data's, never the file's.
    TfrmTaskSet(IMessageBoxes& boxes, const HandlerGuard& guard, const IClock& clock,
                const ProgramData& data, QWidget* owner);

    // 1 = add a task, 2 = edit one; only the "确定" check looks at it.
    int DialogMode = AddMode;
    // Kind of music in the list: 1 = audio files, 2 = one directory. Only adding music changes it.
    int SourceType = 1;

    // The properties the commands set before showing and read back after OK.
    void setStartTime(const QString& text);
    QString StartTime() const;
    void setEndTime(const QString& text);
    QString EndTime() const;
    void setLoopCount(int value);
    int LoopCount() const;
    // Seconds from the start; the field shows them as a duration, 00:00:00 for none.
    void setPlayLength(int value);
    int PlayLength() const;
    void setPlayMode(int value);
    int PlayMode() const;
    void setDateType(int value);
    int DateType() const;
    void setDateParams(const QString& text);
    QString DateParams() const;
    // Checked as the box says: the holiday ranges keep the task silent.
    void setExcludeHolidays(bool value);
    bool ExcludeHolidays() const;
    QStringList MusicLines() const;
    // Volume and fades; a value outside a field's range is shown at its nearest end.
    void setSound(const TaskSound& sound);
    TaskSound sound() const;
    // The zones it rings in. The field offers the zones of the settings; names that are zones
    // no more are kept as they were given. With broadcasting off or no zones, what was given
    // is what is read back.
    void setZones(const TaskZones& zones);
    TaskZones zones() const;

    // With flag set, fills the music list from the task's Time entry and the library.
    void LoadTaskMusic(bool flag);

    void btnMusicAddClick();
    void btnMusicDelClick();
    void btnMusicClearClick();
    void btn1Click();
    void cbbPlayDateChange();

    TimeField* dtpTime;
    QLineEdit* edtCycle;
    TimeField* dtpEndTime;
    QPushButton* btnMusicAdd;
    QPushButton* btnMusicDel;
    QPushButton* btnMusicClear;
    QListWidget* lstMusic;
    QGroupBox* grp5;
    QComboBox* cbbPlayMode;
    TimeField* edtPlayLength;
    QComboBox* cbbPlayDate;
    QCheckBox* chkRejectHoliday;
    QSpinBox* spnVolume;
    QSpinBox* spnFadeIn;
    QSpinBox* spnFadeOut;
    // "分区": its menu holds "全部分区" first, then one entry per zone.
    QToolButton* btnZones;
    QMenu* mnuZones;
    QStackedWidget* nbPlayDateParams;
    QCheckBox* chkPlayDateWeek[7];
    QGroupBox* chkgWorkDay;
    QCheckBox* chkgWorkDayItems[31];
    DateField* dtpPlayDateFixedDate;
    QPushButton* btn1;
    QPushButton* btn2;

    // Whether anything differs from what the editor showed when it opened.
    bool Changed() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildForm();
    // Replaces the line of key, or adds it at the end; an empty name removes the key's line.
    void setMusicLine(const QString& key, const QString& name);
    bool confirmOverwrite();
    // The first entry that cannot be stored, with its field focused; empty when all can.
    QString refusal();
    // The zones field's menu, and its text from the entries checked.
    void buildZones();
    void showZones();
    // Everything the user can change, as one list of texts.
    QStringList state() const;
    // Esc, "取消" and the close box: a changed editor asks before its input is thrown away.
    bool mayDiscard();

    const HandlerGuard& m_guard;
    const IClock& m_clock;
    const ProgramData& m_data;
    // The key the task stands under in the file, as it was given (it may lack the leading zero
    // that the picker's text has).
    QString m_givenStartTime;
    QStringList m_shownState;
    // The zones as given; the field changes only what it offers.
    TaskZones m_givenZones;
    // Whether the field offers zones: broadcasting is on and has some.
    bool m_zonesOffered = false;
    // Set once leaving is decided, so the close that follows asks nothing more.
    bool m_leaving = false;
};
