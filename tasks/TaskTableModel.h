#pragma once
// The task list's rows over the owner's timetable: one row per task the list can show, in the
// list's order. A row is an index into the timetable and nothing more; every cell is read from
// the task when it is drawn.
#include "storage/Timetable.h"

#include <QAbstractTableModel>
#include <QCoreApplication>

#include <functional>
#include <vector>

class ProgramData;

class TaskTableModel : public QAbstractTableModel {
    Q_DECLARE_TR_FUNCTIONS(TaskTableModel)

public:
    explicit TaskTableModel(ProgramData& data, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // The check box of column 0 switches the task on or off in the file, through the owner.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The task of a row; null for a row out of range.
    const Task* taskAt(int row) const;
    // The row showing the task of that key as the list spells it, -1 when none does.
    int rowOf(const QString& key) const;

    // A column click: the rows are ordered by that column, in the direction opposite to the
    // last one. Reloaded rows come in the same order.
    void sortByColumn(int column);
    int sortColumn() const { return m_sortColumn; }
    bool sortAscending() const { return m_ascending; }

    // Writes a check box's change; the page's runs under its handler guard, as a failure here
    // would otherwise escape into the view's event handling. By default the owner's command.
    using EnabledWriter = std::function<void(const QString& key, bool enabled)>;
    void setEnabledWriter(EnabledWriter write) { m_write = std::move(write); }

private:
    void reload();
    // Stable sort of the rows as they stand.
    void sortRows(int column);

    ProgramData& m_data;
    // Shares the owner's timetable, so the rows' indices stay valid until the next reset.
    Timetable m_timetable;
    std::vector<int> m_rows;
    int m_sortColumn = 0;
    // The direction the rows are in: the first load is ascending, each column click turns it.
    bool m_ascending = true;
    EnabledWriter m_write;
};

