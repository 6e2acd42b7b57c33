#pragma once
// "当日铃声": one day's bells in time order, each with its music, the bells that will not ring
// that day greyed with the reason. On today the bells already past and the next one are marked.
// What it shows comes from the due-time check's own decision, over the owner's data.
#include "schedule/DayBells.h"

#include <QAbstractTableModel>
#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QWidget>

#include <functional>
#include <vector>

class IClock;
class ProgramData;
class QDateEdit;
class QLabel;
class QPushButton;
class QTreeView;

class DayBellsModel : public QAbstractTableModel {
    Q_DECLARE_TR_FUNCTIONS(DayBellsModel)

public:
    enum Column { ColumnTime, ColumnMusic, ColumnDateType, ColumnDays, ColumnState, ColumnCount };

    explicit DayBellsModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    // The bells of day as the timetable and holidays decide them, marked as of now.
    void show(const Timetable& timetable, const Holidays& holidays, const QDate& day, const QDateTime& now);
    // Marks the bells past and the next one again; true when a mark moved.
    bool setNow(const QDateTime& now);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    const DayBell& bell(int row) const { return m_bells[std::size_t(row)]; }
    // What became of a bell of the day that did not ring on time ("补播：…", "未播放：…").
    using Record = std::function<QString(const QString& key, const QDate& day)>;
    void setRecord(Record record) { m_record = std::move(record); }
    // What the state column says of a row: "下一个", "已过", "将播放", or why it will not ring.
    QString stateText(int row) const;
    // The row of the next bell of today, -1 when none (or the day is not today).
    int nextRow() const { return m_next; }
    // How many of the day's bells ring.
    int ringing() const;

private:
    Record m_record;
    Timetable m_timetable; // keeps the bells' tasks alive
    std::vector<DayBell> m_bells;
    QDate m_day;
    // Bells before this second of the day are past: none on a day ahead, all on a day gone.
    int m_pastBefore = 0;
    int m_next = -1;
};

class DayView : public QWidget {
    Q_DECLARE_TR_FUNCTIONS(DayView)

public:
    DayView(const ProgramData& data, const IClock& clock, QWidget* parent = nullptr);

    // Shows the day's bells (the picker follows).
    void showDay(const QDate& day);
    QDate day() const { return m_day; }
    // Called each second: moves today's marks on as bells pass, and to the new day at midnight
    // when today was shown. Only while the view is seen.
    void tick(const QDateTime& now);
    DayBellsModel* model() const { return m_model; }

    QPushButton* btnPrevDay;
    QDateEdit* dtpDay;
    QPushButton* btnNextDay;
    QPushButton* btnToday;
    QLabel* lblDaySummary;
    QTreeView* lvDayBells;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The owner's data changed: shown at once if the view is seen, else when it is next shown,
    // and never inside the change itself (a bell starting changes the data).
    void dataChanged();
    void reload();
    void showSummary();

    const ProgramData& m_data;
    const IClock& m_clock;
    DayBellsModel* m_model;
    QDate m_day;
    QDate m_today; // the date of the last tick
    bool m_stale = false;
    bool m_reloadQueued = false;
};
