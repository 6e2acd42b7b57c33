#include "storage/CalendarExchange.h"

#include "platform/Errors.h"
#include "storage/ProgramData.h"
#include "support/TempDir.h"

#include <QCoreApplication>
#include <QFile>
#include <QTranslator>
#include <gtest/gtest.h>

namespace {

QByteArray Calendar(const QByteArray& events)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//test//ZH\r\n" + events + "END:VCALENDAR\r\n";
}

QByteArray Event(const QByteArray& lines)
{
    return "BEGIN:VEVENT\r\n" + lines + "END:VEVENT\r\n";
}

const QByteArray SchoolYear = Calendar(
    Event("DTSTART;VALUE=DATE:20251230\r\nDTEND;VALUE=DATE:20260103\r\nSUMMARY:元旦\r\n") +
    // Two events that touch make one range; DURATION and a missing end are both read.
    Event("DTSTART;VALUE=DATE:20260201\r\nDURATION:P2D\r\nSUMMARY:寒假\r\n") +
    Event("DTSTART;VALUE=DATE:20260203\r\nSUMMARY:寒假（续）\r\n") +
    Event("DTSTART;VALUE=DATE:20260131\r\nSUMMARY:调休上班\r\n") +
    Event("DTSTART;VALUE=DATE:20260314\r\nSUMMARY:补班\r\nX-TAVURO-WEEKDAY:5\r\n") +
    Event("DTSTART;VALUE=DATE:20260307\r\nSUMMARY:运动会\r\nCATEGORIES:校内,工作日\r\n") +
    Event("DTSTART:20260105T080000\r\nDTEND:20260105T090000\r\nSUMMARY:开学典礼\r\n") +
    Event("DTSTART;VALUE=DATE:20260302\r\nRRULE:FREQ=WEEKLY\r\nSUMMARY:升旗仪式\r\n") +
    Event("SUMMARY:没有日期\r\n") +
    // A year no calendar file can carry back out.
    Event("DTSTART;VALUE=DATE:30540218\r\nSUMMARY:补班\r\n"));

TEST(CalendarExchange, AllDayEventsBecomeHolidaysAndMakeUpDaysTheRestIsNamed)
{
    const CalendarImport read = ReadCalendar(SchoolYear, {}, Holidays());
    const CalendarDates dates = read.dates();
    EXPECT_EQ(dates.holidays, (std::vector<DatedHoliday>{{QDate(2025, 12, 30), QDate(2026, 1, 2)},
                                                         {QDate(2026, 2, 1), QDate(2026, 2, 3)},
                                                         {QDate(2026, 3, 7), QDate(2026, 3, 7)}}));
    EXPECT_EQ(read.holidays[1].summaries, QStringList({"寒假", "寒假（续）"}));
    // Saturday 01-31 runs as the next working day: past the weekend and the break, Wednesday.
    EXPECT_EQ(dates.workDays, (std::vector<MakeUpDay>{{QDate(2026, 1, 31), 3}, {QDate(2026, 3, 14), 5}}));
    EXPECT_EQ(read.categories, QStringList({"校内", "工作日"}));

    ASSERT_EQ(read.ignored.size(), 4u);
    const QString expected[][2] = {
        {"开学典礼", "全天"}, {"升旗仪式", "重复"}, {"没有日期", "开始日期"}, {"补班", "1900 到 2199 年"}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(read.ignored[i].summary, expected[i][0]);
        EXPECT_TRUE(read.ignored[i].reason.contains(expected[i][1])) << read.ignored[i].reason.toStdString();
    }
}

TEST(CalendarExchange, TheChosenCategoryAndTheSchoolsHolidaysDecideMakeUpDays)
{
    const Holidays existing = Holidays::Decode({}, {"2026-02-04=2026-02-04"}, {"2026-03-09=4"});
    const CalendarImport read = ReadCalendar(SchoolYear, {"工作日"}, existing);
    EXPECT_EQ(read.dates().workDays, (std::vector<MakeUpDay>{{QDate(2026, 1, 31), 4},
                                                             {QDate(2026, 3, 7), 4},
                                                             {QDate(2026, 3, 14), 5}}))
        << "02-04 is the school's holiday, 03-09 its make-up day running as Thursday";
    EXPECT_EQ(read.dates().holidays.size(), 2u);
}

TEST(CalendarExchange, TextThatIsNotACalendarIsRefusedWithItsProblem)
{
    const std::pair<QByteArray, QString> cases[] = {
        {"", "空"},
        {"\xEF\xBB\xBF \r\n", "空"},
        {"name,date\r\n元旦,2026-01-01\r\n", "无法解析"},
        {"BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nDTSTART;VALUE=DATE:20260101\r\n", "无法解析"},
        {Event("DTSTART;VALUE=DATE:20260101\r\n"), "VCALENDAR"},
        {Calendar(""), "没有任何日程"},
    };
    for (const auto& [text, problem] : cases) {
        try {
            ReadCalendar(text, {}, Holidays());
            ADD_FAILURE() << "read: " << text.constData();
        } catch (const ConversionError& e) {
            EXPECT_TRUE(e.message().contains(problem)) << e.message().toStdString();
        }
    }
}

TEST(CalendarExchange, AnExportedCalendarReadsBackTheSame)
{
    // 02-14 runs as Saturday, which no default would give.
    const Holidays calendar = Holidays::Decode(
        {"5-1=5-3"}, {"2026-10-01=2026-10-07", "2025-12-31=2026-01-01", "2026-02-15=2026-02-23"},
        {"2026-02-14=6", "2026-09-27=1"});
    const QByteArray text = WriteCalendar(calendar);
    EXPECT_TRUE(text.startsWith("BEGIN:VCALENDAR\r\nVERSION:2.0\r\n")) << text.constData();
    EXPECT_TRUE(text.contains("DTSTART;VALUE=DATE:20251231\r\nDTEND;VALUE=DATE:20260102\r\n"));
    EXPECT_TRUE(text.contains("SUMMARY:补班（按周六上课）\r\n"));
    EXPECT_TRUE(text.contains("DTSTAMP:20251231T000000Z\r\n")) << "a valid UTC time, the same at every export";
    EXPECT_EQ(text.count("UID:"), 5);

    const CalendarImport read = ReadCalendar(text, {}, Holidays());
    EXPECT_TRUE(read.ignored.empty());
    auto sorted = [](std::vector<DatedHoliday> v) {
        std::sort(v.begin(), v.end(), [](auto& a, auto& b) { return a.begin < b.begin; });
        return v;
    };
    EXPECT_EQ(read.dates().holidays, sorted(calendar.datedHolidays()));
    EXPECT_EQ(read.dates().workDays, calendar.makeUpDays());
}

// Stands for any catalogue: every text it is asked for comes out otherwise.
class EveryTextTranslated : public QTranslator {
public:
    QString translate(const char*, const char* source, const char*, int) const override
    {
        return QStringLiteral("[%1]").arg(QString::fromUtf8(source));
    }
    bool isEmpty() const override { return false; }
};

TEST(CalendarExchange, AnExportIsTheSameWhateverTheInterfacesLanguage)
{
    struct Case {
        Holidays calendar;
        const char* summary;
    } cases[] = {
        {Holidays::Decode({}, {"2026-10-01=2026-10-07"}), "SUMMARY:放假\r\n"},
        {Holidays::Decode({}, {}, {"2026-02-14=6"}), "SUMMARY:补班（按周六上课）\r\n"},
        {Holidays::Decode({}, {}, {"2026-09-27=1"}), "SUMMARY:补班（按周一上课）\r\n"},
    };
    EveryTextTranslated translator;
    ASSERT_TRUE(QCoreApplication::installTranslator(&translator));
    for (const Case& c : cases) {
        const QByteArray text = WriteCalendar(c.calendar);
        EXPECT_TRUE(text.contains(c.summary)) << text.constData();
    }
    QCoreApplication::removeTranslator(&translator);
}

// The sample calendars shipped in doc/calendars: both years join one school calendar.
TEST(CalendarExchange, TheSampleCalendarsImportWhole)
{
    TempAppDir dir;
    dir.writeText("Config.ini", "[base]\nShotdown=0\nShotdownHint=0\nAutoStart=0\n");
    ProgramData data;
    data.loadHolidays();
    const struct {
        const char* file;
        size_t holidays, workDays;
    } samples[] = {{"china-2025.ics", 6, 5}, {"china-2026.ics", 7, 6}};
    for (const auto& s : samples) {
        QFile file(QStringLiteral(TAVURO_SOURCE_DIR "/doc/calendars/") + s.file);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << s.file;
        const CalendarImport read = ReadCalendar(file.readAll(), {}, data.holidays());
        EXPECT_EQ(read.holidays.size(), s.holidays) << s.file;
        EXPECT_EQ(read.workDays.size(), s.workDays) << s.file;
        EXPECT_TRUE(read.ignored.empty()) << s.file;
        data.addCalendarDates(read.dates());
    }
    const Holidays& school = data.holidays();
    EXPECT_EQ(school.datedHolidays().size(), 13u);
    EXPECT_TRUE(school.contains(QDate(2026, 2, 20)));
    EXPECT_TRUE(school.contains(QDate(2025, 10, 8)));
    EXPECT_FALSE(school.contains(QDate(2026, 2, 14)));
    EXPECT_EQ(school.weekdayOf(QDate(2026, 2, 14)), 2) << "the Tuesday after the Spring Festival";
    EXPECT_EQ(school.weekdayOf(QDate(2025, 1, 26)), 1);
}

} // namespace
