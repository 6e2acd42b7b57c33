#pragma once
// The tray icon's tooltip: the product title and the task that rings next today.
#include <QDate>
#include <QDateTime>
#include <QObject>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

class QSystemTrayIcon;

// The day rules of the due-time check over a sorted copy of the timetable, so that "what rings
// next" costs a look at the next few tasks, not a pass over all of them.
class NextTaskFinder {
public:
    // A task's TimeParams value, empty when it has none.
    using ParamsOf = std::function<QString(const QString& key)>;
    // scheduleList: the Time lines of the task file.
    void rebuild(const QStringList& scheduleList, ParamsOf paramsOf);
    // The key of the first task after now's second that plays today, from the given position
    // on; *position is moved to it (or to the end), so a caller that keeps it scans each task
    // at most once a day. A task whose lines do not read is passed over: its failure is the
    // due-time check's to report.
    std::optional<QString> next(const QStringList& holidayList, const QDateTime& now,
                                std::size_t* position = nullptr) const;
    // The second of the day of the task at position.
    int secondAt(std::size_t position) const { return m_order[position].second; }

private:
    // Line numbers, not copies: a timetable of a task a second would be held again.
    struct Task {
        int second;
        qsizetype line;
    };
    QStringList m_lines; // shares the lines of the list it was built from
    std::vector<Task> m_order;
    ParamsOf m_paramsOf;
};

// "title\n下一个任务：HH:mm:ss music", or that none is due today; the music text is cut to a
// length tray hosts show in full.
QString TrayTooltipText(const QString& title, const std::optional<QString>& key, const QString& music);

// Keeps the tray icon's tooltip current. update() runs every second but recomputes only when
// the timetable, the holidays or the tasks have changed, the date has, or the task it shows
// has started.
class TrayTooltip : public QObject {
public:
    // The music text the task list shows for a task.
    using MusicOf = std::function<QString(const QString& key)>;
    TrayTooltip(QSystemTrayIcon& tray, const QStringList& scheduleList, const QStringList& holidayList,
                MusicOf musicOf, QString title);
    void update(const QDateTime& now);
    // A task changed: an edit that leaves the Time lines alone (days, loops) still counts.
    void tasksChanged() { m_rowsChanged = true; }

private:
    void rebuild();

    QSystemTrayIcon& m_tray;
    const QStringList& m_scheduleList;
    const QStringList& m_holidayList;
    MusicOf m_musicOf;
    QString m_title;

    // Copies share the lists' data, so comparing them is cheap while nothing has changed.
    QStringList m_seenSchedule;
    QStringList m_seenHolidays;
    bool m_rowsChanged = true;
    NextTaskFinder m_finder;
    QDate m_date;
    std::size_t m_position = 0;
    int m_lastSecond = 0;
    std::optional<int> m_shownSecond; // of the task the tooltip names; none: nothing more today
};
