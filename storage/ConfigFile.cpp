#include "storage/ConfigFile.h"

#include "storage/Holidays.h"
#include "storage/IniStore.h"

#include <algorithm>

namespace {

// Each writer has always spelled its section so; the spelling shows only when the write
// creates the section, and readers match it without regard to case.
const QString BaseLower = QStringLiteral("base");
const QString BaseUpper = QStringLiteral("Base");
const QString Week = QStringLiteral("Week");
const QString One = QStringLiteral("1");
const QString LateBellGraceKey = QStringLiteral("LateBellGrace");
const QString TaskVolumeKey = QStringLiteral("TaskVolume");
const QString MusicVolumeKey = QStringLiteral("MusicVolume");
const QString DuckLevelKey = QStringLiteral("DuckLevel");
const QString Zero = QStringLiteral("0");

struct Weekday {
    const char* key;     // as written
    const char* readKey; // as read: Saturday has always been asked for as "SaturDay"
};
constexpr std::array<Weekday, 7> kWeekdays{{{"Monday", "Monday"},
                                            {"Tuesday", "Tuesday"},
                                            {"Wednesday", "Wednesday"},
                                            {"Thursday", "Thursday"},
                                            {"Friday", "Friday"},
                                            {"Saturday", "SaturDay"},
                                            {"Sunday", "Sunday"}}};

// "1"/"0" keys read as text: any text but "1" is off.
bool readFlag(const QString& section, const QString& key, bool byDefault)
{
    return ReadConfigString(section, key, byDefault ? One : Zero) == One;
}

QString flagText(bool on)
{
    return on ? One : Zero;
}

// A percentage in [base]: a missing key is the default; text that is no number is the default
// and a number out of range is clamped, each named in *problems.
int readPercent(const QString& key, int byDefault, int max, QStringList* problems)
{
    // No value holds a line break, so this default tells a missing key from any stored text.
    const QString missing = QStringLiteral("\n");
    const QString text = ReadConfigString(BaseLower, key, missing);
    if (text == missing)
        return byDefault;
    // Read as every number of Config.ini is read; two defaults tell a number from other text.
    const int number = ReadConfigInteger(BaseLower, key, 0);
    const auto name = [&] { return QStringLiteral("Config.ini 的 [base] 中 %1=%2").arg(key, text); };
    if (number != ReadConfigInteger(BaseLower, key, 1)) {
        if (problems)
            *problems << QStringLiteral("%1 不是整数，按默认值 %2% 使用").arg(name(), QString::number(byDefault));
        return byDefault;
    }
    const int clamped = std::clamp(number, 0, max);
    if (clamped != number && problems)
        *problems << QStringLiteral("%1 不在 0～%2 之内，按 %3% 使用")
                         .arg(name(), QString::number(max), QString::number(clamped));
    return clamped;
}

// A setting the file refuses raises FileError naming Config.ini and the reason.
void write(const QString& section, const QString& key, const QString& value)
{
    WriteIniStringChecked(ConfigFilePath(), section, key, value);
}

} // namespace

Settings ReadSettings(QStringList* problems)
{
    Settings s;
    s.backgroupMusicFile = ReadConfigString(BaseUpper, QStringLiteral("BackgroupMusicFile"), QString());
    // These two are numbers: "01" is on as well.
    s.isBackgroup = ReadConfigInteger(BaseUpper, QStringLiteral("IsBackgroup"), 0) == 1;
    s.enCodeLib = ReadConfigInteger(BaseLower, QStringLiteral("EnCodeLib"), 0) == 1;
    s.autoStart = readFlag(BaseUpper, QStringLiteral("AutoStart"), true);
    for (int i = 0; i < 7; ++i)
        s.workingDays[i] = readFlag(Week, QLatin1String(kWeekdays[i].readKey), i < 5);
    s.shotdown = readFlag(BaseLower, QStringLiteral("Shotdown"), true);
    s.shotdownTime = ReadConfigString(BaseLower, QStringLiteral("ShotdownTime"), QStringLiteral("00:00:00"));
    s.shotdownHint = readFlag(BaseLower, QStringLiteral("ShotdownHint"), true);
    s.guanjiHintFengzhong = ReadConfigString(BaseLower, QStringLiteral("GuanjiHintFengzhong"), One);
    // A value out of range (hand-edited) is the default, not a bell rung an hour late.
    const int grace = ReadConfigInteger(BaseLower, LateBellGraceKey, s.lateBellGrace);
    if (grace >= 0 && grace <= MaxLateBellGrace)
        s.lateBellGrace = grace;
    s.stayAwake = readFlag(BaseLower, QStringLiteral("StayAwake"), true);
    s.taskVolume = readPercent(TaskVolumeKey, s.taskVolume, MaxMasterVolume, problems);
    s.musicVolume = readPercent(MusicVolumeKey, s.musicVolume, MaxMasterVolume, problems);
    s.duckLevel = readPercent(DuckLevelKey, s.duckLevel, MaxDuckLevel, problems);
    return s;
}

void WriteBackgroupMusicFile(const QString& file)
{
    write(BaseUpper, QStringLiteral("BackgroupMusicFile"), file);
}

void WriteIsBackgroup(bool on)
{
    write(BaseUpper, QStringLiteral("IsBackgroup"), flagText(on));
}

void WriteEnCodeLib(bool on)
{
    write(BaseLower, QStringLiteral("EnCodeLib"), on ? One : Zero);
}

void WriteAutoStart(bool on)
{
    write(BaseLower, QStringLiteral("AutoStart"), flagText(on));
}

void WriteWorkingDay(int dayOfWeek, bool on)
{
    if (dayOfWeek >= 1 && dayOfWeek <= 7)
        write(Week, QLatin1String(kWeekdays[dayOfWeek - 1].key), flagText(on));
}

void WriteShotdown(bool on)
{
    write(BaseLower, QStringLiteral("Shotdown"), flagText(on));
}

void WriteShotdownTime(const QString& time)
{
    write(BaseLower, QStringLiteral("ShotdownTime"), time);
}

void WriteShotdownHint(bool on)
{
    write(BaseLower, QStringLiteral("ShotdownHint"), flagText(on));
}

void WriteLateBellGrace(int seconds)
{
    write(BaseLower, LateBellGraceKey, QString::number(seconds));
}

void WriteStayAwake(bool on)
{
    write(BaseLower, QStringLiteral("StayAwake"), flagText(on));
}

void WriteTaskVolume(int percent)
{
    write(BaseLower, TaskVolumeKey, QString::number(percent));
}

void WriteMusicVolume(int percent)
{
    write(BaseLower, MusicVolumeKey, QString::number(percent));
}

void WriteDuckLevel(int percent)
{
    write(BaseLower, DuckLevelKey, QString::number(percent));
}

void WriteGuanjiHintFengzhong(const QString& minutes)
{
    write(BaseLower, QStringLiteral("GuanjiHintFengzhong"), minutes);
}

void WriteHoliday(const QString& begin, const QString& end)
{
    write(HolidaySection, begin, end);
}

void DeleteHoliday(const QString& begin)
{
    DeleteIniKeyChecked(ConfigFilePath(), HolidaySection, begin);
}

void WriteDatedHoliday(const QDate& begin, const QDate& end)
{
    write(HolidayDatesSection, CalendarDateText(begin), CalendarDateText(end));
}

void DeleteDatedHoliday(const QDate& begin)
{
    DeleteIniKeyChecked(ConfigFilePath(), HolidayDatesSection, CalendarDateText(begin));
}

void WriteMakeUpDay(const QDate& date, int weekday)
{
    write(WorkDaysSection, CalendarDateText(date), QString::number(weekday));
}

void DeleteMakeUpDay(const QDate& date)
{
    DeleteIniKeyChecked(ConfigFilePath(), WorkDaysSection, CalendarDateText(date));
}
