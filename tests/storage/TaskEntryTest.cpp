#include "platform/Errors.h"
#include "storage/TaskEntry.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(TaskEntry, WhatIsWrittenReadsBackTheSameBothWays)
{
    const QString monthly = "1" + QString(29, u'0') + "1";
    const TaskEntry entries[] = {
        {.MusicKeys = {"5"}},
        {.LoopCount = 3, .PlayMode = 2},
        {.Enabled = false, .HolidayFlag = 1, .DateType = 1, .DateParams = "1111100",
         .PlayLength = 90},
        {.HolidayFlag = 1, .MusicKeys = {"3", "7", "12"}, .DateType = 2, .DateParams = monthly,
         .EndTime = "08:30:00"},
        {.MusicKeys = {"9"}, .SourceType = 2, .DateType = 3, .DateParams = "2026-03-02",
         .PlayLength = 45, .EndTime = "23:59:59"},
        {.Enabled = false, .MusicKeys = {"1", "2"}, .DateType = 4},
    };
    for (const TaskEntry& e : entries) {
        const QString time = FormatTimeValue(e), params = FormatTimeParamsValue(e);
        SCOPED_TRACE((time + " / " + params).toStdString());
        const TaskEntryFields read = ReadTaskEntry(time, params);
        EXPECT_EQ(read.Entry, e);
        EXPECT_TRUE(read.EnabledValid && read.HolidayValid);
        EXPECT_EQ(read.ParamCount(), ParamFieldCount);
        EXPECT_EQ(std::count(read.ParamValid.begin(), read.ParamValid.end(), true), ParamFieldCount);
    }
}

// One reading for the list, the due-time check and playback: what the list shows is what rings.
TEST(TaskEntry, TimeValueFlagsAreReadAtTheFirstComma)
{
    struct Case {
        QString value;
        QString enabledText;
        bool enabledValid, enabled;
        QString holidayText;
        bool holidayValid;
        QStringList keys;
    };
    const Case cases[] = {
        {"0,1,4", "0", true, false, "1", true, {"4"}},
        {"", "", false, true, "", false, {}},
        {"1,", "1", true, true, "", false, {}},
        {"True,0,3", "True", true, true, "0", true, {"3"}},
        {"10,0,3", "10", true, true, "0", true, {"3"}},
        {" 0,1,3", " 0", true, false, "1", true, {"3"}},
        {"1", "1", true, true, "", false, {}},
        {"1,x,3", "1", true, true, "x", false, {"3"}},
        {",0,3", "", false, true, "0", true, {"3"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value.toStdString());
        TaskEntryFields read;
        ReadTimeValue(c.value, read);
        EXPECT_EQ(read.EnabledText(), c.enabledText);
        EXPECT_EQ(read.EnabledValid, c.enabledValid);
        EXPECT_EQ(read.Entry.Enabled, c.enabled);
        EXPECT_EQ(read.HolidayText(), c.holidayText);
        EXPECT_EQ(read.HolidayValid, c.holidayValid);
        EXPECT_EQ(read.Entry.MusicKeys, c.keys);
        EXPECT_EQ(read.HolidayAt < 0, !c.value.contains(u','));
    }
}

TEST(TaskEntry, SwitchingAValueReplacesItsWholeEnabledFlag)
{
    const struct {
        const char* value;
        bool enabled;
        const char* result;
    } cases[] = {{"1,0,3", false, "0,0,3"}, {"0,1,3,4", true, "1,1,3,4"}, {"True,0,3", false, "0,0,3"},
                 {" 10,0,3", false, "0,0,3"}, {"1", false, "0"}, {"", true, "1"}};
    for (const auto& c : cases) {
        const QString switched = WithEnabledFlag(c.value, c.enabled);
        EXPECT_EQ(switched, c.result) << c.value;
        EXPECT_EQ(ReadTaskEntry(switched, QString()).Entry.Enabled, c.enabled) << c.value;
    }
}

TEST(TaskEntry, ParamsFieldsTellWhatWasThereAndWhatRead)
{
    struct Case {
        QString params;
        qsizetype count;
        unsigned valid; // bit n: field n read
        TaskEntry entry;
    };
    const Case cases[] = {
        {"", 0, 0, {}},
        {"1,1,1", 3, 0x07, {}},
        {"2,1,2,0,", 5, 0x1f, {.LoopCount = 2, .PlayMode = 2}},
        {"1,1,1,4,,20", 6, 0x3f, {.DateType = 4, .PlayLength = 20}},
        {"x,1,1,1,0000011,y,8:00", 7, 0x1e,
         {.DateType = 1, .DateParams = "0000011", .EndTime = "8:00"}},
        {"1,1,1,0,,15,9:05:00", 7, 0x7f, {.PlayLength = 15, .EndTime = "9:05:00"}},
        // A blank inside a field splits it, and every later field moves on by one.
        {"1 2,1,1,0,,0,00:00:00", 8, 0x1f,
         {.SourceType = 2, .DateType = 1, .DateParams = "0", .EndTime = "0"}},
    };
    TaskEntryFields read;
    ReadTimeParamsValue("3,2,2,3,2026-03-02,60,10:00:00", read); // each case reads over it
    for (const Case& c : cases) {
        SCOPED_TRACE(c.params.toStdString());
        ReadTimeParamsValue(c.params, read);
        EXPECT_EQ(read.ParamCount(), c.count);
        for (int f = 0; f < ParamFieldCount; ++f) {
            EXPECT_EQ(read.HasParam(ParamField(f)), f < c.count) << f;
            EXPECT_EQ(read.ParamValid[f], bool(c.valid & (1u << f))) << f;
        }
        EXPECT_EQ(read.Entry, c.entry);
        EXPECT_EQ(read.EndTimeOfDay.isValid(), bool(c.valid & (1u << EndTimeField)));
    }
}

TEST(TaskEntry, NumberRaisesWhereToIntegerWould)
{
    TaskEntryFields read;
    ReadTimeParamsValue("x,2,\u00a03,1,,\u00a030,08:00:00", read);
    EXPECT_EQ(read.Number(SourceTypeField), 2);
    // A no-break space beside a number is dropped, as ToInteger drops it.
    EXPECT_EQ(read.Number(PlayModeField), 3);
    EXPECT_EQ(read.Number(PlayLengthField), 30);
    EXPECT_THROW(read.Number(LoopCountField), ConversionError);
    ReadTimeParamsValue("1", read);
    EXPECT_THROW(read.Number(SourceTypeField), ConversionError);
}

} // namespace
