#include "storage/TaskEntry.h"

#include "storage/TaskFile.h"
#include "storage/TextSplit.h"
#include "storage/TimeText.h"

QString FormatTimeValue(const TaskEntry& entry)
{
    QStringList fields{entry.Enabled ? QStringLiteral("1") : QStringLiteral("0"),
                       QString::number(entry.HolidayFlag)};
    fields << entry.MusicKeys;
    return fields.join(u',');
}

QString WithEnabledFlag(QString timeValue, bool enabled)
{
    // The whole flag, as it is read: "True,0,3" switched off is "0,0,3", not "0rue,0,3".
    const qsizetype comma = timeValue.indexOf(u',');
    return timeValue.replace(0, comma < 0 ? timeValue.size() : comma,
                             enabled ? QStringLiteral("1") : QStringLiteral("0"));
}

QString FormatTimeParamsValue(const TaskEntry& entry)
{
    return QStringList{QString::number(entry.LoopCount), QString::number(entry.SourceType),
                       QString::number(entry.PlayMode),  QString::number(entry.DateType),
                       entry.DateParams,                 QString::number(entry.PlayLength),
                       entry.EndTime}
        .join(u',');
}

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// "True" and "False" in any case, or a whole number meaning true unless it is 0.
bool readBoolean(QStringView text, bool& value)
{
    const QStringView t = text.trimmed();
    if (t.compare(u"True", Qt::CaseInsensitive) == 0)
        value = true;
    else if (t.compare(u"False", Qt::CaseInsensitive) == 0)
        value = false;
    else {
        bool ok = false;
        const qlonglong number = t.toLongLong(&ok);
        if (!ok)
            return false;
        value = number != 0;
    }
    return true;
}

// The member of entry that holds a number field; null for the two text fields.
template <typename Entry>
auto numberField(Entry& entry, ParamField field) -> decltype(&entry.LoopCount)
{
    switch (field) {
    case LoopCountField:
        return &entry.LoopCount;
    case SourceTypeField:
        return &entry.SourceType;
    case PlayModeField:
        return &entry.PlayMode;
    case DateTypeField:
        return &entry.DateType;
    case PlayLengthField:
        return &entry.PlayLength;
    default:
        return nullptr;
    }
}

} // namespace

int TaskEntryFields::Number(ParamField field) const
{
    if (ParamValid[field])
        if (const int* number = numberField(Entry, field))
            return *number;
    return ToInteger(ParamText(field));
}

void ReadTimeFlags(const QString& value, TaskEntryFields& fields)
{
    static const TaskEntry defaults;
    fields.TimeValue = value;
    fields.Entry.Enabled = defaults.Enabled;
    fields.Entry.HolidayFlag = defaults.HolidayFlag;
    const qsizetype comma = value.indexOf(u',');
    fields.EnabledLength = comma < 0 ? value.size() : comma;
    fields.HolidayAt = comma < 0 ? -1 : comma + 1;
    fields.EnabledValid =
        readBoolean(QStringView(value).left(fields.EnabledLength), fields.Entry.Enabled);
    fields.HolidayValid = fields.HolidayAt >= 0 && fields.HolidayAt < value.size() &&
                          isDigit(value[fields.HolidayAt]);
    if (fields.HolidayValid)
        fields.Entry.HolidayFlag = value[fields.HolidayAt].unicode() - u'0';
}

void ReadTimeValue(const QString& value, TaskEntryFields& fields)
{
    ReadTimeFlags(value, fields);
    // The keys follow the comma after the holiday flag.
    fields.Entry.MusicKeys = fields.HolidayAt < 0
                                 ? QStringList()
                                 : SplitDelimitedText(value.mid(fields.HolidayAt + 2));
}

void ReadTimeParamsValue(const QString& value, TaskEntryFields& fields)
{
    static const TaskEntry defaults;
    TaskEntry& e = fields.Entry;
    e.LoopCount = defaults.LoopCount;
    e.SourceType = defaults.SourceType;
    e.PlayMode = defaults.PlayMode;
    e.DateType = defaults.DateType;
    e.DateParams = defaults.DateParams;
    e.PlayLength = defaults.PlayLength;
    e.EndTime = defaults.EndTime;
    fields.ParamValid.fill(false);
    fields.EndTimeOfDay = QTime();

    fields.Params = SplitDelimitedText(value);
    const qsizetype count = fields.Params.size();
    for (const ParamField field :
         {LoopCountField, SourceTypeField, PlayModeField, DateTypeField, PlayLengthField})
        if (field < count) {
            // Read as ToInteger reads it, so that Number raises exactly where ToInteger would.
            const std::optional<int> number = ReadWholeNumber(fields.Params[field]);
            fields.ParamValid[field] = number.has_value();
            if (number)
                *numberField(e, field) = *number;
        }
    if (DateParamsField < count) {
        e.DateParams = fields.Params[DateParamsField];
        fields.ParamValid[DateParamsField] = true;
    }
    if (EndTimeField < count) {
        e.EndTime = fields.Params[EndTimeField];
        bool ok = false;
        const QTime end = ParseTimeText(e.EndTime, &ok);
        fields.ParamValid[EndTimeField] = ok;
        if (ok)
            fields.EndTimeOfDay = end;
    }
}

TaskEntryFields ReadTaskEntry(const QString& timeValue, const QString& paramsValue)
{
    TaskEntryFields fields;
    ReadTimeValue(timeValue, fields);
    ReadTimeParamsValue(paramsValue, fields);
    return fields;
}
