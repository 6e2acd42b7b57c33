#pragma once
// Filling and ordering of the task list lvMusicTime.
#include "storage/TaskFile.h"
#include "storage/Timetable.h"

#include <QExplicitlySharedDataPointer>
#include <QTreeWidgetItem>
#include <optional>

class QTreeWidget;


// Sort direction of the task list for the whole process; a column click inverts it.
extern bool SortAscending;

// Negative, zero or positive as row1 sorts before, with or after row2 by that column's text;
// negated while SortAscending is false. Zero when either row lacks the cell.
int CompareTaskRows(const QTreeWidgetItem* row1, const QTreeWidgetItem* row2, int column);

// A task row; owns its record, so the record goes with the row. It serves its texts and its
// check box itself, with nothing in QTreeWidgetItem's own per-column storage: a timetable can
// hold a task for every second of the day, and most of its rows show the same parameters, so
// rows built with one Pool share those. Other roles (colours) are QTreeWidgetItem's.
class TaskListItem : public QTreeWidgetItem {
public:
    static constexpr int Type = QTreeWidgetItem::UserType;
    class Pool;

    explicit TaskListItem(const TaskRow& row, Pool* pool = nullptr);
    ~TaskListItem() override;

    // The record the row was built with, its start time the row's caption; none for a task
    // without parameters.
    std::optional<TTaskRecord> record() const;
    // Cells the row has: 1 for a task without parameters (the caption), else TaskListColumns,
    // more if a text was set past them.
    int cellCount() const;

    QVariant data(int column, int role) const override;
    void setData(int column, int role, const QVariant& value) override;
    QTreeWidgetItem* clone() const override;

private:
    struct Cells;
    QString key() const;
    void setKey(const QString& key);
    Cells& ownCells();

    // Everything but a short caption and the check state; null while that is all the row has.
    QExplicitlySharedDataPointer<Cells> m_cells;
    // A caption of Latin-1 text up to this long ("08:00:00") is kept here, a longer one in
    // m_cells; LongKey marks the latter.
    static constexpr quint8 LongKey = 0xff;
    char m_key[14] = {};
    quint8 m_keyLength = 0;
    quint8 m_check = Qt::Unchecked;
};

// Stable sort of the top-level rows by CompareTaskRows on one column.
void SortTaskRows(QTreeWidget& list, int column);

// Rebuilds every row from the task file and sorts them. A line that does not read gets no
// row; the result holds one message per such line, naming the file, section and key.
QStringList ReadTaskList(QTreeWidget& lvMusicTime, const QString& taskFile,
                         const QStringList& libraryList);
// ReadTaskList, then one ConversionError holding every message (one line each), if any.
void LoadTaskList(QTreeWidget& lvMusicTime, const QString& taskFile, const QStringList& libraryList);
