#include "tasks/TaskListView.h"

#include "platform/Errors.h"
#include "storage/IniStore.h"

#include <QStringEncoder>
#include <QTreeWidget>
#include <algorithm>

bool SortAscending = false;

namespace {

QByteArray sortBytes(const QString& text)
{
    QStringEncoder encoder("GB18030");
    return encoder.encode(text);
}

// Byte-wise, a-z taken as A-Z, so Chinese text orders by its GB18030 code.
int compareText(const QByteArray& a, const QByteArray& b)
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        int x = static_cast<unsigned char>(a[i]);
        int y = static_cast<unsigned char>(b[i]);
        if (x >= 'a' && x <= 'z')
            x -= 'a' - 'A';
        if (y >= 'a' && y <= 'z')
            y -= 'a' - 'A';
        if (x != y)
            return x - y;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

} // namespace

int CompareTaskRows(const QTreeWidgetItem* row1, const QTreeWidgetItem* row2, int column)
{
    if (column < 0 || column >= row1->columnCount() || column >= row2->columnCount())
        return 0;
    const int result = compareText(sortBytes(row1->text(column)), sortBytes(row2->text(column)));
    return SortAscending ? result : -result;
}

TaskListItem::TaskListItem(const TaskRow& row) : record(row.record)
{
    for (int i = 0; i < row.cells.size(); ++i)
        setText(i, row.cells[i]);
    setCheckState(0, row.enabled ? Qt::Checked : Qt::Unchecked);
}

void SortTaskRows(QTreeWidget& list, int column)
{
    QList<QTreeWidgetItem*> items = list.invisibleRootItem()->takeChildren();
    std::stable_sort(items.begin(), items.end(), [column](const QTreeWidgetItem* a, const QTreeWidgetItem* b) {
        return CompareTaskRows(a, b, column) < 0;
    });
    list.addTopLevelItems(items);
}

QStringList ReadTaskList(QTreeWidget& lvMusicTime, const QString& taskFile,
                         const QStringList& libraryList)
{
    lvMusicTime.clear();
    QStringList timeLines;
    QStringList paramLines;
    ReadIniSection(taskFile, TimeSection, timeLines);
    ReadIniSection(taskFile, TimeParamsSection, paramLines);

    QList<TaskRow> rows;
    const QStringList messages = BuildTaskRows(timeLines, paramLines, libraryList, rows);
    for (const TaskRow& row : rows)
        lvMusicTime.addTopLevelItem(new TaskListItem(row));

    // The rows end in the direction opposite to the flag, as after a column click.
    SortAscending = !SortAscending;
    SortTaskRows(lvMusicTime, 0);
    SortAscending = !SortAscending;
    return messages;
}

void LoadTaskList(QTreeWidget& lvMusicTime, const QString& taskFile, const QStringList& libraryList)
{
    const QStringList messages = ReadTaskList(lvMusicTime, taskFile, libraryList);
    if (!messages.isEmpty())
        throw ConversionError(messages.join(u'\n'));
}
