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

// Rebuilds every row from the task file. On a ConversionError the rows before the bad
// line stay, unsorted, and the error goes on to the caller.
void LoadTaskList(QTreeWidget& lvMusicTime, const QString& taskFile, const QStringList& libraryList);
