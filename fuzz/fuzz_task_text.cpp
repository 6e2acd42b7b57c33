// The task file's text readers over arbitrary values: the Time and TimeParams readers, whole
// numbers, dates and times never fail other than by ConversionError, and what the writers
// format reads back as the same task. The timetable's decoding of arbitrary
// lines raises nothing, keeps every Time line, and finds each key it holds; a sound value always
// reads as a sound in range.
#include "fuzz/FuzzCheck.h"
#include "platform/Errors.h"
#include "storage/TaskEntry.h"
#include "storage/TaskFile.h"
#include "storage/TaskSound.h"
#include "storage/TextSplit.h"
#include "storage/TimeText.h"
#include "storage/Timetable.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>

namespace {

QString text(FuzzedDataProvider& in)
{
    return QString::fromStdString(in.ConsumeRandomLengthString(256));
}

void readArbitraryValues(const QString& timeValue, const QString& paramsValue, const QString& other)
{
    const TaskEntryFields fields = ReadTaskEntry(timeValue, paramsValue);
    FUZZ_CHECK(fields.EnabledLength >= 0 && fields.EnabledLength <= timeValue.size(), timeValue);
    fields.HolidayText();
    for (const ParamField field :
         {LoopCountField, SourceTypeField, PlayModeField, DateTypeField, PlayLengthField}) {
        try {
            const int number = fields.Number(field);
            FUZZ_CHECK(number == ToInteger(fields.ParamText(field)), paramsValue);
        } catch (const ConversionError&) {
            FUZZ_CHECK(!fields.ParamValid[field], paramsValue);
        }
    }
    try {
        FUZZ_CHECK(ToInteger(QString::number(ToInteger(other))) == ToInteger(other), other);
    } catch (const ConversionError&) {
    }
    try {
        const QDateTime when = ParseDateTime(other);
        FUZZ_CHECK(ParseDateTime(when.toString(QStringLiteral("yyyy-M-d H:m:s"))) == when, other);
    } catch (const ConversionError&) {
    }
    bool ok = false;
    const QTime time = ParseTimeText(other, &ok);
    FUZZ_CHECK(!ok || ParseTimeText(FormatTimeText(time)) == time, other);
    for (int type = -1; type <= 5; ++type)
        FormatDateParams(type, other);
    SplitDelimitedText(other);
    // Whatever a sound line holds, what plays is in range and is written back as read.
    const TaskSound sound = ReadTaskSound(other);
    FUZZ_CHECK(sound.volume >= 0 && sound.volume <= MaxVolumePercent && sound.fadeIn >= 0 &&
                   sound.fadeIn <= MaxFadeSeconds && sound.fadeOut >= 0 && sound.fadeOut <= MaxFadeSeconds,
               other);
    FUZZ_CHECK(ReadTaskSound(FormatTaskSound(sound)) == sound, other);
}

// A task as the editor could save it; its two values read back as the same task both ways.
void roundTrip(FuzzedDataProvider& in, const QString& dateText)
{
    TaskEntry e;
    e.Enabled = in.ConsumeBool();
    e.HolidayFlag = in.ConsumeIntegralInRange(0, 9);
    const int keys = in.ConsumeIntegralInRange(0, 6);
    for (int i = 0; i < keys; ++i)
        e.MusicKeys << QString::number(in.ConsumeIntegral<uint32_t>());
    e.LoopCount = in.ConsumeIntegral<int>();
    e.SourceType = in.ConsumeIntegral<int>();
    e.PlayMode = in.ConsumeIntegral<int>();
    e.DateType = in.ConsumeIntegral<int>();
    e.PlayLength = in.ConsumeIntegral<int>();
    for (QChar c : dateText)
        if ((c >= u'0' && c <= u'9') || c == u'-')
            e.DateParams += c;
    e.EndTime = FormatTimeText(QTime::fromMSecsSinceStartOfDay(in.ConsumeIntegralInRange(0, 86399) * 1000));

    const QString timeValue = FormatTimeValue(e), paramsValue = FormatTimeParamsValue(e);
    const TaskEntryFields read = ReadTaskEntry(timeValue, paramsValue);
    FUZZ_CHECK(read.Entry == e, timeValue + " / " + paramsValue);
    FUZZ_CHECK(read.EnabledValid && read.HolidayValid && read.ParamCount() == ParamFieldCount,
               timeValue + " / " + paramsValue);
    FUZZ_CHECK(WithEnabledFlag(timeValue, !e.Enabled).mid(1) == timeValue.mid(1), timeValue);
}

// Arbitrary text as the lines of the two sections and the library.
void decodeTimetable(const QString& a, const QString& b, const QString& c)
{
    const QStringList timeLines = a.split(u'\n'), paramLines = b.split(u'\n');
    // The TimeParams lines stand in for sound lines too: arbitrary text under the same keys.
    const Timetable t = Timetable::Decode(timeLines, paramLines, c.split(u'\n'), paramLines);
    FUZZ_CHECK(t.size() == timeLines.size(), a);
    qsizetype unlisted = 0;
    for (const Task& task : t.tasks()) {
        FUZZ_CHECK(t.find(task.key) != nullptr, task.key);
        FUZZ_CHECK(task.second >= -1 && task.second < 86400, task.key);
        unlisted += task.listed() ? 0 : 1;
        for (int column = 0; column < TaskListColumns; ++column)
            TaskCell(task, column);
    }
    FUZZ_CHECK(t.messages().size() == unlisted, a);
    FUZZ_CHECK(t.soundMessages().size() <= t.size(), b);
    const QStringList schedule = t.ScheduleList();
    for (qsizetype i = 0; i < timeLines.size(); ++i)
        FUZZ_CHECK(!timeLines[i].contains(u'=') || schedule.value(i) == timeLines[i], timeLines[i]);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const QString timeValue = text(in), paramsValue = text(in), other = text(in);
    readArbitraryValues(timeValue, paramsValue, other);
    roundTrip(in, other);
    decodeTimetable(timeValue, paramsValue, other);
    return 0;
}
