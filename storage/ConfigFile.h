#pragma once
// Config.ini's key table: every setting the program keeps there, typed, read with its default
// and written with the section spelling and the text it has always been written with, so that
// a file reads the same and every write leaves the same bytes as before. Reading never fails:
// a missing or unreadable file gives the defaults.
#include "storage/BroadcastConfig.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <array>

// Sections and keys kept elsewhere in the program: the holiday ranges (one "begin=end" entry
// each) and the music library's enciphered password.
inline const QString HolidaySection = QStringLiteral("Holiday");
inline const QString LibraryPasswordSection = QStringLiteral("Base");
inline const QString LibraryPasswordKey = QStringLiteral("libp");

struct Settings {
    QString backgroupMusicFile;   // background music file
    bool isBackgroup = false;     // background music on (the stored number is 1)
    bool enCodeLib = false;       // the library's paths are stored enciphered (the number is 1)
    bool autoStart = true;        // start at every log-on
    // Monday to Sunday: the working weekdays.
    std::array<bool, 7> workingDays{true, true, true, true, true, false, false};
    bool shotdown = true;         // the daily automatic shutdown
    // The shutdown time as stored, checked where it is used: a bad one is named there.
    QString shotdownTime = QStringLiteral("00:00:00");
    bool shotdownHint = true;     // the countdown window before the shutdown
    // Minutes before the shutdown that the countdown opens, as the box holds them.
    QString guanjiHintFengzhong = QStringLiteral("1");

    // Seconds after its time that a bell skipped by a clock jump or a sleep still rings; 0 never.
    int lateBellGrace = 60;
    // Keep an idle machine from sleeping while bells remain today (the stored number is 1).
    bool stayAwake = true;

    // Master volumes in percent (0 to MaxMasterVolume): of every task (铃声音量) and of the
    // background music (背景音乐音量).
    int taskVolume = 100;
    int musicVolume = 100;
    // Percent of its volume (0 to 100) that the background music goes down to while a task plays.
    int duckLevel = 20;

    // [Broadcast] and [BroadcastZones]; written only by WriteBroadcastSettings.
    BroadcastSettings broadcast;

    bool operator==(const Settings&) const = default;
};

// The longest grace the settings page offers.
constexpr int MaxLateBellGrace = 600;
// Above 100 raises quiet recordings; as a task's own volume goes.
constexpr int MaxMasterVolume = 150;
constexpr int MaxDuckLevel = 100;

// A volume, port or buffer out of range (hand-edited) is clamped and one that does not read is
// the default; either is named in *problems, when given, as is each zone line left out (a name
// ZoneNameProblem refuses, or no port). Nothing is written back.
Settings ReadSettings(QStringList* problems = nullptr);

// Each writer raises FileError when Config.ini refuses the write.
void WriteBackgroupMusicFile(const QString& file);
void WriteIsBackgroup(bool on);
void WriteEnCodeLib(bool on);
void WriteAutoStart(bool on);
// dayOfWeek: 1 (Monday) to 7 (Sunday).
void WriteWorkingDay(int dayOfWeek, bool on);
void WriteShotdown(bool on);
void WriteShotdownTime(const QString& time);
void WriteShotdownHint(bool on);
void WriteGuanjiHintFengzhong(const QString& minutes);
void WriteLateBellGrace(int seconds);
void WriteStayAwake(bool on);
void WriteTaskVolume(int percent);
void WriteMusicVolume(int percent);
void WriteDuckLevel(int percent);
// A holiday range "begin=end" ("M-D" each), and its removal by its begin day.
void WriteHoliday(const QString& begin, const QString& end);
void DeleteHoliday(const QString& begin);
// The school calendar's dated holiday ranges ("yyyy-MM-dd=yyyy-MM-dd") and make-up working
// days ("yyyy-MM-dd=N"), each written and removed by its first date.
void WriteDatedHoliday(const QDate& begin, const QDate& end);
void DeleteDatedHoliday(const QDate& begin);
void WriteMakeUpDay(const QDate& date, int weekday);
void DeleteMakeUpDay(const QDate& date);
