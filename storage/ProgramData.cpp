#include "storage/ProgramData.h"

#include "platform/Errors.h"
#include "platform/FreedMemory.h"
#include "storage/IniStore.h"

#include <QCheckBox>
#include <QSignalBlocker>

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
    // Whole sections: a timetable past the key-list limit would otherwise lose its later
    // tasks without a word.
    const QString taskFile = TaskFilePath();
    ReadWholeIniSection(taskFile, TimeSection, timeLines);
    ReadWholeIniSection(taskFile, TimeParamsSection, paramLines);
    setTimetable(Timetable::Decode(timeLines, paramLines, m_libraryList));
    timeLines.clear();
    paramLines.clear();
    // The lines and the timetable it replaces are freed by now: a large timetable's worth.
    ReturnFreedMemory();
    return m_timetable.messages();
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
        throw InputError(QStringLiteral("没有保存，因为：\n") + conflicts.join(u'\n'));
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

void ProgramData::loadSettings()
{
    m_settings = ReadSettings();
    emit changed();
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

void ProgramData::saveTask(const QString& key, const TaskEntry& entry, const QString& replacedKey)
{
    change([&] {
        const QString taskFile = TaskFilePath();
        WriteIniStringChecked(taskFile, TimeSection, key, FormatTimeValue(entry));
        WriteIniStringChecked(taskFile, TimeParamsSection, key, FormatTimeParamsValue(entry));
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
