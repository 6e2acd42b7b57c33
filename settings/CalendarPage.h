#pragma once
// The "校历" page: the school calendar's dated holiday ranges and make-up working days, added
// and deleted through the owner of the program's data (which refuses a conflict with a clear
// message and writes nothing then), and the calendar's import and export as iCalendar.
#include <QCoreApplication>
#include <QWidget>

class HandlerGuard;
class IClock;
class IDialogs;
class IMessageBoxes;
class ProgramData;
class QComboBox;
class QDateEdit;
class QPushButton;
class QTreeWidget;

class CalendarPage : public QWidget {
    Q_DECLARE_TR_FUNCTIONS(CalendarPage)

public:
    // The date pickers start at the clock's today.
    CalendarPage(ProgramData& data, IDialogs& dialogs, IMessageBoxes& boxes, const IClock& clock,
                 const HandlerGuard& guard, QWidget* parent = nullptr);

    // The rows from the owner's calendar.
    void LoadCalendar();
    void btnAddHolidayDatesClick();
    void btnDelHolidayDatesClick();
    void btnAddWorkDayClick();
    void btnDelWorkDayClick();

    QTreeWidget* lvHolidayDates;
    QDateEdit* dtpHolidayDatesBegin;
    QDateEdit* dtpHolidayDatesEnd;
    QPushButton* btnAddHolidayDates;
    QPushButton* btnDelHolidayDates;
    QTreeWidget* lvWorkDays;
    QDateEdit* dtpWorkDay;
    // Index 0 to 6: runs as Monday to Sunday.
    QComboBox* cbxWorkDayWeekday;
    QPushButton* btnAddWorkDay;
    QPushButton* btnDelWorkDay;
    QPushButton* btnImportCalendar;
    QPushButton* btnExportCalendar;

private:
    void buildPage(const QDate& today);
    // Presets the weekday a make-up day runs as: that of the next working day after it.
    void proposeWeekday();

    ProgramData& m_data;
    IDialogs& m_dialogs;
    IMessageBoxes& m_boxes;
};
