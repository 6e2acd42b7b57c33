#include "platform/Errors.h"
#include "schedule/DueTimeCheck.h"
#include "storage/TaskFile.h"
#include "support/Fakes.h"
#include "support/TempDir.h"

#include <QTimeZone>
#include <gtest/gtest.h>

namespace {

const QString Daily = QStringLiteral("1,1,1,0,,0,");

QString MonthlyOn31st()
{
    QString days(31, u'0');
    days[30] = u'1';
    return days;
}

TEST(IsPlayDay, FollowsTheDateType)
{
    struct Case {
        QString params;
        QDate day;
        bool plays;
    };
    const QDate monday(2026, 3, 2);
    const Case cases[] = {
        {"1,1,1,0", monday, true},
        {"1,1,1,4,,0,", monday, true},
        {"1,1,1,1,1111100", monday, true},
        {"1,1,1,1,1111100", monday.addDays(4), true},
        {"1,1,1,1,1111100", monday.addDays(5), false},
        {"1,1,1,1,1111100", monday.addDays(6), false},
        {"1,1,1,1,11", monday.addDays(2), false}, // place beyond the text
        {"1,1,1,1,,0,", monday, false},
        {"1,1,1,2," + MonthlyOn31st(), QDate(2026, 3, 31), true},
        {"1,1,1,2," + MonthlyOn31st(), QDate(2026, 3, 30), false},
        {"1,1,1,2," + MonthlyOn31st(), QDate(2026, 4, 1), false},
        {"1,1,1,3,2013-05-01,0,", QDate(2013, 5, 1), true},
        {"1,1,1,3,2013-05-01,0,", QDate(2013, 5, 2), false},
        {"1,1,1,3,2013-05-01,0,", QDate(2014, 5, 1), false},
        // The editor's grammar: leading zeros optional, a time of day allowed.
        {"1,1,1,3,2013-5-1,0,", QDate(2013, 5, 1), true},
        {"1,1,1,3,2013-5-1 8:00:00,0,", QDate(2013, 5, 1), true},
        {"1,1,1,3,2013-5-1,0,", QDate(2013, 5, 2), false},
        {"1,1,1,3,2013-2-30,0,", QDate(2013, 3, 2), false},
        {"1,1,1,3,5/1/2013,0,", QDate(2013, 5, 1), false},
        {"1,1,1,5,1111111", monday, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.params + " " + c.day.toString(Qt::ISODate)).toStdString());
        EXPECT_EQ(IsPlayDay(c.params, c.day), c.plays);
    }
}

TEST(IsPlayDay, RaisesWhenTheDateFieldsAreMissingOrBad)
{
    const QDate day(2026, 3, 2);
    EXPECT_THROW(IsPlayDay("", day), ListIndexError);
    EXPECT_THROW(IsPlayDay("1,1,1", day), ListIndexError);
    EXPECT_THROW(IsPlayDay("1,1,1,1", day), ListIndexError);
    EXPECT_THROW(IsPlayDay("1,1,1,3", day), ListIndexError);
    EXPECT_THROW(IsPlayDay("1,1,1,x,1111111", day), ConversionError);
}

bool IsHoliday(const QStringList& lines, const QDateTime& at)
{
    return Holidays::Decode(lines).contains(at.date());
}

TEST(IsHoliday, CoversWholeDaysOfTheRangesInTheCurrentYear)
{
    struct Case {
        QStringList holidays;
        QDateTime at;
        bool holiday;
    };
    auto at = [](int y, int m, int d, int h = 12, int n = 0, int s = 0) {
        return QDateTime(QDate(y, m, d), QTime(h, n, s));
    };
    const QStringList october = {"5-1=5-3", "10-1=10-7"};
    const QStringList leap = {"2-29=3-1"};
    const Case cases[] = {
        {october, at(2026, 9, 30, 23, 59, 59), false},
        {october, at(2026, 10, 1, 0, 0, 0), true},
        {october, at(2026, 10, 7, 23, 59, 59), true},
        {october, at(2026, 10, 8, 0, 0, 0), false},
        {october, at(2026, 5, 2), true},
        {{"12-30=1-2"}, at(2026, 12, 31), false},
        {{"12-30=1-2"}, at(2026, 1, 1), false},
        {leap, at(2026, 2, 27), false},
        {leap, at(2026, 2, 28), true},
        {leap, at(2026, 3, 1), true},
        {leap, at(2026, 3, 2), false},
        {leap, at(2028, 2, 28), false},
        {leap, at(2028, 2, 29), true},
        {{"6-1=6-1"}, at(2026, 6, 1, 23, 59, 59), true},
        {{"6-1=6-1"}, at(2026, 6, 2, 0, 0, 0), false},
        {{}, at(2026, 6, 1), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.holidays.join(' ') + " " + c.at.toString(Qt::ISODate)).toStdString());
        EXPECT_EQ(IsHoliday(c.holidays, c.at), c.holiday);
    }
}

TEST(IsHoliday, SkipsLinesThatAreNoRangeAndNamesEachOnce)
{
    auto at = [](int m, int d) { return QDateTime(QDate(2026, m, d), QTime(12, 0)); };
    // A day past the month's end is its last day.
    EXPECT_TRUE(IsHoliday({"4-31=4-31"}, at(4, 30)));
    EXPECT_FALSE(IsHoliday({"4-31=4-31"}, at(5, 1)));
    EXPECT_TRUE(IsHoliday({"2-30=3-1"}, at(2, 28)));
    EXPECT_TRUE(IsHoliday({"05-01=5-3"}, at(5, 2)));

    const QStringList bad = {"13-5=13-9", "0-1=1-2", "1-0=1-2", "1-1=1-32", "1-1=abc",
                             "abc",       "-1=1-2",  "4-xx=5-1", "1-1=1-2x", "1-1=+1-2"};
    for (const QString& line : bad) {
        SCOPED_TRACE(line.toStdString());
        // A bad line first: the good one after it still counts.
        EXPECT_TRUE(IsHoliday({line, "6-1=6-1"}, at(6, 1)));
        EXPECT_FALSE(IsHoliday({line}, at(6, 1)));
    }
    EXPECT_EQ(Holidays::Decode({"5-1=5-3", "4-xx=5-1", "2-30=3-1", "abc"}).messages(),
              QStringList({"Config.ini 的 [Holiday] 中“4-xx=5-1”不是有效的节假日（月-日=月-日），已忽略",
                           "Config.ini 的 [Holiday] 中“abc”不是有效的节假日（月-日=月-日），已忽略"}));
}

// The school calendar over a table of dates and task kinds: a dated holiday across the new
// year, a make-up Sunday that runs as Monday, a make-up day inside a yearly range, 29 February.
TEST(DecideDay, FollowsTheSchoolCalendar)
{
    const Holidays calendar = Holidays::Decode(
        {"10-1=10-7", "2-29=2-29"}, {"2026-12-31=2027-01-02", "2027-02-05=2027-02-13"},
        {"2026-09-27=1", "2026-10-07=5", "2027-02-07=3" /* in a dated holiday */, "2026-9-28=9", "x"});
    EXPECT_EQ(calendar.messages(),
              QStringList({"Config.ini 的 [WorkDays] 中“2027-02-07=3”落在节假日内，已忽略",
                           "Config.ini 的 [WorkDays] 中“2026-9-28=9”不是有效的调休上班日（年-月-日=星期几，1 到 7），已忽略",
                           "Config.ini 的 [WorkDays] 中“x”不是有效的调休上班日（年-月-日=星期几，1 到 7），已忽略"}));
    const QStringList time{"07:00:00=1,0,1", "08:00:00=1,0,1", "09:00:00=1,1,1", "10:00:00=0,1,1",
                           "11:00:00=1,0,1"};
    const QStringList params{"07:00:00=1,1,1,1,1111100,0,", "08:00:00=" + Daily, "09:00:00=1,1,1,1,1111100,0,",
                             "10:00:00=" + Daily, "11:00:00=1,1,1,2," + MonthlyOn31st() + ",0,"};
    const Timetable t = Timetable::Decode(time, params, {});
    using D = DayDecision;
    const D R = D::Rings, H = D::Holiday, N = D::NotItsDay, O = D::SwitchedOff;
    // Weekly (holidays count), daily (holidays count), weekly playing on holidays, switched off,
    // monthly on the 31st.
    const struct {
        QDate day;
        D weekly, daily, weeklyOnHolidays, off, monthly;
    } cases[] = {
        {QDate(2026, 9, 26), N, R, N, O, N}, // a Saturday
        {QDate(2026, 9, 27), R, R, R, O, N}, // a make-up Sunday, run as Monday
        {QDate(2026, 10, 7), R, R, R, O, N}, // a make-up Wednesday in the yearly range, run as Friday
        {QDate(2026, 10, 8), R, R, R, O, N},
        {QDate(2026, 12, 31), H, H, R, O, H}, // the dated range across the new year
        {QDate(2027, 1, 1), H, H, R, O, H},
        {QDate(2027, 1, 4), R, R, R, O, N},
        {QDate(2027, 2, 7), H, H, N, O, H},    // a make-up day refused: the holiday stands
        {QDate(2028, 2, 29), H, H, R, O, H},   // the yearly 2-29 in a leap year
        {QDate(2027, 2, 28), H, H, N, O, H},   // and its last day of February otherwise
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.day.toString(Qt::ISODate).toStdString());
        const D expected[] = {c.weekly, c.daily, c.weeklyOnHolidays, c.off, c.monthly};
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(DecideDay(t.tasks()[std::size_t(i)], calendar, c.day), expected[i]) << time[i].toStdString();
    }
}

TEST(TaskPlaysToday, ABadParameterLineIsNamedByFileSectionAndKey)
{
    const QStringList params{"08:00:01=1,1,1", "08:00:02=1,1,1,x", "08:00:03=1,1,1,2", "08:00:04="};
    const QString head = "TimeMusicList.ini 的 [TimeParams] 中 ";
    const QString tail = "，该任务未播放";
    const struct {
        const char* key;
        QString message;
    } cases[] = {
        {"08:00:00", "TimeMusicList.ini 的 [TimeParams] 中缺少 08:00:00 一行或该行为空" + tail},
        {"08:00:04", "TimeMusicList.ini 的 [TimeParams] 中缺少 08:00:04 一行或该行为空" + tail},
        {"08:00:01", head + "08:00:01 一行有误：“1,1,1”中缺少播放日类型（第 4 项）" + tail},
        {"08:00:02", head + "08:00:02 一行有误：“x”不是有效的整数" + tail},
        {"08:00:03", head + "08:00:03 一行有误：“1,1,1,2”中缺少播放日参数（第 5 项）" + tail},
    };
    const QDateTime now(QDate(2026, 3, 2), QTime(8, 0));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        try {
            TaskPlaysToday(c.key, Timetable::Decode({QString(c.key) + "=1,1,1"}, params, {}), {},
                           now);
            ADD_FAILURE() << "no failure";
        } catch (const AppError& e) {
            EXPECT_EQ(e.message(), c.message);
        }
    }
}

// A hand-edited Time value rings as the list shows it: switched off, or kept off on a holiday.
TEST(TaskPlaysToday, AHandEditedValueRingsAsTheListShowsIt)
{
    const Timetable t = Timetable::Decode({"08:00:00=False,0,1", "09:00:00=10,0,1", "10:00:00=True,1,1"},
                                          {"08:00:00=" + Daily, "09:00:00=" + Daily, "10:00:00=" + Daily}, {});
    const Holidays march = Holidays::Decode({"3-1=3-31"});
    const QDateTime now(QDate(2026, 3, 2), QTime(7, 0));
    const struct {
        const char* key;
        bool listedOn, plays, playsOnHoliday;
    } cases[] = {{"08:00:00", false, false, false}, {"09:00:00", true, true, false}, {"10:00:00", true, true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(t.find(c.key)->enabledInList(), c.listedOn);
        EXPECT_EQ(TaskPlaysToday(c.key, t, {}, now), c.plays);
        EXPECT_EQ(TaskPlaysToday(c.key, t, march, now), c.playsOnHoliday);
    }
    EXPECT_EQ(t.find("09:00:00")->fields().Entry.MusicKeys, QStringList{"1"}) << "the keys playback takes";
}

class DueTimeCheckTest : public ::testing::Test {
protected:
    FakeClock clock;
    DueTimeCheck check;
    QStringList schedule;
    QStringList params;
    QStringList holidays;
    QStringList started;
    QStringList reports;
    std::function<void(const QString&)> onStart;

    void writeParams(const QStringList& lines)
    {
        params = lines;
    }
    // Every key of the schedule plays daily.
    void writeDaily()
    {
        QStringList lines;
        for (const QString& line : schedule)
            lines << line.section('=', 0, 0) + "=" + Daily;
        writeParams(lines);
    }
    void restart()
    {
        check = DueTimeCheck();
        started.clear();
        reports.clear();
    }
    void tick()
    {
        check.Tick(
            clock, Timetable::Decode(schedule, params, {}), Holidays::Decode(holidays),
            [this](const QString& key) {
                started << key;
                if (onStart)
                    onStart(key);
            },
            [this](const QString& message) { reports << message; });
    }
    // One tick in every second from..to, as the half-second timer gives at least.
    void tickThrough(const QDateTime& from, const QDateTime& to)
    {
        for (clock.current = from; clock.current <= to; clock.advance(1000))
            tick();
    }
};

TEST_F(DueTimeCheckTest, HolidayRangeKeepsOffOnlyTasksThatHonourIt)
{
    holidays = {"10-1=10-7"};
    struct Case {
        QDate day;
        QTime time;
        QChar flag;
        bool starts;
    };
    const Case cases[] = {
        {QDate(2026, 10, 3), QTime(10, 0, 0), u'0', false},
        {QDate(2026, 10, 1), QTime(0, 0, 0), u'0', false},
        {QDate(2026, 10, 1), QTime(0, 0, 1), u'0', false},
        {QDate(2026, 10, 7), QTime(23, 59, 58), u'0', false},
        {QDate(2026, 10, 7), QTime(23, 59, 59), u'0', false},
        {QDate(2026, 9, 30), QTime(23, 59, 59), u'0', true},
        {QDate(2026, 10, 8), QTime(0, 0, 0), u'0', true},
        {QDate(2026, 10, 1), QTime(0, 0, 0), u'1', true},
        {QDate(2026, 10, 4), QTime(10, 0, 0), u'1', true},
        {QDate(2026, 10, 7), QTime(23, 59, 59), u'1', true},
    };
    for (const Case& c : cases) {
        const QString key = c.time.toString("HH:mm:ss");
        SCOPED_TRACE((c.day.toString(Qt::ISODate) + " " + key + " flag " + c.flag).toStdString());
        restart();
        schedule = {key + "=1," + c.flag + ",1"};
        writeDaily();
        clock.set(c.day, c.time);
        tick();
        EXPECT_EQ(started.size(), c.starts ? 1 : 0);
        EXPECT_TRUE(reports.isEmpty()) << reports.join('\n').toStdString();
    }
}

TEST_F(DueTimeCheckTest, DisabledOrHolidayTaskIsDecidedWithoutReadingItsParameters)
{
    writeParams({"08:00:00=not,a,parameter,line"});
    holidays = {"3-1=3-31"};
    const QDateTime now(QDate(2026, 3, 2), QTime(8, 0));
    auto plays = [&](const QStringList& time) {
        return TaskPlaysToday("08:00:00", Timetable::Decode(time, params, {}),
                              Holidays::Decode(holidays), now);
    };
    EXPECT_FALSE(plays({"08:00:00=0,1,1"}));
    EXPECT_FALSE(plays({"08:00:00=1,0,1"}));
    // The first line of a key decides.
    EXPECT_FALSE(plays({"08:00:00=0,1,1", "08:00:00=1,1,1"}));
    EXPECT_THROW(plays({"08:00:00=1,1,1"}), ConversionError);
}

TEST_F(DueTimeCheckTest, ParameterChangeCountsFromTheNextDueTime)
{
    schedule = {"08:00:00=1,1,1"};
    const QString params[] = {Daily, "1,1,1,3,2013-05-01,0,", "1,1,1,1,0011111"};
    for (int day = 0; day < 3; ++day) { // Monday to Wednesday
        writeParams({"08:00:00=" + params[day]});
        clock.set(QDate(2026, 3, 2 + day), QTime(8, 0));
        tick();
    }
    EXPECT_EQ(started, QStringList({"08:00:00", "08:00:00"}));
}

TEST_F(DueTimeCheckTest, DaylightSavingNightsStartTheTaskAtMostOnce)
{
    const QTimeZone berlin("Europe/Berlin");
    ASSERT_TRUE(berlin.isValid());
    auto utc = [&](int month, int day, int h, int m, int s) {
        return QDateTime(QDate(2026, month, day), QTime(h, m, s), Qt::UTC).toTimeZone(berlin);
    };
    schedule = {"01:59:59=1,1,1", "02:30:00=1,1,1", "03:00:00=1,1,1"};
    writeDaily();
    QStringList journal;
    check.setJournal([&](const QString& key, const QString& event) { journal << key + " " + event; });

    // 29 March: 02:00 CET becomes 03:00 CEST, so 02:30:00 never comes, and is on record.
    tickThrough(utc(3, 29, 0, 59, 55), utc(3, 29, 1, 0, 5));
    EXPECT_EQ(started, QStringList({"01:59:59", "03:00:00"}));
    EXPECT_EQ(journal, QStringList{"02:30:00 未播放：夏令时开始，时钟跳过了这个时刻"});

    // 25 October: 03:00 CEST becomes 02:00 CET, so 02:30:00 comes twice. A check started
    // afresh: the months between would be a jump.
    restart();
    journal.clear();
    check.setJournal([&](const QString& key, const QString& event) { journal << key + " " + event; });
    tickThrough(utc(10, 25, 0, 29, 55), utc(10, 25, 1, 30, 5));
    EXPECT_EQ(started, QStringList({"02:30:00"}));
    EXPECT_TRUE(journal.isEmpty()) << "the repeated hour is no skip: " << journal.join("\n").toStdString();
    EXPECT_TRUE(reports.isEmpty()) << reports.join('\n').toStdString();
}

TEST_F(DueTimeCheckTest, ServesEachSecondOnceAndMakesGoodShortGapsOnly)
{
    for (int s = 0; s <= 12; ++s)
        schedule << QTime(8, 0, s).toString("HH:mm:ss") + "=1,1,1";
    writeDaily();
    struct Case {
        const char* name;
        QList<int> tickMs; // times of the ticks, ms after 08:00:00
        QStringList started;
    };
    const Case cases[] = {
        {"two ticks in one second", {100, 600}, {"08:00:00"}},
        {"ticks 3 s apart", {0, 3000}, {"08:00:00", "08:00:01", "08:00:02", "08:00:03"}},
        {"gap whose oldest second is 5 s old",
         {0, 6000},
         {"08:00:00", "08:00:01", "08:00:02", "08:00:03", "08:00:04", "08:00:05", "08:00:06"}},
        // Longer gaps ring the last skipped bell late, once.
        {"jump of 7 s", {0, 7000}, {"08:00:00", "08:00:06", "08:00:07"}},
        {"jump of 10 s", {0, 10000, 11000}, {"08:00:00", "08:00:09", "08:00:10", "08:00:11"}},
        {"clock set back", {2000, 0, 1000, 2000, 3000}, {"08:00:02", "08:00:00", "08:00:01", "08:00:03"}},
        {"first tick serves only its second", {5000}, {"08:00:05"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        restart();
        for (int ms : c.tickMs) {
            clock.set(QDate(2026, 3, 2), QTime(8, 0).addMSecs(ms));
            tick();
        }
        EXPECT_EQ(started, c.started);
    }
}

TEST_F(DueTimeCheckTest, TheLogHearsOfHolidaysAndLateStarts)
{
    QStringList journal;
    check.setJournal([&](const QString& key, const QString& event) { journal << key + " " + event; });
    holidays = {"10-1=10-7"};
    schedule = {"08:00:00=1,0,1", "08:00:01=1,1,1", "08:00:02=1,1,1"};
    writeDaily();
    clock.set(QDate(2026, 10, 2), QTime(8, 0, 0));
    tick();
    clock.set(QDate(2026, 10, 2), QTime(8, 0, 2, 300)); // a tick two seconds late
    tick();
    EXPECT_EQ(started, QStringList({"08:00:01", "08:00:02"}));
    EXPECT_EQ(journal, QStringList({"08:00:00 节假日，不播放", "08:00:01 补播：计时晚了 1 秒"}));
}

// A clock jump forward or a sleep over bells: the last skipped bell within the grace rings late,
// once; every other one is on record with why it did not ring.
TEST_F(DueTimeCheckTest, BellsSkippedByAJumpRingLateWithinTheGraceAndAreOnRecord)
{
    schedule = {"08:00:10=1,1,1", "08:00:20=1,1,1", "08:01:00=1,1,1"};
    writeDaily();
    struct Case {
        const char* name;
        int grace;
        bool slept;
        QList<int> tickSeconds; // after 08:00:00
        QStringList started;
        QStringList journal;
    };
    const Case cases[] = {
        {"a jump of 30 s over one bell", 60, false, {9, 39}, {"08:00:20"},
         {"08:00:10 未播放：系统时钟向前跳了，只补播最后一个铃声", "08:00:20 补播：系统时钟向前跳了，晚了 19 秒"}},
        {"a jump past the grace", 20, false, {9, 50}, {},
         {"08:00:10 未播放：系统时钟向前跳了，错过 40 秒，超过补播时限 20 秒",
          "08:00:20 未播放：系统时钟向前跳了，错过 30 秒，超过补播时限 20 秒"}},
        {"grace 0 never rings late", 0, false, {15, 25}, {},
         {"08:00:20 未播放：系统时钟向前跳了，错过 5 秒，超过补播时限 0 秒"}},
        {"a sleep over a bell", 60, true, {0, 30}, {"08:00:20"},
         {"08:00:10 未播放：计算机休眠，只补播最后一个铃声", "08:00:20 补播：计算机休眠，晚了 10 秒"}},
        {"back over a rung bell, then forward again", 60, false, {20, 12, 21, 30}, {"08:00:20"}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        restart();
        QStringList journal;
        check.setJournal([&](const QString& key, const QString& event) { journal << key + " " + event; });
        check.setLateGrace(c.grace);
        for (int i = 0; i < c.tickSeconds.size(); ++i) {
            if (c.slept && i == 1)
                check.noteSleep();
            clock.set(QDate(2026, 3, 2), QTime(8, 0).addSecs(c.tickSeconds[i]));
            tick();
        }
        EXPECT_EQ(started, c.started);
        EXPECT_EQ(journal, c.journal);
        // The day view reads the same record, for that day only.
        for (const QString& line : c.journal) {
            EXPECT_EQ(check.record(line.section(' ', 0, 0), QDate(2026, 3, 2)), line.section(' ', 1));
            EXPECT_TRUE(check.record(line.section(' ', 0, 0), QDate(2026, 3, 3)).isEmpty());
        }
    }
}

TEST_F(DueTimeCheckTest, StartMemoryIsPerDay)
{
    schedule = {"08:00:00=1,1,1"};
    writeDaily();
    clock.set(QDate(2026, 3, 2), QTime(8, 0));
    tick();
    clock.set(QDate(2026, 3, 2), QTime(7, 59, 50)); // set back past the task
    tickThrough(clock.current, QDateTime(QDate(2026, 3, 2), QTime(8, 0, 2)));
    clock.set(QDate(2026, 3, 3), QTime(8, 0));
    tick();
    EXPECT_EQ(started, QStringList({"08:00:00", "08:00:00"}));
}

TEST_F(DueTimeCheckTest, KeysWithoutLeadingZeroFallDueAndUnreadableKeysNever)
{
    // A key listed twice is checked by its first line only.
    schedule = {"8:00:00=1,1,1", "08:00:00=1,1,1", "8:0:0=1,1,1",    "morning=1,1,1",
                "08:00:00=0,1,1", "7:59:60=1,1,1", "24:00:00=1,1,1", "07:59:59=0,1,1",
                "07:59:59=1,1,1"};
    writeDaily();
    tickThrough(QDateTime(QDate(2026, 3, 2), QTime(7, 59, 58)),
                QDateTime(QDate(2026, 3, 2), QTime(8, 0, 2)));
    tickThrough(QDateTime(QDate(2026, 3, 2), QTime(23, 59, 58)),
                QDateTime(QDate(2026, 3, 3), QTime(0, 0, 1)));
    EXPECT_EQ(started, QStringList({"8:00:00", "08:00:00"}));
}

TEST_F(DueTimeCheckTest, OneFailingTaskIsReportedOnceAndTheNextStillStarts)
{
    schedule = {"08:00:00=1,1,1", "8:00:00=1,1,1", "08:00:01=1,1,1"};
    writeParams({"08:00:00=1,1,1", "8:00:00=" + Daily, "08:00:01=" + Daily});
    tickThrough(QDateTime(QDate(2026, 3, 2), QTime(8, 0, 0)),
                QDateTime(QDate(2026, 3, 2), QTime(8, 0, 1)));
    clock.advance(-600); // again within 08:00:01
    tick();
    EXPECT_EQ(started, QStringList({"8:00:00", "08:00:01"}));
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].contains("1,1,1")) << reports[0].toStdString();

    // A failing start is reported the same way.
    writeDaily();
    restart();
    onStart = [](const QString& key) {
        if (key == "08:00:00")
            throw MediaError("cannot open the bell");
    };
    clock.set(QDate(2026, 3, 3), QTime(8, 0));
    tick();
    EXPECT_EQ(started, QStringList({"08:00:00", "8:00:00"}));
    EXPECT_EQ(reports, QStringList({"cannot open the bell"}));
}

TEST(MsUntilNextTick, AimsJustPastTheNextHalfSecond)
{
    const int cases[][2] = {{0, 501},   {1, 500}, {200, 301}, {499, 2},  {500, 501},
                            {504, 497}, {505, 496}, {999, 2}};
    for (const auto& c : cases) {
        const QDateTime now(QDate(2026, 3, 2), QTime(8, 0, 0).addMSecs(c[0]));
        EXPECT_EQ(DueTimeCheck::MsUntilNextTick(now.toMSecsSinceEpoch()), c[1]) << c[0];
    }
}

// Once-a-second work lands where it is aimed inside the second, away from the bells, and never
// twice in a second however early its timer fires.
TEST(MsUntilPastSecond, AimsInsideTheNextSecondsAtLeastAFifthOfASecondAhead)
{
    const int cases[][3] = {{200, 0, 200},   {200, 1, 1199},  {200, 199, 1001}, {200, 200, 1000},
                            {200, 201, 999}, {200, 999, 201}, {700, 500, 200},  {700, 501, 1199},
                            {700, 699, 1001}, {700, 700, 1000}, {700, 0, 700}};
    for (const auto& c : cases) {
        const QDateTime now(QDate(2026, 3, 2), QTime(8, 0, 0).addMSecs(c[1]));
        EXPECT_EQ(DueTimeCheck::MsUntilPastSecond(now.toMSecsSinceEpoch(), c[0]), c[2])
            << c[0] << " past, at " << c[1];
    }
}

TEST_F(DueTimeCheckTest, NestedTickFromAStartedTaskServesOnlyLaterSeconds)
{
    schedule = {"08:00:00=1,1,1", "8:00:00=1,1,1", "08:00:01=1,1,1", "08:00:10=1,1,1"};
    struct Case {
        const char* name;
        int boxOpenMs; // how long the first task's box keeps the outer walk waiting
        bool secondUnreadable; // "8:00:00" has a bad parameter line
        QStringList started;
        int reports;
    };
    const Case cases[] = {
        {"same second", 0, false, {"08:00:00", "8:00:00"}, 0},
        {"one second later", 1000, false, {"08:00:00", "08:00:01", "8:00:00"}, 0},
        {"one second later, then a bad task", 1000, true, {"08:00:00", "08:00:01"}, 1},
        // Past the catch-up time the rest of 08:00:00 is dropped, not started late; the
        // skipped 08:00:01 is the last bell of the gap and rings late.
        {"ten seconds later", 10000, false, {"08:00:00", "08:00:01", "08:00:10"}, 0},
        {"ten seconds later, then a bad task", 10000, true, {"08:00:00", "08:00:01", "08:00:10"}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeDaily();
        if (c.secondUnreadable)
            writeParams({"08:00:00=" + Daily, "8:00:00=1,1", "08:00:01=" + Daily,
                         "08:00:10=" + Daily});
        restart();
        onStart = nullptr;
        clock.set(QDate(2026, 3, 2), QTime(7, 59, 59)); // nothing due
        tick();
        onStart = [&](const QString& key) {
            if (key == "08:00:00") {
                clock.advance(c.boxOpenMs);
                tick();
            }
        };
        clock.advance(1000);
        tick();
        EXPECT_EQ(started, c.started);
        EXPECT_EQ(reports.size(), c.reports);
    }
}

TEST_F(DueTimeCheckTest, ListChangesReachTheNextTick)
{
    schedule = {"08:00:00=1,1,1", "08:00:03=1,1,1"};
    writeParams({"08:00:00=1,1,1,4,,0,", "08:00:02=" + Daily, "08:00:03=" + Daily});
    onStart = [this](const QString& key) {
        if (key == "08:00:00")
            schedule.removeFirst(); // a once-only task leaves the list when it starts
    };
    clock.set(QDate(2026, 3, 2), QTime(8, 0, 0));
    tick();
    schedule << "08:00:02=1,1,1";
    schedule[0] = "08:00:03=0,1,1";
    tickThrough(QDateTime(QDate(2026, 3, 2), QTime(8, 0, 1)),
                QDateTime(QDate(2026, 3, 2), QTime(8, 0, 3)));
    clock.set(QDate(2026, 3, 3), QTime(8, 0, 0));
    tick();
    EXPECT_EQ(started, QStringList({"08:00:00", "08:00:02"}));
}

} // namespace

TEST_F(DueTimeCheckTest, TheSecondHalfOfASecondPreparesTheNextSecondsTasksOnce)
{
    // Only tasks that would start as things stand; a bad line is said at its due time only.
    schedule = {"08:00:01=1,1,1", "08:00:01=1,1,1", "8:00:01=1,1,1", "08:00:01x=1,1,1",
                "08:00:02=0,1,1", "08:00:03=1,0,1", "08:00:04=1,1,1"};
    holidays = {"3-2=3-2"};
    writeParams({"08:00:01=" + Daily, "8:00:01=" + Daily, "08:00:03=" + Daily,
                 "08:00:04=bad"});
    QStringList prepared;
    check.setPrepare([&](const QString& key) { prepared << key; });
    const QDateTime start(QDate(2026, 3, 2), QTime(8, 0, 0, 1));
    for (clock.current = start; clock.current < start.addMSecs(4600); clock.advance(500)) {
        const qsizetype before = prepared.size();
        tick();
        EXPECT_TRUE(clock.current.time().msec() >= 250 || prepared.size() == before)
            << "nothing is prepared in the tick that starts a second's tasks";
        if (clock.current.time() == QTime(8, 0, 0, 501)) {
            EXPECT_EQ(prepared, QStringList({"08:00:01", "8:00:01"}));
        }
    }
    EXPECT_EQ(prepared, QStringList({"08:00:01", "8:00:01"}));
    EXPECT_EQ(started, QStringList({"08:00:01", "8:00:01"}));
    EXPECT_EQ(reports.size(), 1) << "08:00:04 is reported once, when it falls due";
}
