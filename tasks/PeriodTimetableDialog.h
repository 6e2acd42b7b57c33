#pragma once
// "作息时间表": the school's periods entered once, the bells chosen once, the weekdays and the
// holidays, for one or several timetables with the day of the year each applies from. Saving
// writes the bells of the timetable in force as ordinary tasks through the owner.
#include "storage/PeriodTimetable.h"

#include <QCoreApplication>
#include <QDialog>

#include <vector>

class IClock;
class IMessageBoxes;
class ProgramData;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;

class PeriodTimetableDialog : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(PeriodTimetableDialog)

public:
    PeriodTimetableDialog(ProgramData& data, IMessageBoxes& boxes, const IClock& clock, QWidget* owner = nullptr);

    // Checks every timetable, asks about hand-made tasks in a bell's second, and saves; the
    // dialog closes when saved. False when nothing was written.
    bool save();
    // A period after the selected one (or the last): as long as the one before, starting the
    // break's minutes after its end.
    void addPeriod();
    void removePeriod();
    void movePeriod(int by);
    // A new timetable, a copy of the one shown, so a winter timetable starts from the summer one.
    // Deleting the last one leaves none: saving then removes the bells the timetables wrote.
    void newTimetable();
    void deleteTimetable();

    QComboBox* cbxTimetable;
    QPushButton* btnNewTimetable;
    QPushButton* btnDeleteTimetable;
    QLineEdit* edtName;
    QDateEdit* dtpFrom;
    QTableWidget* tblPeriods;
    QSpinBox* spnBreak;
    QPushButton* btnAddPeriod;
    QPushButton* btnRemovePeriod;
    QPushButton* btnUp;
    QPushButton* btnDown;
    QComboBox* cbxClassBell;
    QComboBox* cbxEndBell;
    QComboBox* cbxWarningBell;
    QSpinBox* spnWarningMinutes;
    // Names a stored bell that has left the library.
    QLabel* lblBellsGone;
    QCheckBox* chkWeekdays[7];
    QCheckBox* chkHolidaysKeepSilent;
    QPushButton* btnSave;
    QPushButton* btnCancel;

private:
    void buildDialog();
    // Between the form and the timetable being edited.
    void showForm(const PeriodTimetable& timetable);
    // The form as a timetable; a time cell that does not read is named in problems.
    PeriodTimetable formTimetable(QStringList* problems = nullptr) const;
    void keepForm();
    void showTimetable(int index);
    void setFormEnabled(bool enabled);
    void setRow(int row, const Period& period);

    ProgramData& m_data;
    IMessageBoxes& m_boxes;
    const IClock& m_clock;
    std::vector<PeriodTimetable> m_timetables;
    int m_shown = -1;
};
