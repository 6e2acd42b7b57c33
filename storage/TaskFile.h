#pragma once
// The task file TimeMusicList.ini: its path, record type, name tables and line helpers.
// No widget in here.
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>

inline const QString TaskFileName = QStringLiteral("TimeMusicList.ini");
inline const QString TimeSection = QStringLiteral("Time");
inline const QString TimeParamsSection = QStringLiteral("TimeParams");
inline const QString MusicSection = QStringLiteral("Music");

// Full path of the task file in the application directory, formed anew at each call.
QString TaskFilePath();

// Removes a task: its entries under key in Time, TimeParams, TaskSound and TaskZones. Raises FileError
// when the file keeps them.
void DeleteTaskEntries(const QString& taskFile, const QString& key);

// A whole decimal number (blanks around it allowed), as every number of the task file and of
// the lists is read; empty for any other text.
std::optional<int> ReadWholeNumber(const QString& text);
// The same, raising ConversionError, with a text for the user that quotes the text, for any other.
int ToInteger(const QString& text);

// Name=value lists: a line's name (all of it when it holds no "=") and value, and the first line whose name equals name, ignoring case (-1 / empty if none).
QString LineName(const QString& line);
QString LineValue(const QString& line);
qsizetype IndexOfName(const QStringList& lines, const QString& name);
QString NameValue(const QStringList& lines, const QString& name);

// Display names in the interface's language; the task file holds numbers, never these.
// Shown in the limit and end time columns when the task has neither.
QString NoControlText();
QStringList DateTypeNames();
QStringList PlayModeNames();
QStringList SourceTypeNames();
QStringList YesNoNames();
QStringList WeekdayNames();

// Entry of a name table, or empty for a number only a hand-edited file can hold.
QString NameAt(const QStringList& table, int index);

// One per task row that has its parameters; the editor is filled from it.
struct TTaskRecord {
    QString StartTime;
    qint32 LoopCount = 0;
    qint32 SourceType = 0;
    qint32 PlayMode = 0;
    QString MusicText;
    qint32 DateType = 0;
    QString DateParams;
    QString EndTime;
    qint32 PlayLength = 0;
    // As the editor's box says: the stored holiday flag is 0, holidays keep the task silent.
    bool ExcludeHolidays = false;

    bool operator==(const TTaskRecord&) const = default;
};

// Display text of a date parameter field (the list's column 6).
QString FormatDateParams(int dateType, const QString& text);

// "yyyy-m-d" optionally followed by a blank and "h:n:s", leading zeros optional.
// Raises ConversionError when the text is no valid date and time.
QDateTime ParseDateTime(const QString& text);

// "TimeMusicList.ini 的 [section] 中 key 一行有误：reason": what the user is shown for a task
// line that does not read.
QString TaskLineMessage(const QString& section, const QString& key, const QString& reason);
