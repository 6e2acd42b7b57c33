#pragma once
// The timetable as a value: the tasks of the task file, each its two stored values and those
// values read once. Copies are cheap and share the tasks; a timetable never changes once made.
#include "storage/TaskEntry.h"
#include "storage/TaskFile.h"
#include "storage/TaskSound.h"
#include "storage/TaskZones.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

enum class DateType : int { EveryDay = 0, Weekdays = 1, MonthDays = 2, FixedDate = 3, OnceOnly = 4 };
enum class SourceType : int { AudioFiles = 1, Folder = 2, Affair = 3 };
enum class PlayMode : int { InOrder = 1, Random = 2 };

// What a task's two stored values say, read once; the tasks of equal values share it.
struct TaskValues {
    // Both values read: the flags, the music keys and the parameters.
    TaskEntryFields fields;
    // The TimeParams value as stored; empty when the file has no line for the key.
    QString paramsValue;
    // When the list cannot show the task (its flags or leading parameters do not read),
    // faultSection and faultReason say which line and why; it still falls due as far as its
    // flags allow.
    QString faultSection;
    QString faultReason;
    bool enabledInList = false;
    int holidayInList = 0;
    // The editor's record, less what depends on the key: StartTime is empty and EndTime is
    // the stored end time, which a task starting after it does not show.
    std::optional<TTaskRecord> record;
    // The TaskSound line's reading; soundProblem says why it is not what the line holds.
    TaskSound sound;
    QString soundProblem;
    // The TaskZones line's reading; every zone when the file has none.
    TaskZones zones;
};

struct Task {
    // The start time as the file spells it: the name of its Time line.
    QString key;
    std::shared_ptr<const TaskValues> values;
    // Second of the day the key names; -1 when it names none (the task never falls due).
    int second = -1;
    // The record's end time applies: the key is not after it.
    bool endShown = false;
    // Started once-only task: its lines have left the file, it stays listed until it ends.
    bool leaving = false;

    const TaskEntryFields& fields() const { return valuesOrNone().fields; }
    const QString& timeValue() const { return fields().TimeValue; }
    const QString& paramsValue() const { return valuesOrNone().paramsValue; }
    DateType dateType() const { return DateType(fields().Entry.DateType); }
    // Whether the list shows the task; when not, fault() names the file, section and key.
    bool listed() const { return valuesOrNone().faultReason.isEmpty(); }
    QString fault() const;
    bool enabledInList() const { return valuesOrNone().enabledInList; }
    int holidayInList() const { return valuesOrNone().holidayInList; }
    // The record the editor is filled from; none for a task without parameters.
    std::optional<TTaskRecord> record() const;
    // How loud it plays and how it fades; the default when the file has no line for it.
    const TaskSound& sound() const { return valuesOrNone().sound; }
    // The zones it rings in; every zone when the file has no line for it.
    const TaskZones& zones() const { return valuesOrNone().zones; }

private:
    const TaskValues& valuesOrNone() const;
};

class Timetable {
public:
    Timetable();
    // Tasks in the order of the file's Time lines.
    const std::vector<Task>& tasks() const { return m_data->tasks; }
    qsizetype size() const { return qsizetype(m_data->tasks.size()); }
    bool isEmpty() const { return m_data->tasks.empty(); }
    // The first task whose key equals key as the file compares names (ASCII letters in either
    // case); null when there is none.
    const Task* find(const QString& key) const;
    // The Time lines, "key=value", in file order: the due-time check's working list.
    QStringList ScheduleList() const;
    // One message per Time line the list cannot show, naming the file, section and key.
    const QStringList& messages() const { return m_data->messages; }
    // One message per task whose TaskSound line is not taken as it stands. Kept apart: the
    // task is listed and plays, so it is named at start-up, not after every command.
    const QStringList& soundMessages() const { return m_data->soundMessages; }
    // Whether other is this very timetable (a copy of it), not merely an equal one.
    bool sameAs(const Timetable& other) const { return m_data == other.m_data; }

    // The Time, TimeParams, TaskSound and TaskZones sections (key=value lines in file order)
    // and the library's "number=path" lines, which name the music in the list's cells.
    static Timetable Decode(const QStringList& timeLines, const QStringList& paramLines,
                            const QStringList& libraryList, const QStringList& soundLines = {},
                            const QStringList& zoneLines = {});
    // This timetable with the task under key marked as leaving.
    Timetable withLeaving(const QString& key) const;
    // This timetable without the task under key.
    Timetable without(const QString& key) const;
    // This timetable with the leaving tasks of other that it lacks, at its end.
    Timetable keepingLeaving(const Timetable& other) const;

private:
    struct Data {
        std::vector<Task> tasks;
        QHash<QString, int> byName; // folded key -> first task of that key
        QStringList messages;
        QStringList soundMessages;
    };
    explicit Timetable(std::shared_ptr<const Data> data) : m_data(std::move(data)) {}
    static std::shared_ptr<const Data> indexed(Data data);
    std::shared_ptr<const Data> m_data;
};

// The key as the file compares names: ASCII letters folded to lower case, the rest as it is.
QString FoldedTaskKey(const QString& key);
// Cells of the task list: the most a task has.
inline constexpr int TaskListColumns = 10;
// The task list's cell of a task the list shows; a task without parameters has its caption
// (column 0) alone.
QString TaskCell(const Task& task, int column);
