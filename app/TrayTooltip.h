#pragma once
// The tray icon's tooltip: the product title and the task that rings next today.
#include "storage/ProgramData.h"

#include <QDate>
#include <QDateTime>
#include <QObject>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

class QLabel;
class QSystemTrayIcon;

// The day rules of the due-time check over the timetable sorted by time of day, so that "what
// rings next" costs a look at the next few tasks, not a pass over all of them.
class NextTaskFinder {
public:
    void rebuild(const Timetable& timetable);
    // The key of the first task after now's second that plays today, from the given position
    // on; *position is moved to it (or to the end), so a caller that keeps it scans each task
    // at most once a day. A task whose values do not read is passed over: its failure is the
    // due-time check's to report.
    std::optional<QString> next(const Holidays& holidays, const QDateTime& now,
                                std::size_t* position = nullptr) const;
    // The second of the day of the task at position.
    int secondAt(std::size_t position) const { return m_order[position].second; }

private:
    struct Entry {
        int second;
        std::size_t task;
    };
    Timetable m_timetable;
    std::vector<Entry> m_order;
};

// "title\n下一个任务：HH:mm:ss music", or that none is due today; the music text is cut to a
// length tray hosts show in full.
QString TrayTooltipText(const QString& title, const std::optional<QString>& key, const QString& music);

// Keeps the tray icon's tooltip, and the status bar's panel of the next bell, current. update() runs every second but recomputes only when
// the program's data has changed, the date has, or the task it shows has started.
class TrayTooltip : public QObject {
public:
    TrayTooltip(QSystemTrayIcon& tray, const ProgramData& data, QString title);
    // The panel shows the tooltip's second line, the next bell of today.
    void setStatusPanel(QLabel* panel) { m_panel = panel; }
    void update(const QDateTime& now);
    // Whether a bell remains today, as of the last update.
    bool bellRemainsToday() const { return m_shownSecond.has_value(); }

private:
    QSystemTrayIcon& m_tray;
    QLabel* m_panel = nullptr;
    const ProgramData& m_data;
    QString m_title;

    bool m_changed = true;
    NextTaskFinder m_finder;
    QDate m_date;
    std::size_t m_position = 0;
    int m_lastSecond = 0;
    std::optional<int> m_shownSecond; // of the task the tooltip names; none: nothing more today
};
