#include "storage/ProgramData.h"

#include "platform/Errors.h"
#include "platform/FreedMemory.h"
#include "storage/IniStore.h"

#include <QCheckBox>
#include <QSignalBlocker>
#include <QTime>

#include <algorithm>

ProgramData::ProgramData(QObject* parent) : QObject(parent) {}

void ProgramData::setTimetable(const Timetable& timetable)
{
    // A reload does not bring back a once-only task that is still playing.
    m_timetable = timetable.keepingLeaving(m_timetable);
    emit changed();
}

QStringList ProgramData::loadTimetable()
{
    QStringList timeLines;
    QStringList paramLines;
    QStringList soundLines;
    QStringList zoneLines;
    // Whole sections: a timetable past the key-list limit would otherwise lose its later
    // tasks without a word.
    const QString taskFile = TaskFilePath();
    ReadWholeIniSection(taskFile, TimeSection, timeLines);
    ReadWholeIniSection(taskFile, TimeParamsSection, paramLines);
    ReadWholeIniSection(taskFile, TaskSoundSection, soundLines);
    ReadWholeIniSection(taskFile, TaskZonesSection, zoneLines);
    setTimetable(Timetable::Decode(timeLines, paramLines, m_libraryList, soundLines, zoneLines));
    timeLines.clear();
    paramLines.clear();
    soundLines.clear();
    zoneLines.clear();
    // The lines and the timetable it replaces are freed by now: a large timetable's worth.
    ReturnFreedMemory();
    return m_timetable.messages() + m_timetable.soundMessages();
}

void ProgramData::setLibraryList(const QStringList& lines)
{
    m_libraryList = lines;
    emit changed();
}

QStringList ProgramData::loadHolidays()
{
    QStringList lines, dated, workDays;
    ReadConfigSection(HolidaySection, lines);
    ReadConfigSection(HolidayDatesSection, dated);
    ReadConfigSection(WorkDaysSection, workDays);
    m_holidays = Holidays::Decode(lines, dated, workDays);
    emit changed();
    return m_holidays.messages();
}

void ProgramData::changeHolidays(const std::function<void()>& write)
{
    writeThenReload(write, [this] { loadHolidays(); });
}

void ProgramData::addCalendarDates(const CalendarDates& dates)
{
    const QStringList conflicts = m_holidays.conflicts(dates);
    if (!conflicts.isEmpty())
        throw InputError(tr("没有保存，因为：\n%1").arg(conflicts.join(u'\n')));
    const CalendarDates fresh = m_holidays.newIn(dates);
    if (fresh.empty())
        return;
    changeHolidays([&] {
        for (const DatedHoliday& r : fresh.holidays)
            WriteDatedHoliday(r.begin, r.end);
        for (const MakeUpDay& d : fresh.workDays)
            WriteMakeUpDay(d.date, d.weekday);
    });
}

void ProgramData::deleteDatedHoliday(const QDate& begin)
{
    changeHolidays([&] { DeleteDatedHoliday(begin); });
}

void ProgramData::deleteMakeUpDay(const QDate& date)
{
    changeHolidays([&] { DeleteMakeUpDay(date); });
}

QStringList ProgramData::loadSettings()
{
    QStringList problems;
    m_settings = ReadSettings(&problems);
    emit changed();
    return problems;
}

void ProgramData::writeThenReload(const std::function<void()>& write,
                                  const std::function<void()>& reload)
{
    try {
        write();
    } catch (const FileError&) {
        // What the file holds now, part of the change or none of it.
        reload();
        throw;
    }
    reload();
}

void ProgramData::changeSettings(const std::function<void()>& write)
{
    writeThenReload(write, [this] { loadSettings(); });
}

void ProgramData::change(const std::function<void()>& write)
{
    writeThenReload(write, [this] { loadTimetable(); });
}

void SaveBoxSetting(ProgramData& data, QCheckBox* box, const std::function<void(bool on)>& write,
                    const std::function<bool(const Settings&)>& stored)
{
    const bool on = box->isChecked();
    try {
        data.changeSettings([&] { write(on); });
    } catch (const FileError&) {
        const QSignalBlocker quiet(box);
        box->setChecked(stored(data.settings()));
        throw;
    }
}

void ProgramData::saveTask(const QString& key, const TaskEntry& entry, const TaskSound& sound,
                           const TaskZones& zones, const QString& replacedKey)
{
    change([&] {
        const QString taskFile = TaskFilePath();
        WriteIniStringChecked(taskFile, TimeSection, key, FormatTimeValue(entry));
        WriteIniStringChecked(taskFile, TimeParamsSection, key, FormatTimeParamsValue(entry));
        // A default sound has no line: a file that never sets one stays as it always was.
        if (sound.isDefault())
            DeleteIniKeyChecked(taskFile, TaskSoundSection, key);
        else
            WriteIniStringChecked(taskFile, TaskSoundSection, key, FormatTaskSound(sound));
        // Every zone has no line either; no zone at all is an empty one.
        if (zones.isDefault())
            DeleteIniKeyChecked(taskFile, TaskZonesSection, key);
        else
            WriteIniStringChecked(taskFile, TaskZonesSection, key, FormatTaskZones(zones));
        // Keys that the file takes as one (letter case) are the entry just written.
        if (!replacedKey.isEmpty() && FoldedTaskKey(replacedKey) != FoldedTaskKey(key))
            DeleteTaskEntries(taskFile, replacedKey);
    });
}

void ProgramData::deleteTask(const QString& key)
{
    change([&] { DeleteTaskEntries(TaskFilePath(), key); });
}

bool ProgramData::setTaskEnabled(const QString& key, bool enabled)
{
    const QString taskFile = TaskFilePath();
    const QString value = ReadIniString(taskFile, TimeSection, key, QString());
    if (value.isEmpty()) {
        // The task left the file meanwhile (a once-only task that ran): nothing to change.
        loadTimetable();
        return false;
    }
    change([&] { WriteIniStringChecked(taskFile, TimeSection, key, WithEnabledFlag(value, enabled)); });
    return true;
}

bool ProgramData::clearDisabledTasks()
{
    QStringList keys;
    for (const Task& task : m_timetable.tasks())
        if (task.listed() && !task.enabledInList() && !task.leaving)
            keys << task.key;
    if (keys.isEmpty())
        return false;
    change([&] {
        for (const QString& key : keys)
            DeleteTaskEntries(TaskFilePath(), key);
    });
    return true;
}

void ProgramData::clearAllTasks()
{
    change([] {
        EraseIniSectionChecked(TaskFilePath(), TimeSection);
        EraseIniSectionChecked(TaskFilePath(), TimeParamsSection);
        EraseIniSectionChecked(TaskFilePath(), TaskSoundSection);
        EraseIniSectionChecked(TaskFilePath(), TaskZonesSection);
    });
}

QStringList ProgramData::removeMusicFromTasks(const QStringList& musicKeys)
{
    // Folded as the list resolves a task's keys against the library.
    QHash<QString, bool> gone;
    for (const QString& key : musicKeys)
        gone.insert(FoldedTaskKey(key), true);
    QList<std::pair<QString, QString>> values; // task key, new Time value
    QStringList silenced;
    for (const Task& task : m_timetable.tasks()) {
        const TaskEntryFields& f = task.fields();
        if (task.leaving || f.HolidayAt < 0)
            continue;
        QStringList kept;
        for (const QString& key : f.Entry.MusicKeys)
            if (!gone.contains(FoldedTaskKey(key)))
                kept << key;
        if (kept.size() == f.Entry.MusicKeys.size())
            continue;
        // The flags stay as stored; only the keys after them change.
        QString value = f.TimeValue.left(f.HolidayAt + 1);
        if (!kept.isEmpty())
            value += u',' + kept.join(u',');
        else {
            value = WithEnabledFlag(value, false);
            silenced << task.key;
        }
        values.append({task.key, value});
    }
    if (!values.isEmpty())
        change([&] {
            for (const auto& [key, value] : values)
                WriteIniStringChecked(TaskFilePath(), TimeSection, key, value);
        });
    return silenced;
}

void ProgramData::startOnceOnly(const QString& key)
{
    // Marked before the file is written: whatever the file does, it does not start again.
    m_timetable = m_timetable.withLeaving(key);
    emit changed();
    DeleteTaskEntries(TaskFilePath(), key);
}

void ProgramData::endLeaving(const QString& key)
{
    const Task* task = m_timetable.find(key);
    if (!task || !task->leaving)
        return;
    m_timetable = m_timetable.without(key);
    emit changed();
}

namespace {

int BellSecond(const QString& key)
{
    return QTime::fromString(key, QStringLiteral("HH:mm:ss")).msecsSinceStartOfDay() / 1000;
}

bool HasKey(const std::vector<PeriodTask>& bells, const QString& key)
{
    return std::any_of(bells.begin(), bells.end(), [&](const PeriodTask& b) { return b.key == key; });
}

} // namespace

QStringList ProgramData::loadPeriodTimetables()
{
    QStringList lines, messages;
    const QString taskFile = TaskFilePath();
    ReadWholeIniSection(taskFile, PeriodTimetablesSection, lines);
    m_periodTimetables = DecodePeriodTimetables(lines, &messages);
    m_periodApplied = ReadIniString(taskFile, PeriodTimetableInForceSection, PeriodTimetableInForceKey, QString());
    emit changed();
    return messages;
}

std::vector<PeriodTask> ProgramData::appliedBells() const
{
    std::vector<PeriodTask> bells;
    for (const PeriodTimetable& t : m_periodTimetables)
        if (t.name.compare(m_periodApplied, Qt::CaseInsensitive) == 0)
            for (const PeriodTask& bell : PeriodTasks(t)) {
                // Only the bells the file holds as written: one left out for a hand-made task in
                // its second is that task's key, and the task is not the timetable's to remove.
                const Task* task = m_timetable.find(bell.key);
                if (task && task->timeValue() == FormatTimeValue(bell.entry) &&
                    task->paramsValue() == FormatTimeParamsValue(bell.entry))
                    bells.push_back(bell);
            }
    return bells;
}

std::vector<const Task*> ProgramData::handMadeAt(const QString& bellKey, const std::vector<PeriodTask>& ownBells) const
{
    // By second, not by key: a hand-made "8:00:00" stands in the bell "08:00:00"'s second.
    const int second = BellSecond(bellKey);
    std::vector<const Task*> found;
    for (const Task& task : m_timetable.tasks())
        if (task.second == second && !task.leaving && !HasKey(ownBells, task.key))
            found.push_back(&task);
    return found;
}

QStringList ProgramData::periodClashes(const std::vector<PeriodTimetable>& timetables, const QDate& today) const
{
    QStringList clashes;
    const PeriodTimetable* inForce = PeriodTimetableOn(timetables, today);
    if (!inForce)
        return clashes;
    const std::vector<PeriodTask> own = appliedBells();
    for (const PeriodTask& bell : PeriodTasks(*inForce))
        for (const Task* task : handMadeAt(bell.key, own))
            clashes << tr("%1（%2）").arg(task->key, bell.what);
    return clashes;
}

QStringList ProgramData::writePeriodBells(const std::vector<PeriodTask>& newBells, bool replaceHandMade)
{
    const QString taskFile = TaskFilePath();
    const std::vector<PeriodTask> oldBells = appliedBells();
    QStringList leftOut;
    for (const PeriodTask& bell : oldBells)
        if (!HasKey(newBells, bell.key))
            DeleteTaskEntries(taskFile, bell.key);
    for (const PeriodTask& bell : newBells) {
        const std::vector<const Task*> handMade = handMadeAt(bell.key, oldBells);
        if (!handMade.empty() && !replaceHandMade) {
            leftOut << tr("%1 %2：该时刻已有手工任务，未写入").arg(bell.key, bell.what);
            continue;
        }
        for (const Task* task : handMade)
            DeleteTaskEntries(taskFile, task->key);
        WriteIniStringChecked(taskFile, TimeSection, bell.key, FormatTimeValue(bell.entry));
        WriteIniStringChecked(taskFile, TimeParamsSection, bell.key, FormatTimeParamsValue(bell.entry));
    }
    return leftOut;
}

QStringList ProgramData::savePeriodTimetables(const std::vector<PeriodTimetable>& timetables, const QDate& today,
                                              bool replaceHandMade)
{
    const PeriodTimetable* inForce = PeriodTimetableOn(timetables, today);
    QStringList leftOut;
    writeThenReload(
        [&] {
            leftOut = writePeriodBells(inForce ? PeriodTasks(*inForce) : std::vector<PeriodTask>(), replaceHandMade);
            const QString taskFile = TaskFilePath();
            EraseIniSectionChecked(taskFile, PeriodTimetablesSection);
            for (const PeriodTimetable& t : timetables)
                WriteIniStringChecked(taskFile, PeriodTimetablesSection, t.name, FormatPeriodTimetable(t));
            WriteIniStringChecked(taskFile, PeriodTimetableInForceSection, PeriodTimetableInForceKey,
                                  inForce ? inForce->name : QString());
        },
        [this] {
            loadTimetable();
            loadPeriodTimetables();
        });
    return leftOut;
}

QStringList ProgramData::applyPeriodTimetableOn(const QDate& today)
{
    const PeriodTimetable* inForce = periodTimetableOn(today);
    if (!inForce || inForce->name.compare(m_periodApplied, Qt::CaseInsensitive) == 0)
        return {};
    return savePeriodTimetables(m_periodTimetables, today, false);
}

void ProgramData::renameZoneInTasks(const QString& oldName, const QString& newName)
{
    const QString taskFile = TaskFilePath();
    QStringList lines;
    ReadWholeIniSection(taskFile, TaskZonesSection, lines);
    bool renamed = false;
    for (QString& line : lines) {
        const qsizetype eq = line.indexOf(u'=');
        TaskZones zones = ReadTaskZones(line.mid(eq + 1));
        const qsizetype at = zones.names.indexOf(oldName);
        if (eq < 0 || at < 0)
            continue;
        zones.names[at] = newName;
        zones.names.removeDuplicates();
        line = line.left(eq + 1) + FormatTaskZones(zones);
        renamed = true;
    }
    if (renamed)
        change([&] { ReplaceIniSectionChecked(taskFile, TaskZonesSection, lines); });
}

Timetable ProgramData::timetableOn(const QDate& day) const
{
    const PeriodTimetable* inForce = periodTimetableOn(day);
    if (!inForce || inForce->name.compare(m_periodApplied, Qt::CaseInsensitive) == 0)
        return m_timetable;
    const std::vector<PeriodTask> oldBells = appliedBells();
    QStringList timeLines, paramLines, soundLines, zoneLines;
    for (const Task& task : m_timetable.tasks())
        if (!task.leaving && !HasKey(oldBells, task.key)) {
            timeLines << task.key + u'=' + task.timeValue();
            paramLines << task.key + u'=' + task.paramsValue();
            if (!task.sound().isDefault())
                soundLines << task.key + u'=' + FormatTaskSound(task.sound());
            if (!task.zones().isDefault())
                zoneLines << task.key + u'=' + FormatTaskZones(task.zones());
        }
    for (const PeriodTask& bell : PeriodTasks(*inForce))
        if (handMadeAt(bell.key, oldBells).empty()) {
            timeLines << bell.key + u'=' + FormatTimeValue(bell.entry);
            paramLines << bell.key + u'=' + FormatTimeParamsValue(bell.entry);
        }
    return Timetable::Decode(timeLines, paramLines, m_libraryList, soundLines, zoneLines);
}
