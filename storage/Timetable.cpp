#include "storage/Timetable.h"

#include "platform/Errors.h"
#include "storage/MusicName.h"
#include "storage/TimeText.h"

#include <QCoreApplication>
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

// Reads each distinct pair of values once: most tasks of a large timetable share their
// values, and then share one reading of them.
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

    // soundValue and zonesValue are null when the file has no such line for the key.
    Task decode(const QString& key, const QString& timeValue, const QString& paramsValue,
                const QString* soundValue, const QString* zonesValue)
    {
        Task task;
        task.key = key;
        task.second = SecondOfDay(key);
        // "=" marks a line that is there: no line and an empty one are different tasks.
        QString values = timeValue + u'\n' + paramsValue + u'\n';
        if (soundValue)
            values += u'=' + *soundValue;
        values += u'\n';
        if (zonesValue)
            values += u'=' + *zonesValue;
        auto it = m_values.constFind(values);
        if (it == m_values.cend())
            it = m_values.insert(values, read(timeValue, paramsValue, soundValue, zonesValue));
        task.values = *it;
        const TaskValues& v = **it;
        // Midnight or an unreadable text means no end time, and a task that starts after its
        // end time has none either, so neither is shown as one.
        task.endShown =
            v.record && v.record->EndTime != NoEndTime && ParseTimeText(key) <= v.fields.EndTimeOfDay;
        return task;
    }

private:
    static inline const QString NoEndTime = QStringLiteral("00:00:00");

    QString musicText(int sourceType, const QStringList& keys) const
    {
        // A number the library lacks says so: an empty cell would hide that the bell is silent.
        auto name = [this](const QString& key, auto&& nameOf) {
            const auto it = m_library.constFind(FoldedTaskKey(key));
            return it == m_library.cend() ? QCoreApplication::translate("Timetable", "（编号 %1 不存在）").arg(key) : nameOf(*it);
        };
        if (sourceType == 1) {
            QStringList names;
            for (const QString& key : keys)
                names << name(key, fileNamePart);
            return names.join(u',');
        }
        // A directory task without any key shows nothing rather than failing.
        return keys.isEmpty() ? QString() : name(keys.first(), MusicDisplayName);
    }

    std::shared_ptr<const TaskValues> read(const QString& timeValue, const QString& paramsValue,
                                           const QString* soundValue, const QString* zonesValue) const
    {
        auto v = std::make_shared<TaskValues>();
        v->paramsValue = paramsValue;
        ReadTimeValue(timeValue, v->fields);
        ReadTimeParamsValue(paramsValue, v->fields);
        readForList(*v);
        if (soundValue)
            v->sound = ReadTaskSound(*soundValue, &v->soundProblem);
        if (zonesValue)
            v->zones = ReadTaskZones(*zonesValue);
        return v;
    }

    // The list's reading of a task; a value it cannot show leaves faultSection and faultReason.
    void readForList(TaskValues& v) const
    {
        const TaskEntryFields& flags = v.fields;
        // A value without a comma has always been reported as an unreadable enabled flag.
        if (flags.HolidayAt < 0 || !flags.EnabledValid) {
            v.faultSection = TimeSection;
            v.faultReason = QCoreApplication::translate("Timetable", "“%1”不是有效的布尔值").arg(flags.EnabledText());
            return;
        }
        if (!flags.HolidayValid) {
            v.faultSection = TimeSection;
            v.faultReason = flags.HolidayText().isEmpty()
                                ? QCoreApplication::translate("Timetable", "“%1”中缺少节假日标志").arg(flags.TimeValue)
                                : QCoreApplication::translate("Timetable", "“%1”不是有效的整数").arg(flags.HolidayText());
            return;
        }
        v.enabledInList = flags.Entry.Enabled;
        v.holidayInList = flags.Entry.HolidayFlag;
        const TaskEntryFields& params = v.fields;
        if (params.ParamCount() == 0)
            return;

        // Missing leading fields are as unreadable as wrong ones.
        v.faultSection = TimeParamsSection;
        if (params.ParamCount() <= DateTypeField) {
            v.faultReason = QCoreApplication::translate("Timetable", "“%1”只有 %2 项，至少应有 %3 项")
                                .arg(v.paramsValue)
                                .arg(params.ParamCount())
                                .arg(DateTypeField + 1);
            return;
        }
        TTaskRecord rec;
        try {
            rec.LoopCount = params.Number(LoopCountField);
            rec.SourceType = params.Number(SourceTypeField);
            rec.PlayMode = params.Number(PlayModeField);
            rec.DateType = params.Number(DateTypeField);
        } catch (const ConversionError& e) {
            v.faultReason = e.message();
            return;
        }
        v.faultSection.clear();
        rec.MusicText = musicText(rec.SourceType, flags.Entry.MusicKeys);
        rec.DateParams = params.Entry.DateParams;
        // Only flag 0 lets the holiday ranges silence the task.
        rec.ExcludeHolidays = v.holidayInList == 0;
        rec.EndTime = NoEndTime;
        // Six fields are an older file's: its limit field is not read.
        if (params.ParamCount() >= 7) {
            // Only a positive number limits playing; "00" or text would show a limit that is
            // none. The list shows the limit as playback reads it.
            if (params.ParamValid[PlayLengthField] && params.Entry.PlayLength > 0)
                rec.PlayLength = params.Entry.PlayLength;
            if (params.ParamValid[EndTimeField] && params.EndTimeOfDay != QTime(0, 0, 0))
                rec.EndTime = params.Entry.EndTime;
        }
        v.record = rec;
    }

    QHash<QString, QString> m_library;
    QHash<QString, std::shared_ptr<const TaskValues>> m_values;
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

namespace {

// Values by folded key; the first line of a name wins, as the file's reads find it.
QHash<QString, QString> ValuesByKey(const QStringList& lines)
{
    QHash<QString, QString> values;
    values.reserve(lines.size());
    for (const QString& line : lines) {
        const QString name = FoldedTaskKey(LineName(line));
        if (!values.contains(name))
            values.insert(name, LineValue(line));
    }
    return values;
}

} // namespace

Timetable Timetable::Decode(const QStringList& timeLines, const QStringList& paramLines,
                            const QStringList& libraryList, const QStringList& soundLines,
                            const QStringList& zoneLines)
{
    const QHash<QString, QString> params = ValuesByKey(paramLines);
    const QHash<QString, QString> sounds = ValuesByKey(soundLines);
    const QHash<QString, QString> zones = ValuesByKey(zoneLines);
    Decoder decoder(libraryList);
    Data data;
    data.tasks.reserve(std::size_t(timeLines.size()));
    for (const QString& line : timeLines) {
        const QString key = LineName(line);
        const QString folded = FoldedTaskKey(key);
        const auto sound = sounds.constFind(folded);
        const auto zone = zones.constFind(folded);
        Task task = decoder.decode(key, LineValue(line), params.value(folded),
                                   sound == sounds.cend() ? nullptr : &*sound,
                                   zone == zones.cend() ? nullptr : &*zone);
        if (!task.listed())
            data.messages << task.fault();
        if (!task.values->soundProblem.isEmpty())
            data.soundMessages << TaskLineMessage(TaskSoundSection, key, task.values->soundProblem);
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
    data.soundMessages = m_data->soundMessages;
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
    data.soundMessages = m_data->soundMessages;
    return Timetable(indexed(std::move(data)));
}

const TaskValues& Task::valuesOrNone() const
{
    static const TaskValues none;
    return values ? *values : none;
}

QString Task::fault() const
{
    const TaskValues& v = valuesOrNone();
    return v.faultReason.isEmpty() ? QString() : TaskLineMessage(v.faultSection, key, v.faultReason);
}

std::optional<TTaskRecord> Task::record() const
{
    std::optional<TTaskRecord> rec = valuesOrNone().record;
    if (rec) {
        rec->StartTime = key;
        if (!endShown)
            rec->EndTime = QStringLiteral("00:00:00");
    }
    return rec;
}

QString TaskCell(const Task& task, int column)
{
    if (column == 0)
        return task.key;
    const std::optional<TTaskRecord> record = task.record();
    if (!record)
        return QString();
    const TTaskRecord& rec = *record;
    switch (column) {
    case 1:
        return rec.MusicText;
    case 2:
        return task.fields().ParamText(LoopCountField);
    case 3:
        return NameAt(SourceTypeNames(), rec.SourceType);
    case 4:
        return NameAt(PlayModeNames(), rec.PlayMode);
    case 5:
        return NameAt(DateTypeNames(), rec.DateType);
    case 6:
        return FormatDateParams(rec.DateType, rec.DateParams);
    case 7:
        return NameAt(YesNoNames(), task.holidayInList() == 0 ? 1 : 0);
    case 8:
        return rec.PlayLength > 0 ? task.fields().ParamText(PlayLengthField) : NoControlText();
    case 9:
        return rec.EndTime != QStringLiteral("00:00:00") ? rec.EndTime : NoControlText();
    default:
        return QString();
    }
}
