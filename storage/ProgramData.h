#pragma once
// The one owner of what the program works from: the timetable of the task file, the music
// library's lines, the holiday ranges and the settings of Config.ini. Every change of the timetable goes through here: it
// is written to the file, its outcome checked, and then the timetable is what the file holds.
// One signal tells the readers (due-time check, playback, tray, pages) that something changed.
#include "storage/ConfigFile.h"
#include "storage/Holidays.h"
#include "storage/PeriodTimetable.h"
#include "storage/Timetable.h"

#include <QObject>
#include <QStringList>

#include <functional>

class QCheckBox;

class ProgramData : public QObject {
    Q_OBJECT
public:
    explicit ProgramData(QObject* parent = nullptr);

    const Timetable& timetable() const { return m_timetable; }
    // The Time lines of the timetable, "key=value" in file order (tasks leaving excluded).
    QStringList ScheduleList() const { return m_timetable.ScheduleList(); }
    // The [Music] lines, "number=path".
    const QStringList& LibraryList() const { return m_libraryList; }
    // The [Holiday] lines, "M-D=M-D", and the ranges they hold.
    const QStringList& HolidayList() const { return m_holidays.HolidayList(); }
    const Holidays& holidays() const { return m_holidays; }
    const Settings& settings() const { return m_settings; }

    // Reads the timetable from the task file; the result holds one message per Time line the
    // list cannot show (those tasks still fall due as the due-time check reads them) and one
    // per TaskSound line not taken as it stands. TaskZones lines are read with the tasks.
    // Nothing is written back.
    QStringList loadTimetable();
    void setLibraryList(const QStringList& lines);
    // Reads the school calendar (holiday ranges, yearly and dated, and make-up working days)
    // from Config.ini; the result holds one message per line that counts for nothing.
    QStringList loadHolidays();
    // Runs Config.ini's holiday writers (raising FileError on a refusal), then reads the ranges
    // back, refused or not.
    void changeHolidays(const std::function<void()>& write);
    // Adds dated holiday ranges and make-up days to Config.ini, those it holds already left
    // out. Raises InputError naming every conflict before anything is written.
    void addCalendarDates(const CalendarDates& dates);
    void deleteDatedHoliday(const QDate& begin);
    void deleteMakeUpDay(const QDate& date);
    // Reads Config.ini; the result names each setting read otherwise than it stands (nothing is
    // written back).
    QStringList loadSettings();
    // Runs Config.ini's writers (which raise FileError on a refusal), then reads the settings
    // back, so that they are what the file holds, refused or not.
    void changeSettings(const std::function<void()>& write);

    // The commands. Each raises FileError when the file refuses the change; the timetable is
    // then read again, so it shows what the file holds.
    // Writes the task under key, its sound and zones lines with it (none for the default
    // sound, none for every zone); replacedKey, when another key, is deleted after the write,
    // so an interrupted edit leaves the task twice, never lost.
    void saveTask(const QString& key, const TaskEntry& entry, const TaskSound& sound,
                  const TaskZones& zones, const QString& replacedKey = QString());
    void deleteTask(const QString& key);
    // Sets the enabled flag of the task's Time value; false when the task has left the file.
    bool setTaskEnabled(const QString& key, bool enabled);
    // Deletes every task the list shows switched off; false when there was none.
    bool clearDisabledTasks();
    void clearAllTasks();
    // A zone renamed: every task that names it names the new name instead.
    void renameZoneInTasks(const QString& oldName, const QString& newName);
    // Takes the music numbers out of every task's Time value that holds them; a task left
    // without music is switched off as well. Returns the keys of those tasks.
    QStringList removeMusicFromTasks(const QStringList& musicKeys);
    // A once-only task as it starts: its lines leave the file at once and it falls due no
    // more, but it stays in the timetable, marked leaving, until endLeaving.
    void startOnceOnly(const QString& key);
    void endLeaving(const QString& key);

    // The timetables of periods, and the one whose bells the task file holds (empty: none).
    const std::vector<PeriodTimetable>& periodTimetables() const { return m_periodTimetables; }
    const QString& periodTimetableApplied() const { return m_periodApplied; }
    const PeriodTimetable* periodTimetableOn(const QDate& day) const
    {
        return PeriodTimetableOn(m_periodTimetables, day);
    }
    // Reads the timetables of periods from the task file; one message per line that does not read.
    QStringList loadPeriodTimetables();
    // The hand-made tasks that stand in the second of a bell that saving timetables would write
    // on today, as "key (what)" texts.
    QStringList periodClashes(const std::vector<PeriodTimetable>& timetables, const QDate& today) const;
    // Saves the timetables, and brings the task file to the one in force today: the bells the
    // file held for a timetable go, those of the one in force now are written. A hand-made task
    // in a bell's second is replaced when replaceHandMade, else that bell is left out. Returns
    // one message per bell left out. Raises FileError when the file refuses.
    QStringList savePeriodTimetables(const std::vector<PeriodTimetable>& timetables, const QDate& today,
                                     bool replaceHandMade);
    // At start-up and on each new day: when another timetable is in force than the file holds,
    // its bells take the old ones' place; hand-made tasks stay, a bell in their second is left
    // out and named in the result.
    QStringList applyPeriodTimetableOn(const QDate& today);
    // What the due-time check would serve on day: the file's tasks, with the bells of the
    // timetable in force that day in place of those the file holds.
    Timetable timetableOn(const QDate& day) const;

signals:
    void changed();

private:
    // Runs write, then reload, refused or not: what is held is then what the file holds. A
    // refusal (FileError) is raised on.
    static void writeThenReload(const std::function<void()>& write, const std::function<void()>& reload);
    void change(const std::function<void()>& write);
    void setTimetable(const Timetable& timetable);

    // The bells of the applied timetable that the file holds as written, and the hand-made
    // tasks in the second of one of them.
    std::vector<PeriodTask> appliedBells() const;
    std::vector<const Task*> handMadeAt(const QString& bellKey, const std::vector<PeriodTask>& ownBells) const;
    QStringList writePeriodBells(const std::vector<PeriodTask>& newBells, bool replaceHandMade);

    Timetable m_timetable;
    std::vector<PeriodTimetable> m_periodTimetables;
    QString m_periodApplied;
    QStringList m_libraryList;
    Holidays m_holidays;
    Settings m_settings;
};

// Saves what box now says with write; when Config.ini refuses, the box goes back to the stored
// setting (without running its handler again) and the FileError is raised on.
void SaveBoxSetting(ProgramData& data, QCheckBox* box, const std::function<void(bool on)>& write,
                    const std::function<bool(const Settings&)>& stored);
