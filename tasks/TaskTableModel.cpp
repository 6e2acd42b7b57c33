#include "tasks/TaskTableModel.h"

#include "storage/ProgramData.h"

#include <QStringEncoder>

#include <algorithm>
#include <cstring>

namespace {

// Translated when drawn: the catalogue is installed after start.
constexpr const char* kCaptions[] = {
    QT_TRANSLATE_NOOP("TaskTableModel", "时间"),       QT_TRANSLATE_NOOP("TaskTableModel", "歌曲铃声"),
    QT_TRANSLATE_NOOP("TaskTableModel", "循环次数"),   QT_TRANSLATE_NOOP("TaskTableModel", "类型"),
    QT_TRANSLATE_NOOP("TaskTableModel", "播放方式"),   QT_TRANSLATE_NOOP("TaskTableModel", "播放日类型"),
    QT_TRANSLATE_NOOP("TaskTableModel", "播放日类型具体参数"), QT_TRANSLATE_NOOP("TaskTableModel", "排除节假日"),
    QT_TRANSLATE_NOOP("TaskTableModel", "播放时长"),   QT_TRANSLATE_NOOP("TaskTableModel", "结束时间")};
static_assert(std::size(kCaptions) == TaskListColumns);
constexpr int ColumnHoliday = 7;

// The sort keys of one sort, all in one buffer: a large timetable then costs two blocks while
// it sorts, which go back to the system at once, instead of a small block per row.
class SortKeys {
public:
    explicit SortKeys(std::size_t rows) : m_encoder("GB18030", QStringConverter::Flag::Stateless)
    {
        m_keys.reserve(rows);
        m_bytes.reserve(qsizetype(rows) * 8); // a time of day's length
    }

    // A row lacking the cell gets no key.
    void add(int row, const QString* text)
    {
        if (!text) {
            m_keys.push_back({0, Missing, row});
            return;
        }
        const auto start = std::uint32_t(m_bytes.size());
        const bool ascii = std::all_of(text->begin(), text->end(), [](QChar c) { return c.unicode() < 0x80; });
        if (ascii) {
            // GB18030 keeps ASCII as it is: no encoder needed for times and numbers.
            for (QChar c : *text)
                m_bytes.push_back(char(c.unicode()));
        } else {
            m_encoder.resetState(); // no half character of one text may run into the next
            m_bytes.append(m_encoder.encode(*text));
        }
        // a-z as A-Z, byte by byte (trail bytes of a Chinese character included).
        for (qsizetype i = start; i < m_bytes.size(); ++i)
            if (m_bytes[i] >= 'a' && m_bytes[i] <= 'z')
                m_bytes[i] = char(m_bytes[i] - 'a' + 'A');
        m_keys.push_back({start, std::uint32_t(m_bytes.size()) - start, row});
    }

    // Stable: rows that compare equal, or lack the cell, keep their order among themselves.
    void sort(bool ascending, std::vector<int>& rows)
    {
        const char* bytes = m_bytes.constData();
        std::stable_sort(m_keys.begin(), m_keys.end(), [&](const Key& a, const Key& b) {
            if (a.length == Missing || b.length == Missing)
                return false;
            const int c = compare(bytes + a.offset, a.length, bytes + b.offset, b.length);
            return ascending ? c < 0 : c > 0;
        });
        rows.clear();
        for (const Key& key : m_keys)
            rows.push_back(key.row);
    }

private:
    static constexpr std::uint32_t Missing = 0xffffffff;
    struct Key {
        std::uint32_t offset;
        std::uint32_t length;
        int row;
    };
    static int compare(const char* a, std::uint32_t na, const char* b, std::uint32_t nb)
    {
        const int c = std::memcmp(a, b, std::min(na, nb));
        return c != 0 ? c : (na < nb ? -1 : (na > nb ? 1 : 0));
    }

    QStringEncoder m_encoder;
    QByteArray m_bytes;
    std::vector<Key> m_keys;
};

} // namespace

TaskTableModel::TaskTableModel(ProgramData& data, QObject* parent)
    : QAbstractTableModel(parent), m_data(data)
{
    connect(&m_data, &ProgramData::changed, this, [this] { reload(); });
    reload();
}

void TaskTableModel::reload()
{
    // Library and holiday changes leave the timetable, and so the rows, as they are.
    if (m_timetable.sameAs(m_data.timetable()))
        return;
    beginResetModel();
    m_timetable = m_data.timetable();
    const std::vector<Task>& tasks = m_timetable.tasks();
    std::vector<int> rows;
    rows.reserve(std::size_t(std::count_if(tasks.begin(), tasks.end(), [](const Task& t) { return t.listed(); })));
    for (int i = 0; i < int(tasks.size()); ++i)
        if (tasks[std::size_t(i)].listed())
            rows.push_back(i);
    m_rows.swap(rows);
    // By time first, then by the column of the last click, as that click left them.
    sortRows(0);
    if (m_sortColumn != 0)
        sortRows(m_sortColumn);
    endResetModel();
}

void TaskTableModel::sortRows(int column)
{
    if (column < 0 || column >= TaskListColumns)
        return; // every row lacks the cell: the order stays
    const std::vector<Task>& tasks = m_timetable.tasks();
    SortKeys keys(m_rows.size());
    for (int row : m_rows) {
        const Task& task = tasks[std::size_t(row)];
        // A task without parameters has its caption alone.
        if (column > 0 && !task.record()) {
            keys.add(row, nullptr);
        } else {
            const QString text = TaskCell(task, column);
            keys.add(row, &text);
        }
    }
    keys.sort(m_ascending, m_rows);
}

void TaskTableModel::sortByColumn(int column)
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // The selection and the current row stay on their tasks.
    const QModelIndexList before = persistentIndexList();
    std::vector<int> taskOf;
    for (const QModelIndex& index : before)
        taskOf.push_back(m_rows[std::size_t(index.row())]);
    m_ascending = !m_ascending;
    m_sortColumn = column;
    sortRows(column);
    if (!before.isEmpty()) {
        std::vector<int> rowOfTask(m_timetable.tasks().size(), -1);
        for (int row = 0; row < int(m_rows.size()); ++row)
            rowOfTask[std::size_t(m_rows[std::size_t(row)])] = row;
        QModelIndexList after;
        for (qsizetype i = 0; i < before.size(); ++i)
            after << index(rowOfTask[std::size_t(taskOf[std::size_t(i)])], before[i].column());
        changePersistentIndexList(before, after);
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

const Task* TaskTableModel::taskAt(int row) const
{
    return row >= 0 && row < int(m_rows.size()) ? &m_timetable.tasks()[std::size_t(m_rows[std::size_t(row)])]
                                                 : nullptr;
}

int TaskTableModel::rowOf(const QString& key) const
{
    for (int row = 0; row < int(m_rows.size()); ++row)
        if (taskAt(row)->key == key)
            return row;
    return -1;
}

int TaskTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int TaskTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : TaskListColumns;
}

QVariant TaskTableModel::data(const QModelIndex& index, int role) const
{
    const Task* task = taskAt(index.row());
    if (!task || index.column() < 0 || index.column() >= TaskListColumns)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        if (index.column() > 0 && !task->record())
            return QVariant();
        return TaskCell(*task, index.column());
    case Qt::CheckStateRole:
        if (index.column() == 0)
            return int(task->enabledInList() ? Qt::Checked : Qt::Unchecked);
        break;
    default:
        break;
    }
    return QVariant();
}

bool TaskTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    const Task* task = taskAt(index.row());
    if (!task || role != Qt::CheckStateRole || index.column() != 0)
        return false;
    const bool enabled = value.toInt() == Qt::Checked;
    if (enabled == task->enabledInList())
        return false;
    // Taken now: the write reloads the timetable, and task with it.
    const QString key = task->key;
    if (m_write)
        m_write(key, enabled);
    else
        m_data.setTaskEnabled(key, enabled);
    return true;
}

Qt::ItemFlags TaskTableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == 0)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

QVariant TaskTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= TaskListColumns)
        return QVariant();
    if (role == Qt::DisplayRole)
        return tr(kCaptions[section]);
    if (role == Qt::ToolTipRole && section == ColumnHoliday)
        return tr("是：节假日设置中的日子里该任务不播放；否：节假日照常播放");
    return QVariant();
}
