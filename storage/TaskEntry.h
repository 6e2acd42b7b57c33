#pragma once
// One task as its two values in the task file hold it: the Time value (enabled flag, holiday
// flag, music keys) and the TimeParams value (seven fields). The layout of those values is
// known here and nowhere else.
#include <QString>
#include <QStringList>
#include <QTime>
#include <QtGlobal>

#include <array>

struct TaskEntry {
    // Time value.
    bool Enabled = true;
    // 0: the holiday ranges keep the task silent (the editor's box "排除节假日" checked);
    // any other digit: they are not consulted. Older files and readers rely on this meaning.
    int HolidayFlag = 0;
    QStringList MusicKeys{};
    // TimeParams value, in field order.
    int LoopCount = 1;
    int SourceType = 1;
    int PlayMode = 1;
    int DateType = 0;
    QString DateParams{};
    int PlayLength = 0;
    QString EndTime = QStringLiteral("00:00:00");

    bool operator==(const TaskEntry&) const = default;
};

// "1,0,3,7": enabled flag, holiday flag, then one music key each.
QString FormatTimeValue(const TaskEntry& entry);
// All seven fields joined with ","; an empty DateParams leaves two commas side by side.
QString FormatTimeParamsValue(const TaskEntry& entry);
// The Time value with its enabled flag (the text before the first comma) set to "1" or "0" and
// nothing else changed.
QString WithEnabledFlag(QString timeValue, bool enabled);

// The TimeParams fields in their order in the value.
enum ParamField : int {
    LoopCountField,
    SourceTypeField,
    PlayModeField,
    DateTypeField,
    DateParamsField,
    PlayLengthField,
    EndTimeField,
    ParamFieldCount
};

// A task's two values as read, field by field. Reading raises nothing: each field tells whether
// it was there and whether it converted, and each caller decides which gap it refuses and how.
// Entry holds what was there and converted; every other field keeps TaskEntry's default.
// DateParams and EndTime are text and stand in Entry as stored.
struct TaskEntryFields {
    TaskEntry Entry;

    // The Time value as stored. The enabled flag is all the text before the first comma and
    // reads as "True", "False" or a whole number, blanks around allowed; the holiday flag is
    // the one digit after that comma, and the music keys start two characters later.
    QString TimeValue;
    // The enabled flag is the first EnabledLength characters.
    qsizetype EnabledLength = 0;
    // Place (from 0) of the holiday flag; -1 when the value has no comma. The flag's place
    // may lie past the end of the value.
    qsizetype HolidayAt = -1;
    bool EnabledValid = false;
    bool HolidayValid = false;

    // The TimeParams fields as stored, as many as the value holds (older files hold five or six).
    QStringList Params;
    // A number field read as a whole number (blanks around allowed, as ToInteger reads it),
    // DateParams was there, EndTime read as a time of day.
    std::array<bool, ParamFieldCount> ParamValid{};
    // EndTime as a time of day; null when it does not read as one.
    QTime EndTimeOfDay;

    QString EnabledText() const { return TimeValue.left(EnabledLength); }
    // The holiday flag's one character; empty when the value ends before it.
    QString HolidayText() const { return HolidayAt < 0 ? QString() : TimeValue.mid(HolidayAt, 1); }

    qsizetype ParamCount() const { return Params.size(); }
    bool HasParam(ParamField field) const { return field < Params.size(); }
    // The field as stored; empty when the value does not reach it.
    QString ParamText(ParamField field) const { return Params.value(field); }
    // The number in one of the number fields; for a field that is missing or does not read,
    // the ConversionError that ToInteger raises for its text.
    int Number(ParamField field) const;
};

// Reads the two flags of a Time value into fields: TimeValue, EnabledLength, HolidayAt, the
// validity of both flags and Entry.Enabled and Entry.HolidayFlag. Cheap enough for every due tick.
void ReadTimeFlags(const QString& value, TaskEntryFields& fields);
// Reads the flags and the music keys of a Time value into fields.
void ReadTimeValue(const QString& value, TaskEntryFields& fields);
// Reads a TimeParams value into fields, replacing whatever fields held of one before.
void ReadTimeParamsValue(const QString& value, TaskEntryFields& fields);
// Both values at once.
TaskEntryFields ReadTaskEntry(const QString& timeValue, const QString& paramsValue);
