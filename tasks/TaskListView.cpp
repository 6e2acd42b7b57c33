#include "tasks/TaskListView.h"

#include "platform/Errors.h"
#include "platform/FreedMemory.h"
#include "storage/IniStore.h"

#include <QHash>
#include <QStringEncoder>
#include <QTreeWidget>
#include <algorithm>
#include <map>
#include <memory>
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

// A task row keeps its cells itself, past QTreeWidgetItem::columnCount().
int cellCount(const QTreeWidgetItem* row)
{
    return row->type() == TaskListItem::Type ? static_cast<const TaskListItem*>(row)->cellCount()
                                             : row->columnCount();
}

// A row's sort key for one column, or none when the row lacks that cell.
std::optional<QByteArray> cellKey(QStringEncoder& encoder, const QTreeWidgetItem* row, int column)
{
    if (column < 0 || column >= cellCount(row))
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

struct TaskListItem::Cells : QSharedData {
    // StartTime is left empty: the caption stands for it.
    std::optional<TTaskRecord> record;
    // From column 1 on.
    QStringList cells;
    QString longKey;

    bool operator==(const Cells& other) const
    {
        return record == other.record && cells == other.cells && longKey == other.longKey;
    }
};

// Hands out one copy of the cells for every set of equal ones.
class TaskListItem::Pool {
public:
    QExplicitlySharedDataPointer<Cells> share(std::unique_ptr<Cells> cells)
    {
        const size_t hash = qHashMulti(0, cells->cells, cells->longKey);
        for (auto [at, end] = m_cells.equal_range(hash); at != end; ++at)
            if (*at->second == *cells)
                return at->second;
        QExplicitlySharedDataPointer<Cells> shared(cells.release());
        m_cells.emplace(hash, shared);
        return shared;
    }

private:
    std::multimap<size_t, QExplicitlySharedDataPointer<Cells>> m_cells;
};

namespace {

// An empty row of the list's full width. Every task row's QTreeWidgetItem storage is a shared
// copy of it, so it costs a row nothing, and emitDataChanged() still names the whole row (it
// spans QTreeWidgetItem::columnCount()).
const QTreeWidgetItem& emptyRow()
{
    static const QTreeWidgetItem row = [] {
        QTreeWidgetItem r;
        r.setText(TaskListColumns - 1, QString());
        return r;
    }();
    return row;
}

} // namespace

TaskListItem::TaskListItem(const TaskRow& row, Pool* pool) : QTreeWidgetItem(Type)
{
    QTreeWidgetItem::operator=(emptyRow());
    m_check = quint8(row.enabled ? Qt::Checked : Qt::Unchecked);
    auto cells = std::make_unique<Cells>();
    cells->record = row.record;
    if (cells->record)
        cells->record->StartTime.clear();
    cells->cells = row.cells.mid(1);
    const QString key = row.cells.value(0);
    setKey(key);
    if (m_keyLength == LongKey)
        cells->longKey = key;
    if (cells->record || !cells->cells.isEmpty() || !cells->longKey.isNull())
        m_cells = pool ? pool->share(std::move(cells))
                       : QExplicitlySharedDataPointer<Cells>(cells.release());
}

TaskListItem::~TaskListItem() = default;

QTreeWidgetItem* TaskListItem::clone() const
{
    return new TaskListItem(*this);
}

std::optional<TTaskRecord> TaskListItem::record() const
{
    if (!m_cells || !m_cells->record)
        return std::nullopt;
    std::optional<TTaskRecord> rec = m_cells->record;
    rec->StartTime = key();
    return rec;
}

int TaskListItem::cellCount() const
{
    return m_cells ? 1 + int(m_cells->cells.size()) : 1;
}

QString TaskListItem::key() const
{
    return m_keyLength == LongKey ? m_cells->longKey : QString::fromLatin1(m_key, m_keyLength);
}

// Keeps a short key in place; a long one is only marked, for the caller to keep in the cells.
void TaskListItem::setKey(const QString& key)
{
    const bool fits = key.size() <= qsizetype(sizeof m_key) &&
                      std::all_of(key.begin(), key.end(), [](QChar c) { return c.unicode() < 0x100; });
    if (!fits) {
        m_keyLength = LongKey;
        return;
    }
    for (qsizetype i = 0; i < key.size(); ++i)
        m_key[i] = char(key[i].unicode());
    m_keyLength = quint8(key.size());
}

TaskListItem::Cells& TaskListItem::ownCells()
{
    if (m_cells)
        m_cells.detach();
    else
        m_cells = new Cells;
    return *m_cells;
}

QVariant TaskListItem::data(int column, int role) const
{
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        if (column == 0)
            return key();
        if (column > 0 && column < cellCount())
            return m_cells->cells[column - 1];
        return QVariant();
    case Qt::CheckStateRole:
        if (column == 0)
            return int(m_check);
        break;
    default:
        break;
    }
    return QTreeWidgetItem::data(column, role);
}

void TaskListItem::setData(int column, int role, const QVariant& value)
{
    if (column < 0)
        return;
    // As QTreeWidgetItem has it, setting the value a cell already shows changes nothing.
    if ((role == Qt::DisplayRole || role == Qt::EditRole) && column == 0) {
        const QString text = value.toString();
        if (text == key())
            return;
        const bool wasLong = m_keyLength == LongKey;
        setKey(text);
        if (m_keyLength == LongKey)
            ownCells().longKey = text;
        else if (wasLong)
            ownCells().longKey = QString();
    } else if (role == Qt::DisplayRole || role == Qt::EditRole) {
        const QString text = value.toString();
        if (column < cellCount() && m_cells->cells[column - 1] == text)
            return;
        QStringList& cells = ownCells().cells;
        while (cells.size() < column)
            cells << QString();
        cells[column - 1] = text;
    } else if (role == Qt::CheckStateRole && column == 0) {
        const quint8 state = quint8(value.toInt());
        if (state == m_check)
            return;
        m_check = state;
    } else {
        QTreeWidgetItem::setData(column, role, value);
        return;
    }
    emitDataChanged();
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

namespace {

// The rows of the task file, unsorted; the section lines and TaskRows go when it returns.
QStringList fillTaskList(QTreeWidget& lvMusicTime, const QString& taskFile,
                         const QStringList& libraryList)
{
    QStringList timeLines;
    QStringList paramLines;
    // Whole sections: a timetable past the key-list limit would otherwise lose its later
    // tasks from the list without a word.
    ReadWholeIniSection(taskFile, TimeSection, timeLines);
    ReadWholeIniSection(taskFile, TimeParamsSection, paramLines);

    QList<TaskRow> rows;
    const QStringList messages = BuildTaskRows(timeLines, paramLines, libraryList, rows);
    TaskListItem::Pool pool;
    QList<QTreeWidgetItem*> items;
    items.reserve(rows.size());
    for (const TaskRow& row : rows)
        items << new TaskListItem(row, &pool);
    lvMusicTime.addTopLevelItems(items);
    return messages;
}

} // namespace

QStringList ReadTaskList(QTreeWidget& lvMusicTime, const QString& taskFile,
                         const QStringList& libraryList)
{
    lvMusicTime.clear();
    const QStringList messages = fillTaskList(lvMusicTime, taskFile, libraryList);
    // The rows end in the direction opposite to the flag, as after a column click.
    SortAscending = !SortAscending;
    SortTaskRows(lvMusicTime, 0);
    SortAscending = !SortAscending;
    // The load's lines, rows and sort keys are freed by now.
    ReturnFreedMemory();
    return messages;
}

void LoadTaskList(QTreeWidget& lvMusicTime, const QString& taskFile, const QStringList& libraryList)
{
    const QStringList messages = ReadTaskList(lvMusicTime, taskFile, libraryList);
    if (!messages.isEmpty())
        throw ConversionError(messages.join(u'\n'));
}
