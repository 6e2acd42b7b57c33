#pragma once
// What a calendar file would add to the school calendar, before anything is written: the
// holidays and make-up days to be added (each make-up day's weekday can be changed), and what
// is left out and why. "导入" hands back the chosen dates; the caller writes them.
#include "storage/CalendarExchange.h"
#include "storage/Holidays.h"

#include <QByteArray>
#include <QDialog>
#include <QMap>

class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;

class CalendarImportDialog : public QDialog {
    Q_OBJECT
public:
    // Raises ConversionError when icsText is not a calendar.
    CalendarImportDialog(const QString& fileName, const QByteArray& icsText, const Holidays& existing,
                         QWidget* owner = nullptr);

    // The rows of lvAdded, make-up days with the weekday their box shows.
    CalendarDates chosen() const;

    QLabel* lblFile;
    // Editable: one or more categories (separated by commas) that mark an event a working day.
    QComboBox* cbWorkingCategory;
    QTreeWidget* lvAdded;
    QTreeWidget* lvSkipped;
    QPushButton* btnImport;
    QPushButton* btnCancel;

    // The weekday box of the make-up day on date, or nullptr.
    QComboBox* weekdayBox(const QDate& date) const;

private:
    struct Row {
        DatedHoliday range;   // a holiday
        QComboBox* weekday{}; // a make-up day (on range.begin)
    };
    void reread();
    void addHoliday(const ImportedHoliday& h);
    void addMakeUpDay(const ImportedMakeUpDay& w);
    void skip(const QString& summary, const QString& dates, const QString& reason);

    QByteArray m_text;
    Holidays m_existing;
    std::vector<Row> m_rows;
    // Weekdays picked by hand, kept when the category is changed and the file read again.
    QMap<QDate, int> m_pickedWeekdays;
};
