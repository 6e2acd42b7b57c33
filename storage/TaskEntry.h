#pragma once
// One task as its two values in the task file hold it: the Time value (enabled flag, holiday
// flag, music keys) and the TimeParams value (seven fields). The layout of those values is
// known here and nowhere else.
#include <QString>
#include <QStringList>

struct TaskEntry {
    // Time value.
    bool Enabled = true;
    // "1" when the editor's box "排除节假日" was checked: the holiday ranges are then not consulted.
    int HolidayFlag = 0;
    QStringList MusicKeys;
    // TimeParams value, in field order.
    int LoopCount = 1;
    int SourceType = 1;
    int PlayMode = 1;
    int DateType = 0;
    QString DateParams;
    int PlayLength = 0;
    QString EndTime = QStringLiteral("00:00:00");
};

// "1,0,3,7": enabled flag, holiday flag, then one music key each.
QString FormatTimeValue(const TaskEntry& entry);
// All seven fields joined with ","; an empty DateParams leaves two commas side by side.
QString FormatTimeParamsValue(const TaskEntry& entry);
