#include "storage/PeriodTimetable.h"

#include <QCoreApplication>
#include <QHash>

#include <algorithm>

namespace {

const QString TimeFormat = QStringLiteral("HH:mm:ss");
// Characters that separate the stored value's parts, or that the file cannot keep in a key.
const QString Reserved = QStringLiteral(";|,=[]\r\n");

QString WeekdayText(const std::array<bool, 7>& weekdays)
{
    QString text;
    for (const bool on : weekdays)
        text += on ? u'1' : u'0';
    return text;
}

PeriodTask Bell(const PeriodTimetable& t, const QTime& at, const QString& bell, const QString& what)
{
    TaskEntry entry;
    entry.HolidayFlag = t.holidaysKeepSilent ? 0 : 1;
    entry.MusicKeys = {bell};
    entry.DateType = 1;
    entry.DateParams = WeekdayText(t.weekdays);
    return {at.toString(TimeFormat), entry, what};
}

// Every bell with its time, in period order, before sorting.
std::vector<PeriodTask> Bells(const PeriodTimetable& t)
{
    std::vector<PeriodTask> bells;
    for (const Period& p : t.periods) {
        if (!t.warningBell.isEmpty() && p.start.isValid() &&
            p.start.msecsSinceStartOfDay() >= t.warningMinutes * 60'000)
            bells.push_back(Bell(t, p.start.addSecs(-60 * t.warningMinutes), t.warningBell,
                                  QCoreApplication::translate("PeriodTimetable", "%1 预备铃").arg(p.name)));
        if (p.start.isValid())
            bells.push_back(Bell(t, p.start, t.classBell, QCoreApplication::translate("PeriodTimetable", "%1 上课铃").arg(p.name)));
        if (!t.endBell.isEmpty() && p.end.isValid())
            bells.push_back(Bell(t, p.end, t.endBell, QCoreApplication::translate("PeriodTimetable", "%1 下课铃").arg(p.name)));
    }
    return bells;
}

bool ReadMonthDay(const QString& text, int& month, int& day)
{
    // In a leap year, so that 02-29 reads too.
    const QDate leap = QDate::fromString(QStringLiteral("2000-") + text, QStringLiteral("yyyy-MM-dd"));
    if (!leap.isValid())
        return false;
    month = leap.month();
    day = leap.day();
    return true;
}

} // namespace

std::vector<PeriodTask> PeriodTasks(const PeriodTimetable& timetable)
{
    std::vector<PeriodTask> bells = Bells(timetable);
    std::stable_sort(bells.begin(), bells.end(),
                     [](const PeriodTask& a, const PeriodTask& b) { return a.key < b.key; });
    bells.erase(std::unique(bells.begin(), bells.end(),
                            [](const PeriodTask& a, const PeriodTask& b) { return a.key == b.key; }),
                bells.end());
    return bells;
}

QStringList PeriodTimetableProblems(const PeriodTimetable& t)
{
    QStringList problems;
    if (t.name.trimmed().isEmpty())
        problems << QCoreApplication::translate("PeriodTimetable", "作息时间表没有名称");
    else if (t.name != t.name.trimmed() || std::any_of(t.name.begin(), t.name.end(), [](QChar c) {
                 return Reserved.contains(c);
             }))
        problems << QCoreApplication::translate("PeriodTimetable", "名称“%1”不能以空格开头或结尾，也不能含有 ; | , = [ ]")
                        .arg(t.name);
    if (t.classBell.isEmpty())
        problems << QCoreApplication::translate("PeriodTimetable", "没有选择上课铃");
    if (std::none_of(t.weekdays.begin(), t.weekdays.end(), [](bool on) { return on; }))
        problems << QCoreApplication::translate("PeriodTimetable", "没有选择星期");
    if (t.periods.empty())
        problems << QCoreApplication::translate("PeriodTimetable", "没有任何一节");
    for (const Period& p : t.periods) {
        if (p.name.trimmed().isEmpty() || std::any_of(p.name.begin(), p.name.end(), [](QChar c) {
                return Reserved.contains(c);
            }))
            problems << QCoreApplication::translate("PeriodTimetable", "节次名称“%1”不能为空，也不能含有 ; | , = [ ]").arg(p.name);
        if (!p.start.isValid() || !p.end.isValid() || p.end <= p.start)
            problems << QCoreApplication::translate("PeriodTimetable", "%1 的下课时间不晚于上课时间").arg(p.name);
        if (!t.warningBell.isEmpty() && p.start.isValid() &&
            p.start.msecsSinceStartOfDay() < t.warningMinutes * 60'000)
            problems << QCoreApplication::translate("PeriodTimetable", "%1 的预备铃会落在前一天").arg(p.name);
    }
    // One task per second: two bells of the timetable in one second cannot both ring.
    QHash<QString, QString> at;
    for (const PeriodTask& bell : Bells(t)) {
        const auto it = at.constFind(bell.key);
        if (it != at.constEnd())
            problems << QCoreApplication::translate("PeriodTimetable", "%1与%2同在 %3").arg(*it, bell.what, bell.key);
        else
            at.insert(bell.key, bell.what);
    }
    return problems;
}

const PeriodTimetable* PeriodTimetableOn(const std::vector<PeriodTimetable>& timetables, const QDate& day)
{
    const int today = day.month() * 100 + day.day();
    const PeriodTimetable* best = nullptr;   // latest start on or before today
    const PeriodTimetable* latest = nullptr; // latest start of the year
    for (const PeriodTimetable& t : timetables) {
        const int from = t.fromMonth * 100 + t.fromDay;
        if (from <= today && (!best || from > best->fromMonth * 100 + best->fromDay))
            best = &t;
        if (!latest || from > latest->fromMonth * 100 + latest->fromDay)
            latest = &t;
    }
    return best ? best : latest;
}

QString FormatPeriodTimetable(const PeriodTimetable& t)
{
    QStringList periods;
    for (const Period& p : t.periods)
        periods << p.name + u',' + p.start.toString(TimeFormat) + u',' + p.end.toString(TimeFormat);
    return QStringList{QStringLiteral("%1-%2").arg(t.fromMonth, 2, 10, QLatin1Char('0')).arg(t.fromDay, 2, 10, QLatin1Char('0')),
                       WeekdayText(t.weekdays),
                       t.holidaysKeepSilent ? QStringLiteral("1") : QStringLiteral("0"),
                       t.classBell,
                       t.endBell,
                       t.warningBell,
                       QString::number(t.warningMinutes),
                       periods.join(u'|')}
        .join(u';');
}

std::vector<PeriodTimetable> DecodePeriodTimetables(const QStringList& lines, QStringList* messages)
{
    std::vector<PeriodTimetable> timetables;
    for (const QString& line : lines) {
        const qsizetype eq = line.indexOf(u'=');
        const QStringList parts = eq < 0 ? QStringList() : line.mid(eq + 1).split(u';');
        PeriodTimetable t;
        bool ok = parts.size() == 8 && ReadMonthDay(parts[0], t.fromMonth, t.fromDay) && parts[1].size() == 7;
        if (ok) {
            t.name = line.left(eq).trimmed();
            for (int i = 0; i < 7; ++i)
                t.weekdays[i] = parts[1][i] == u'1';
            t.holidaysKeepSilent = parts[2] != QStringLiteral("0");
            t.classBell = parts[3];
            t.endBell = parts[4];
            t.warningBell = parts[5];
            t.warningMinutes = parts[6].toInt(&ok);
            const QStringList periods = parts[7].isEmpty() ? QStringList() : parts[7].split(u'|');
            for (const QString& text : periods) {
                const QStringList f = text.split(u',');
                const Period p{f.value(0), QTime::fromString(f.value(1), TimeFormat),
                               QTime::fromString(f.value(2), TimeFormat)};
                ok = ok && f.size() == 3 && p.start.isValid() && p.end.isValid();
                t.periods.push_back(p);
            }
        }
        if (ok)
            timetables.push_back(t);
        else if (messages)
            *messages << QCoreApplication::translate(
                             "PeriodTimetable", "TimeMusicList.ini 的 [%1] 中“%2”不是有效的作息时间表，已忽略")
                             .arg(PeriodTimetablesSection, line);
    }
    return timetables;
}
