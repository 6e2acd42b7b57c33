#include "storage/TaskFile.h"

#include "platform/AppDirectory.h"
#include "platform/Errors.h"
#include "storage/IniStore.h"
#include "storage/TaskSound.h"
#include "storage/TaskZones.h"

#include <QCoreApplication>
#include <QDate>
#include <QRegularExpression>
#include <QTime>

namespace {

// The names are looked up at each call: the interface's catalogue is installed after start.
QStringList Translated(std::initializer_list<const char*> sources)
{
    QStringList names;
    for (const char* source : sources)
        names << (*source ? QCoreApplication::translate("TaskFile", source) : QString());
    return names;
}

} // namespace

QString NoControlText()
{
    return QCoreApplication::translate("TaskFile", "无控制");
}

QStringList DateTypeNames()
{
    return Translated({QT_TRANSLATE_NOOP("TaskFile", "每日"), QT_TRANSLATE_NOOP("TaskFile", "每周"),
                       QT_TRANSLATE_NOOP("TaskFile", "每月"), QT_TRANSLATE_NOOP("TaskFile", "指定日期"),
                       QT_TRANSLATE_NOOP("TaskFile", "临时一次")});
}

QStringList PlayModeNames()
{
    return Translated({"", QT_TRANSLATE_NOOP("TaskFile", "顺序"), QT_TRANSLATE_NOOP("TaskFile", "随机")});
}

QStringList SourceTypeNames()
{
    return Translated({"", QT_TRANSLATE_NOOP("TaskFile", "音频文件"), QT_TRANSLATE_NOOP("TaskFile", "目录"),
                       QT_TRANSLATE_NOOP("TaskFile", "事务")});
}

QStringList YesNoNames()
{
    return Translated({QT_TRANSLATE_NOOP("TaskFile", "否"), QT_TRANSLATE_NOOP("TaskFile", "是")});
}

QStringList WeekdayNames()
{
    return Translated({"", QT_TRANSLATE_NOOP("TaskFile", "周一"), QT_TRANSLATE_NOOP("TaskFile", "周二"),
                       QT_TRANSLATE_NOOP("TaskFile", "周三"), QT_TRANSLATE_NOOP("TaskFile", "周四"),
                       QT_TRANSLATE_NOOP("TaskFile", "周五"), QT_TRANSLATE_NOOP("TaskFile", "周六"),
                       QT_TRANSLATE_NOOP("TaskFile", "周日")});
}

QString NameAt(const QStringList& table, int index)
{
    return index >= 0 && index < table.size() ? table[index] : QString();
}

namespace {

// A task's days in a list: a catalogue may give them shorter than the days' own names, so that
// five of them fit the list's column.
QStringList ListedWeekdayNames()
{
    return {QString(),
            QCoreApplication::translate("TaskFile", "周一", "a day in a list of days"),
            QCoreApplication::translate("TaskFile", "周二", "a day in a list of days"),
            QCoreApplication::translate("TaskFile", "周三", "a day in a list of days"),
            QCoreApplication::translate("TaskFile", "周四", "a day in a list of days"),
            QCoreApplication::translate("TaskFile", "周五", "a day in a list of days"),
            QCoreApplication::translate("TaskFile", "周六", "a day in a list of days"),
            QCoreApplication::translate("TaskFile", "周日", "a day in a list of days")};
}

} // namespace

QString FormatDateParams(int dateType, const QString& text)
{
    QStringList days;
    switch (dateType) {
    case 0:
    case 3:
    case 4:
        return text;
    case 1: {
        // Places past Sunday have no name; a hand-edited text may still hold them.
        const QStringList names = ListedWeekdayNames();
        for (qsizetype i = 1; i <= text.size() && i < names.size(); ++i)
            if (text[i - 1] == u'1')
                days << names[i];
        break;
    }
    case 2:
        for (qsizetype i = 1; i <= text.size(); ++i)
            if (text[i - 1] == u'1')
                days << QCoreApplication::translate("TaskFile", "%1日").arg(i);
        break;
    default:
        break;
    }
    // Chinese runs the days together; a catalogue may put a separator between them.
    QString result = days.value(0);
    for (qsizetype i = 1; i < days.size(); ++i)
        result = QCoreApplication::translate("TaskFile", "%1%2", "one listed day after another").arg(result, days[i]);
    return result;
}

QDateTime ParseDateTime(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral(
        R"(^(\d{4})-(\d{1,2})-(\d{1,2})(?: +(\d{1,2}):(\d{1,2})(?::(\d{1,2}))?)?$)"));
    const QRegularExpressionMatch m = pattern.match(text.trimmed());
    if (m.hasMatch()) {
        const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        QTime time(0, 0, 0);
        if (m.hasCaptured(4))
            time = QTime(m.captured(4).toInt(), m.captured(5).toInt(),
                         m.hasCaptured(6) ? m.captured(6).toInt() : 0);
        if (date.isValid() && time.isValid())
            return QDateTime(date, time);
    }
    throw ConversionError(QCoreApplication::translate("TaskFile", "“%1”不是有效的日期和时间").arg(text));
}

std::optional<int> ReadWholeNumber(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

int ToInteger(const QString& text)
{
    if (const std::optional<int> value = ReadWholeNumber(text))
        return *value;
    throw ConversionError(QCoreApplication::translate("TaskFile", "“%1”不是有效的整数").arg(text));
}

QString TaskFilePath()
{
    return ApplicationDirectory() + TaskFileName;
}

void DeleteTaskEntries(const QString& taskFile, const QString& key)
{
    DeleteIniKeyChecked(taskFile, TimeSection, key);
    DeleteIniKeyChecked(taskFile, TimeParamsSection, key);
    DeleteIniKeyChecked(taskFile, TaskSoundSection, key);
    DeleteIniKeyChecked(taskFile, TaskZonesSection, key);
}

QString LineName(const QString& line)
{
    const qsizetype eq = line.indexOf(u'=');
    return eq < 0 ? line : line.left(eq);
}

QString LineValue(const QString& line)
{
    const qsizetype eq = line.indexOf(u'=');
    return eq < 0 ? QString() : line.mid(eq + 1);
}

qsizetype IndexOfName(const QStringList& lines, const QString& name)
{
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (LineName(lines[i]).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString NameValue(const QStringList& lines, const QString& name)
{
    const qsizetype at = IndexOfName(lines, name);
    return at < 0 ? QString() : LineValue(lines[at]);
}

QString TaskLineMessage(const QString& section, const QString& key, const QString& reason)
{
    return QCoreApplication::translate("TaskFile", "%1 的 [%2] 中 %3 一行有误：%4").arg(TaskFileName, section, key, reason);
}
