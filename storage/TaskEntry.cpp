#include "storage/TaskEntry.h"

QString FormatTimeValue(const TaskEntry& entry)
{
    QStringList fields{entry.Enabled ? QStringLiteral("1") : QStringLiteral("0"),
                       QString::number(entry.HolidayFlag)};
    fields << entry.MusicKeys;
    return fields.join(u',');
}

QString FormatTimeParamsValue(const TaskEntry& entry)
{
    return QStringList{QString::number(entry.LoopCount), QString::number(entry.SourceType),
                       QString::number(entry.PlayMode),  QString::number(entry.DateType),
                       entry.DateParams,                 QString::number(entry.PlayLength),
                       entry.EndTime}
        .join(u',');
}
