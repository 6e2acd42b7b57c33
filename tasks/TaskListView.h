#pragma once
// Filling and ordering of the task list lvMusicTime.
#include "storage/TaskFile.h"

#include <QTreeWidgetItem>
#include <optional>

class QTreeWidget;

// Sort direction of the task list for the whole process; a column click inverts it.
extern bool SortAscending;

// Negative, zero or positive as row1 sorts before, with or after row2 by that column's text;
// negated while SortAscending is false. Zero when either row lacks the cell.
int CompareTaskRows(const QTreeWidgetItem* row1, const QTreeWidgetItem* row2, int column);

// A task row; owns its record, so the record goes with the row.
class TaskListItem : public QTreeWidgetItem {
public:
    explicit TaskListItem(const TaskRow& row);
    std::optional<TTaskRecord> record;
};

// Stable sort of the top-level rows by CompareTaskRows on one column.
void SortTaskRows(QTreeWidget& list, int column);

// Rebuilds every row from the task file and sorts them. A line that does not read gets no
// row; the result holds one message per such line, naming the file, section and key.
QStringList ReadTaskList(QTreeWidget& lvMusicTime, const QString& taskFile,
                         const QStringList& libraryList);
// ReadTaskList, then one ConversionError holding every message (one line each), if any.
void LoadTaskList(QTreeWidget& lvMusicTime, const QString& taskFile, const QStringList& libraryList);
