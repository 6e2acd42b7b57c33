#include "storage/Timetable.h"

#include "platform/Errors.h"
#include "storage/MusicName.h"
#include "storage/TimeText.h"

#include <QTime>

QString FoldedTaskKey(const QString& key)
{
    for (qsizetype i = 0; i < key.size(); ++i)
        if (key[i] >= u'A' && key[i] <= u'Z') {
            QString folded = key;
            for (QChar& c : folded)
                if (c >= u'A' && c <= u'Z')
                    c = QChar(c.unicode() - u'A' + u'a');
            return folded;
        }
    return key; // shares the key's text
}

namespace {

// A task key that is a time of day gives its second of the day, any other -1. The common
// forms are read by hand: a large timetable has tens of thousands of keys, and the general
// parse costs microseconds each. Anything else goes to ParseTimeText.
int SecondOfDay(const QString& key)
{
    const qsizetype n = key.size();
    if (n == 7 || n == 8) {
        const qsizetype h = n - 6; // digits of the hour
        auto digit = [&](qsizetype i) {
            const char16_t c = key[i].unicode();
            return c >= u'0' && c <= u'9' ? c - u'0' : -1;
        };
        const int h0 = digit(0), h1 = h == 2 ? digit(1) : 0;
        const int m0 = digit(h + 1), m1 = digit(h + 2), s0 = digit(h + 4), s1 = digit(h + 5);
        if (key[h] == u':' && key[h + 3] == u':' && h0 >= 0 && h1 >= 0 && m0 >= 0 && m1 >= 0 &&
            s0 >= 0 && s1 >= 0) {
            const int hour = h == 2 ? h0 * 10 + h1 : h0;
            const int minute = m0 * 10 + m1, second = s0 * 10 + s1;
            if (hour < 24 && minute < 60 && second < 60)
                return (hour * 60 + minute) * 60 + second;
        }
    }
    bool ok = false;
    const QTime t = ParseTimeText(key, &ok);
    return ok ? t.msecsSinceStartOfDay() / 1000 : -1;
}

QString fileNamePart(const QString& path)
{
    return path.mid(path.lastIndexOf(u'/') + 1);
}

// A line that the list cannot show, with the message that names it.
struct BadLine {
    QString message;
};

// Reads each distinct value once: most tasks of a large timetable share their values, and
// the copies then share their texts too.
class Decoder {
public:
    explicit Decoder(const QStringList& libraryList)
    {
        for (const QString& line : libraryList) {
            const QString name = FoldedTaskKey(LineName(line));
            if (!m_library.contains(name))
                m_library.insert(name, LineValue(line));
        }
    }

    Task decode(const QString& key, const QString& timeValue, const QString& paramsValue)
    {
        Task task;
        task.key = key;
        task.second = SecondOfDay(key);
        const auto found = paramsOf(paramsValue);
        // The text read once: the tasks of equal parameters share it.
        task.paramsValue = found.key();
        const TaskEntryFields& params = found.value();
        task.byPlace = byPlace(timeValue);
        copyParams(params, task.byPlace);
        try {
            readForList(task, params);
            task.listed = true;
        } catch (const BadLine& bad) {
            task.fault = bad.message;
        }
        return task;
    }

private:
    QHash<QString, TaskEntryFields>::const_iterator paramsOf(const QString& value)
    {
        auto it = m_params.constFind(value);
        if (it == m_params.cend()) {
            TaskEntryFields fields;
            ReadTimeParamsValue(value, fields);
            it = m_params.insert(value, fields);
        }
        return it;
    }

    TaskEntryFields byPlace(const QString& value)
    {
        auto it = m_byPlace.find(value);
        if (it == m_byPlace.end()) {
            TaskEntryFields fields;
            ReadTimeValue(value, TimeFlagsAt::Places, fields);
            it = m_byPlace.insert(value, fields);
        }
        return *it;
    }

    const TaskEntryFields& byComma(const QString& value)
    {
        auto it = m_byComma.find(value);
        if (it == m_byComma.end()) {
            TaskEntryFields fields;
            ReadTimeValue(value, TimeFlagsAt::FirstComma, fields);
            it = m_byComma.insert(value, fields);
        }
        return *it;
    }

    static void copyParams(const TaskEntryFields& from, TaskEntryFields& to)
    {
        TaskEntry& e = to.Entry;
        e.LoopCount = from.Entry.LoopCount;
        e.SourceType = from.Entry.SourceType;
        e.PlayMode = from.Entry.PlayMode;
        e.DateType = from.Entry.DateType;
        e.DateParams = from.Entry.DateParams;
        e.PlayLength = from.Entry.PlayLength;
        e.EndTime = from.Entry.EndTime;
        to.Params = from.Params;
        to.ParamValid = from.ParamValid;
        to.EndTimeOfDay = from.EndTimeOfDay;
    }

    QString musicText(int sourceType, const QStringList& keys)
    {
        const QString cacheKey = QString::number(sourceType) + u'|' + keys.join(u',');
        auto it = m_music.find(cacheKey);
        if (it != m_music.end())
            return *it;
        QString text;
        if (sourceType == 1) {
            QStringList names;
            for (const QString& key : keys)
                names << fileNamePart(m_library.value(FoldedTaskKey(key)));
            text = names.join(u',');
        } else if (!keys.isEmpty()) {
            // A directory task without any key shows nothing rather than failing.
            text = MusicDisplayName(m_library.value(FoldedTaskKey(keys.first())));
        }
        m_music.insert(cacheKey, text);
        return text;
    }

    // The list's reading of a task; raises BadLine for one it cannot show.
    void readForList(Task& task, const TaskEntryFields& params)
    {
        const QString& key = task.key;
        const TaskEntryFields& flags = byComma(task.timeValue());
        // A value without a comma has always been reported as an unreadable enabled flag.
        if (flags.HolidayAt < 0 || !flags.EnabledValid)
            throw BadLine{TaskLineMessage(
                TimeSection, key, QStringLiteral("“%1”不是有效的布尔值").arg(flags.EnabledText()))};
        if (!flags.HolidayValid)
            throw BadLine{TaskLineMessage(
                TimeSection, key,
                flags.HolidayText().isEmpty()
                    ? QStringLiteral("“%1”中缺少节假日标志").arg(flags.TimeValue)
                    : QStringLiteral("“%1”不是有效的整数").arg(flags.HolidayText()))};
        task.enabledInList = flags.Entry.Enabled;
        task.holidayInList = flags.Entry.HolidayFlag;
        if (params.ParamCount() == 0)
            return;

        TTaskRecord rec;
        rec.StartTime = key;
        // Missing leading fields are as unreadable as wrong ones.
        if (params.ParamCount() <= DateTypeField)
            throw BadLine{TaskLineMessage(TimeParamsSection, key,
                                          QStringLiteral("“%1”只有 %2 项，至少应有 %3 项")
                                              .arg(task.paramsValue)
                                              .arg(params.ParamCount())
                                              .arg(DateTypeField + 1))};
        try {
            rec.LoopCount = params.Number(LoopCountField);
            rec.SourceType = params.Number(SourceTypeField);
            rec.PlayMode = params.Number(PlayModeField);
            rec.DateType = params.Number(DateTypeField);
        } catch (const ConversionError& e) {
            throw BadLine{TaskLineMessage(TimeParamsSection, key, e.message())};
        }
        rec.MusicText = musicText(rec.SourceType, flags.Entry.MusicKeys);
        rec.DateParams = params.Entry.DateParams;
        rec.ExcludeHolidays = task.holidayInList == 1;
        rec.EndTime = QStringLiteral("00:00:00");
        // Six fields are an older file's: its limit field is not read.
        if (params.ParamCount() >= 7) {
            // Only a positive number limits playing; "00" or text would show a limit that is
            // none. The list shows the limit as playback reads it.
            if (params.ParamValid[PlayLengthField] && params.Entry.PlayLength > 0)
                rec.PlayLength = params.Entry.PlayLength;
            // Midnight or an unreadable text means no end time, so it is not shown as one.
            const QTime end = params.EndTimeOfDay;
            if (params.ParamValid[EndTimeField] && end != QTime(0, 0, 0) && ParseTimeText(key) <= end)
                rec.EndTime = params.Entry.EndTime;
        }
        task.record = rec;
    }

    QHash<QString, QString> m_library;
    QHash<QString, TaskEntryFields> m_params;
    QHash<QString, TaskEntryFields> m_byPlace;
    QHash<QString, TaskEntryFields> m_byComma;
    QHash<QString, QString> m_music;
};

} // namespace

Timetable::Timetable() : m_data(std::make_shared<const Data>()) {}

std::shared_ptr<const Timetable::Data> Timetable::indexed(Data data)
{
    data.byName.clear();
    data.byName.reserve(qsizetype(data.tasks.size()));
    for (int i = 0; i < int(data.tasks.size()); ++i) {
        const QString name = FoldedTaskKey(data.tasks[std::size_t(i)].key);
        if (!data.byName.contains(name))
            data.byName.insert(name, i);
    }
    return std::make_shared<const Data>(std::move(data));
}

Timetable Timetable::Decode(const QStringList& timeLines, const QStringList& paramLines,
                            const QStringList& libraryList)
{
    // The first line of a name wins, as the file's reads find it.
    QHash<QString, QString> params;
    params.reserve(paramLines.size());
    for (const QString& line : paramLines) {
        const QString name = FoldedTaskKey(LineName(line));
        if (!params.contains(name))
            params.insert(name, LineValue(line));
    }
    Decoder decoder(libraryList);
    Data data;
    data.tasks.reserve(std::size_t(timeLines.size()));
    for (const QString& line : timeLines) {
        const QString key = LineName(line);
        Task task = decoder.decode(key, LineValue(line), params.value(FoldedTaskKey(key)));
        if (!task.listed)
            data.messages << task.fault;
        data.tasks.push_back(std::move(task));
    }
    return Timetable(indexed(std::move(data)));
}

const Task* Timetable::find(const QString& key) const
{
    const auto it = m_data->byName.constFind(FoldedTaskKey(key));
    return it == m_data->byName.cend() ? nullptr : &m_data->tasks[std::size_t(*it)];
}

QStringList Timetable::ScheduleList() const
{
    QStringList lines;
    lines.reserve(size());
    for (const Task& task : m_data->tasks)
        if (!task.leaving)
            lines << task.key + u'=' + task.timeValue();
    return lines;
}

Timetable Timetable::withLeaving(const QString& key) const
{
    const Task* found = find(key);
    if (!found)
        return *this;
    Data data = *m_data;
    data.tasks[std::size_t(found - m_data->tasks.data())].leaving = true;
    return Timetable(std::make_shared<const Data>(std::move(data)));
}

Timetable Timetable::without(const QString& key) const
{
    const QString name = FoldedTaskKey(key);
    Data data;
    data.messages = m_data->messages;
    data.tasks.reserve(m_data->tasks.size());
    for (const Task& task : m_data->tasks)
        if (FoldedTaskKey(task.key) != name)
            data.tasks.push_back(task);
    return Timetable(indexed(std::move(data)));
}

Timetable Timetable::keepingLeaving(const Timetable& other) const
{
    Data data;
    for (const Task& task : other.tasks())
        if (task.leaving && !find(task.key))
            data.tasks.push_back(task);
    if (data.tasks.empty())
        return *this;
    data.tasks.insert(data.tasks.begin(), m_data->tasks.begin(), m_data->tasks.end());
    data.messages = m_data->messages;
    return Timetable(indexed(std::move(data)));
}

QString TaskCell(const Task& task, int column)
{
    if (column == 0)
        return task.key;
    if (!task.record)
        return QString();
    const TTaskRecord& rec = *task.record;
    switch (column) {
    case 1:
        return rec.MusicText;
    case 2:
        return task.byPlace.ParamText(LoopCountField);
    case 3:
        return NameAt(SourceTypeNames, rec.SourceType);
    case 4:
        return NameAt(PlayModeNames, rec.PlayMode);
    case 5:
        return NameAt(DateTypeNames, rec.DateType);
    case 6:
        return FormatDateParams(rec.DateType, rec.DateParams);
    case 7:
        return NameAt(YesNoNames, task.holidayInList);
    case 8:
        return rec.PlayLength > 0 ? task.byPlace.ParamText(PlayLengthField) : NoControlText;
    case 9:
        return rec.EndTime != QStringLiteral("00:00:00") ? rec.EndTime : NoControlText;
    default:
        return QString();
    }
}
