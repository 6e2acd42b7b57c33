#include "app/TrayTooltip.h"

#include "platform/Errors.h"
#include "schedule/DueTimeCheck.h"
#include "storage/IniStore.h"
#include "storage/TaskFile.h"
#include "storage/TimeText.h"

#include <QSystemTrayIcon>

#include <algorithm>

void NextTaskFinder::rebuild(const QStringList& scheduleList, ParamsOf paramsOf)
{
    m_lines = scheduleList;
    m_paramsOf = std::move(paramsOf);
    m_order.clear();
    m_order.reserve(scheduleList.size());
    for (qsizetype i = 0; i < scheduleList.size(); ++i) {
        bool ok = false;
        const QTime at = ParseTimeText(LineName(scheduleList[i]), &ok);
        if (ok)
            m_order.push_back({at.msecsSinceStartOfDay() / 1000, i});
    }
    std::stable_sort(m_order.begin(), m_order.end(),
                     [](const Task& a, const Task& b) { return a.second < b.second; });
}

std::optional<QString> NextTaskFinder::next(const QStringList& holidayList, const QDateTime& now,
                                            std::size_t* position) const
{
    const int nowSecond = now.time().msecsSinceStartOfDay() / 1000;
    std::size_t at = position ? *position : 0;
    while (at < m_order.size() && m_order[at].second <= nowSecond)
        ++at;
    const bool holiday = IsHoliday(holidayList, now);
    std::optional<QString> found;
    for (; at < m_order.size(); ++at) {
        const QString& line = m_lines[m_order[at].line];
        if (ReadTaskFlags(LineValue(line), holiday) != TaskFlagsSay::PlayDaysDecide)
            continue;
        try {
            const QString key = LineName(line);
            if (IsPlayDay(m_paramsOf(key), now.date()))
                found = key;
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
        return title + QStringLiteral("\n今天没有待播放的任务");
    constexpr int kMusicLength = 48;
    const QString shown = music.size() > kMusicLength ? music.left(kMusicLength - 1) + QChar(0x2026) : music;
    return title + QStringLiteral("\n下一个任务：") + (*key + QLatin1Char(' ') + shown).trimmed();
}

TrayTooltip::TrayTooltip(QSystemTrayIcon& tray, const QStringList& scheduleList,
                         const QStringList& holidayList, MusicOf musicOf, QString title)
    : m_tray(tray),
      m_scheduleList(scheduleList),
      m_holidayList(holidayList),
      m_musicOf(std::move(musicOf)),
      m_title(std::move(title))
{
    m_tray.setToolTip(m_title);
}

void TrayTooltip::rebuild()
{
    // Read through the task file's kept parse, as the due-time check reads them.
    m_finder.rebuild(m_scheduleList, [](const QString& key) {
        return ReadIniString(TaskFilePath(), TimeParamsSection, key, QString());
    });
    m_seenSchedule = m_scheduleList;
    m_seenHolidays = m_holidayList;
    m_rowsChanged = false;
}

void TrayTooltip::update(const QDateTime& now)
{
    const bool listsChanged =
        m_rowsChanged || m_seenSchedule != m_scheduleList || m_seenHolidays != m_holidayList;
    const int nowSecond = now.time().msecsSinceStartOfDay() / 1000;
    // A new day or a clock set back: the day's tasks are looked at from its start again.
    const bool restart = listsChanged || now.date() != m_date || nowSecond < m_lastSecond;
    m_lastSecond = nowSecond;
    if (!restart && !(m_shownSecond && nowSecond >= *m_shownSecond))
        return;
    if (listsChanged)
        rebuild();
    if (restart)
        m_position = 0;
    m_date = now.date();
    const std::optional<QString> key = m_finder.next(m_holidayList, now, &m_position);
    m_shownSecond = key ? std::optional<int>(m_finder.secondAt(m_position)) : std::nullopt;
    m_tray.setToolTip(TrayTooltipText(m_title, key, key ? m_musicOf(*key) : QString()));
}
