#include "storage/TaskFile.h"

#include "platform/AppDirectory.h"
#include "platform/Errors.h"
#include "storage/IniStore.h"
#include "storage/TaskSound.h"
#include "storage/TaskZones.h"

#include <QDate>
#include <QRegularExpression>
#include <QTime>

const QStringList DateTypeNames = {QStringLiteral("每日"), QStringLiteral("每周"),
                                   QStringLiteral("每月"), QStringLiteral("指定日期"),
                                   QStringLiteral("临时一次")};
const QStringList PlayModeNames = {QString(), QStringLiteral("顺序"), QStringLiteral("随机")};
const QStringList SourceTypeNames = {QString(), QStringLiteral("音频文件"), QStringLiteral("目录"),
                                     QStringLiteral("事务")};
const QStringList YesNoNames = {QStringLiteral("否"), QStringLiteral("是")};
const QStringList WeekdayNames = {QString(),           QStringLiteral("周一"), QStringLiteral("周二"),
                                  QStringLiteral("周三"), QStringLiteral("周四"), QStringLiteral("周五"),
                                  QStringLiteral("周六"), QStringLiteral("周日")};

QString NameAt(const QStringList& table, int index)
{
    return index >= 0 && index < table.size() ? table[index] : QString();
}

QString FormatDateParams(int dateType, const QString& text)
{
    QString result;
    switch (dateType) {
    case 0:
    case 3:
    case 4:
        return text;
    case 1:
        // Places past Sunday have no name; a hand-edited text may still hold them.
        for (qsizetype i = 1; i <= text.size() && i < WeekdayNames.size(); ++i)
            if (text[i - 1] == u'1')
                result += WeekdayNames[i];
        return result;
    case 2:
        for (qsizetype i = 1; i <= text.size(); ++i)
            if (text[i - 1] == u'1')
                result += QString::number(i) + QStringLiteral("日");
        return result;
    default:
        return result;
    }
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
    throw ConversionError(QStringLiteral("“%1”不是有效的日期和时间").arg(text));
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
    throw ConversionError(QStringLiteral("“%1”不是有效的整数").arg(text));
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
    return QStringLiteral("%1 的 [%2] 中 %3 一行有误：%4").arg(TaskFileName, section, key, reason);
}
