#include "storage/ConfigFile.h"

#include "platform/Errors.h"
#include "storage/Holidays.h"
#include "storage/IniStore.h"
#include "storage/TaskFile.h"

#include <QCoreApplication>

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

// No value holds a line break, so this default tells a missing key from any stored text.
const QString Missing = QStringLiteral("\n");

QString settingName(const QString& section, const QString& key, const QString& text)
{
    return QCoreApplication::translate("ConfigFile", "Config.ini 的 [%1] 中 %2=%3").arg(section, key, text);
}

// A whole number: a missing key is the default; text that is no number is the default and a
// number out of range is clamped, each named in *problems; unit follows the number ("% ", " ms").
int readBounded(const QString& section, const QString& key, int byDefault, int min, int max,
                const QString& unit, QStringList* problems)
{
    const QString text = ReadConfigString(section, key, Missing);
    if (text == Missing)
        return byDefault;
    // Read as every number of Config.ini is read; two defaults tell a number from other text.
    const int number = ReadConfigInteger(section, key, 0);
    if (number != ReadConfigInteger(section, key, 1)) {
        if (problems)
            *problems << QCoreApplication::translate("ConfigFile", "%1 不是整数，按默认值 %2%3使用")
                             .arg(settingName(section, key, text), QString::number(byDefault), unit);
        return byDefault;
    }
    const int clamped = std::clamp(number, min, max);
    if (clamped != number && problems)
        *problems << QCoreApplication::translate("ConfigFile", "%1 不在 %2～%3 之内，按 %4%5使用")
                         .arg(settingName(section, key, text), QString::number(min), QString::number(max),
                              QString::number(clamped), unit);
    return clamped;
}

// A percentage in [base].
int readPercent(const QString& key, int byDefault, int max, QStringList* problems)
{
    return readBounded(BaseLower, key, byDefault, 0, max, QCoreApplication::translate("ConfigFile", "% "), problems);
}

// A flag of the newer sections: "1" or "0"; other text is the default, named.
bool readStrictFlag(const QString& section, const QString& key, bool byDefault, QStringList* problems)
{
    const QString text = ReadConfigString(section, key, Missing);
    if (text == One || text == Zero)
        return text == One;
    if (text != Missing && problems)
        *problems << QCoreApplication::translate("ConfigFile", "%1 不是 1 或 0，按默认值 %2 使用")
                         .arg(settingName(section, key, text), flagText(byDefault));
    return byDefault;
}

const QString EnabledKey = QStringLiteral("Enabled");
const QString ServerKey = QStringLiteral("Server");
const QString StreamPortKey = QStringLiteral("StreamPort");
const QString ControlPortKey = QStringLiteral("ControlPort");
const QString BufferKey = QStringLiteral("Buffer");
const QString LocalDeviceKey = QStringLiteral("LocalDevice");
const QString MusicKey = QStringLiteral("Music");
constexpr int MaxPort = 65535;

BroadcastSettings readBroadcast(QStringList* problems)
{
    BroadcastSettings b;
    const QString& s = BroadcastSection;
    b.enabled = readStrictFlag(s, EnabledKey, b.enabled, problems);
    b.server = ReadConfigString(s, ServerKey, QString());
    b.streamPort = readBounded(s, StreamPortKey, b.streamPort, 1, MaxPort, QStringLiteral(" "), problems);
    b.controlPort = readBounded(s, ControlPortKey, b.controlPort, 1, MaxPort, QStringLiteral(" "), problems);
    b.bufferMs = readBounded(s, BufferKey, b.bufferMs, MinBroadcastBufferMs, MaxBroadcastBufferMs,
                             QCoreApplication::translate("ConfigFile", " 毫秒"), problems);
    b.localDevice = readStrictFlag(s, LocalDeviceKey, b.localDevice, problems);
    b.music = readStrictFlag(s, MusicKey, b.music, problems);

    // The whole section: a zone past the key-list limit would otherwise go silent without a word.
    QStringList lines;
    ReadWholeIniSection(ConfigFilePath(), BroadcastZonesSection, lines);
    for (const QString& line : lines) {
        const QString name = LineName(line);
        QString why = ZoneNameProblem(name, b.zones);
        const std::optional<int> port = ReadWholeNumber(LineValue(line));
        if (why.isEmpty() && (!port || *port < 1 || *port > MaxPort))
            why = QCoreApplication::translate("ConfigFile", "端口应为 1～%1 之内的整数").arg(MaxPort);
        if (why.isEmpty())
            b.zones.push_back({name, *port});
        else if (problems)
            *problems << QCoreApplication::translate("ConfigFile", "Config.ini 的 [%1] 中 %2 一行未用：%3")
                             .arg(BroadcastZonesSection, line, why);
    }
    return b;
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
    s.broadcast = readBroadcast(problems);
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

void WriteBroadcastSettings(const BroadcastSettings& settings)
{
    // Refused before anything is written: what would not read back must not be stored.
    std::vector<BroadcastZone> checked;
    QStringList zoneLines;
    for (const BroadcastZone& zone : settings.zones) {
        const QString why = ZoneNameProblem(zone.name, checked);
        if (!why.isEmpty())
            throw InputError(QCoreApplication::translate("ConfigFile", "分区“%1”没有保存：%2").arg(zone.name, why));
        if (zone.port < 1 || zone.port > MaxPort)
            throw InputError(QCoreApplication::translate("ConfigFile", "分区“%1”的端口 %2 不在 1～%3 之内")
                                 .arg(zone.name)
                                 .arg(zone.port)
                                 .arg(MaxPort));
        checked.push_back(zone);
        zoneLines << zone.name + u'=' + QString::number(zone.port);
    }
    if (settings.server.contains(u'\n') || settings.server.contains(u'\r'))
        throw InputError(QCoreApplication::translate("ConfigFile", "服务器地址不能含有换行"));
    for (const int port : {settings.streamPort, settings.controlPort})
        if (port < 1 || port > MaxPort)
            throw InputError(QCoreApplication::translate("ConfigFile", "端口 %1 不在 1～%2 之内").arg(port).arg(MaxPort));
    if (settings.bufferMs < MinBroadcastBufferMs || settings.bufferMs > MaxBroadcastBufferMs)
        throw InputError(QCoreApplication::translate("ConfigFile", "缓冲 %1 毫秒不在 %2～%3 之内")
                             .arg(settings.bufferMs)
                             .arg(MinBroadcastBufferMs)
                             .arg(MaxBroadcastBufferMs));
    const QString& s = BroadcastSection;
    write(s, EnabledKey, flagText(settings.enabled));
    write(s, ServerKey, settings.server.trimmed());
    write(s, StreamPortKey, QString::number(settings.streamPort));
    write(s, ControlPortKey, QString::number(settings.controlPort));
    write(s, BufferKey, QString::number(settings.bufferMs));
    write(s, LocalDeviceKey, flagText(settings.localDevice));
    write(s, MusicKey, flagText(settings.music));
    // In one save: an interrupted rename or reorder leaves the old zones, never some of them.
    ReplaceIniSectionChecked(ConfigFilePath(), BroadcastZonesSection, zoneLines);
}
