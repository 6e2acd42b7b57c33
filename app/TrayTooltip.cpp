#include "app/TrayTooltip.h"

#include "platform/Errors.h"
#include "schedule/DueTimeCheck.h"
#include "storage/TaskFile.h"

#include <QCoreApplication>
#include <QLabel>
#include <QSystemTrayIcon>

#include <algorithm>

void NextTaskFinder::rebuild(const Timetable& timetable)
{
    m_timetable = timetable;
    m_order.clear();
    const std::vector<Task>& tasks = timetable.tasks();
    m_order.reserve(tasks.size());
    for (std::size_t i = 0; i < tasks.size(); ++i)
        if (tasks[i].second >= 0 && !tasks[i].leaving)
            m_order.push_back({tasks[i].second, i});
    std::stable_sort(m_order.begin(), m_order.end(),
                     [](const Entry& a, const Entry& b) { return a.second < b.second; });
}

std::optional<QString> NextTaskFinder::next(const Holidays& holidays, const QDateTime& now,
                                            std::size_t* position) const
{
    const int nowSecond = now.time().msecsSinceStartOfDay() / 1000;
    std::size_t at = position ? *position : 0;
    while (at < m_order.size() && m_order[at].second <= nowSecond)
        ++at;
    std::optional<QString> found;
    for (; at < m_order.size(); ++at) {
        const Task& task = m_timetable.tasks()[m_order[at].task];
        try {
            if (TaskPlaysToday(task.key, m_timetable, holidays, now))
                found = task.key;
        } catch (const AppError&) {
        }
        if (found)
            break;
    }
    if (position)
        *position = at;
    return found;
}

QString TrayTooltipText(const QString& title, const std::optional<QString>& key, const QString& music)
{
    if (!key)
        return title + QLatin1Char('\n') + QCoreApplication::translate("TrayTooltip", "今天没有待播放的任务");
    constexpr int kMusicLength = 48;
    const QString shown = music.size() > kMusicLength ? music.left(kMusicLength - 1) + QChar(0x2026) : music;
    return title + QLatin1Char('\n')
        + QCoreApplication::translate("TrayTooltip", "下一个任务：%1").arg((*key + QLatin1Char(' ') + shown).trimmed());
}

TrayTooltip::TrayTooltip(QSystemTrayIcon& tray, const ProgramData& data, QString title)
    : m_tray(tray), m_data(data), m_title(std::move(title))
{
    connect(&m_data, &ProgramData::changed, this, [this] { m_changed = true; });
    m_tray.setToolTip(m_title);
}

void TrayTooltip::update(const QDateTime& now)
{
    const int nowSecond = now.time().msecsSinceStartOfDay() / 1000;
    // A new day or a clock set back: the day's tasks are looked at from its start again.
    const bool restart = m_changed || now.date() != m_date || nowSecond < m_lastSecond;
    m_lastSecond = nowSecond;
    if (!restart && !(m_shownSecond && nowSecond >= *m_shownSecond))
        return;
    if (m_changed)
        m_finder.rebuild(m_data.timetable());
    m_changed = false;
    if (restart)
        m_position = 0;
    m_date = now.date();
    const std::optional<QString> key = m_finder.next(m_data.holidays(), now, &m_position);
    m_shownSecond = key ? std::optional<int>(m_finder.secondAt(m_position)) : std::nullopt;
    const Task* task = key ? m_data.timetable().find(*key) : nullptr;
    const QString text = TrayTooltipText(m_title, key, task ? TaskCell(*task, 1) : QString());
    m_tray.setToolTip(text);
    if (m_panel) {
        // A narrow panel: a long music name is read in full from its tooltip.
        m_panel->setText(text.section(u'\n', 1));
        m_panel->setToolTip(m_panel->text());
    }
}
