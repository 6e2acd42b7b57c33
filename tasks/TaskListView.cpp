#include "tasks/TaskListView.h"

#include "platform/Errors.h"
#include "storage/IniStore.h"

#include <QStringEncoder>
#include <QTreeWidget>
#include <algorithm>
#include <utility>
#include <vector>

bool SortAscending = false;

namespace {

// What a row sorts by: its text in GB18030 with a-z taken as A-Z, byte by byte (trail bytes of
// a Chinese character included), so Chinese text orders by its code. Folded once per text, so
// a sort compares bytes alone.
QByteArray sortKey(QStringEncoder& encoder, const QString& text)
{
    encoder.resetState(); // no half character of one text may run into the next
    QByteArray bytes = encoder.encode(text);
    for (char& c : bytes)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return bytes;
}

QStringEncoder sortEncoder()
{
    return QStringEncoder("GB18030", QStringConverter::Flag::Stateless);
}

int compareKeys(const QByteArray& a, const QByteArray& b)
{
    const int result = a.compare(b);
    // Only the sign is kept, so that negating it can never overflow.
    const int sign = result < 0 ? -1 : (result > 0 ? 1 : 0);
    return SortAscending ? sign : -sign;
}

// A row's sort key for one column, or none when the row lacks that cell.
std::optional<QByteArray> cellKey(QStringEncoder& encoder, const QTreeWidgetItem* row, int column)
{
    if (column < 0 || column >= row->columnCount())
        return std::nullopt;
    return sortKey(encoder, row->text(column));
}

int compareCells(const std::optional<QByteArray>& a, const std::optional<QByteArray>& b)
{
    return a && b ? compareKeys(*a, *b) : 0;
}

} // namespace

int CompareTaskRows(const QTreeWidgetItem* row1, const QTreeWidgetItem* row2, int column)
{
    QStringEncoder encoder = sortEncoder();
    return compareCells(cellKey(encoder, row1, column), cellKey(encoder, row2, column));
}

TaskListItem::TaskListItem(const TaskRow& row) : record(row.record)
{
    for (int i = 0; i < row.cells.size(); ++i)
        setText(i, row.cells[i]);
    setCheckState(0, row.enabled ? Qt::Checked : Qt::Unchecked);
}

void SortTaskRows(QTreeWidget& list, int column)
{
    // Each pair compares exactly as CompareTaskRows has it, so the order is the same; the keys
    // are made once per row instead of twice per comparison.
    const QList<QTreeWidgetItem*> items = list.invisibleRootItem()->takeChildren();
    QStringEncoder encoder = sortEncoder();
    std::vector<std::pair<std::optional<QByteArray>, QTreeWidgetItem*>> keyed;
    keyed.reserve(size_t(items.size()));
    for (QTreeWidgetItem* item : items)
        keyed.emplace_back(cellKey(encoder, item, column), item);
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        return compareCells(a.first, b.first) < 0;
    });
    QList<QTreeWidgetItem*> sorted;
    sorted.reserve(items.size());
    for (const auto& entry : keyed)
        sorted << entry.second;
    list.addTopLevelItems(sorted);
}

QStringList ReadTaskList(QTreeWidget& lvMusicTime, const QString& taskFile,
                         const QStringList& libraryList)
{
    lvMusicTime.clear();
    QStringList timeLines;
    QStringList paramLines;
    // Whole sections: a timetable past the key-list limit would otherwise lose its later
    // tasks from the list without a word.
    ReadWholeIniSection(taskFile, TimeSection, timeLines);
    ReadWholeIniSection(taskFile, TimeParamsSection, paramLines);

    QList<TaskRow> rows;
    const QStringList messages = BuildTaskRows(timeLines, paramLines, libraryList, rows);
    QList<QTreeWidgetItem*> items;
    items.reserve(rows.size());
    for (const TaskRow& row : rows)
        items << new TaskListItem(row);
    lvMusicTime.addTopLevelItems(items);

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
