#include "storage/TaskFile.h"

#include "platform/AppDirectory.h"
#include "platform/Errors.h"
#include "storage/TextSplit.h"
#include "storage/TimeText.h"

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
    throw ConversionError(QStringLiteral("'%1' is not a valid date and time").arg(text));
}

int ToInteger(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok)
        throw ConversionError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return value;
}

QString TaskFilePath()
{
    return ApplicationDirectory() + TaskFileName;
}

namespace {

bool toBoolean(const QString& text)
{
    const QString t = text.trimmed();
    if (t.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QStringLiteral("False"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const qlonglong value = t.toLongLong(&ok);
    if (!ok)
        throw ConversionError(QStringLiteral("'%1' is not a valid boolean value").arg(text));
    return value != 0;
}

// First line whose key matches, without regard to case; empty when there is none.

QString fileNamePart(const QString& path)
{
    return path.mid(path.lastIndexOf(u'/') + 1);
}

QString lastFolderName(QString path)
{
    if (path.endsWith(u'/'))
        path.chop(1);
    return fileNamePart(path);
}

QString musicText(int sourceType, const QStringList& keys, const QStringList& libraryList)
{
    if (sourceType == 1) {
        QStringList names;
        for (const QString& key : keys)
            names << fileNamePart(NameValue(libraryList, key));
        return names.join(u',');
    }
    // A directory task without any key shows nothing rather than failing.
    return keys.isEmpty() ? QString() : lastFolderName(NameValue(libraryList, keys.first()));
}

QString field(const QStringList& fields, qsizetype index)
{
    return index < fields.size() ? fields[index] : QString();
}

TaskRow buildRow(const QString& line, const QStringList& paramLines, const QStringList& libraryList)
{
    const QString key = LineName(line);
    const QString v = LineValue(line);
    const qsizetype p = v.indexOf(u',');
    if (p < 0)
        throw ConversionError(QStringLiteral("'%1' is not a valid boolean value").arg(v));

    TaskRow row;
    row.enabled = toBoolean(v.left(p));
    const QString holidayText = v.mid(p + 1, 1);
    if (holidayText.size() != 1 || holidayText[0] < u'0' || holidayText[0] > u'9')
        throw ConversionError(QStringLiteral("'%1' is not a valid integer value").arg(holidayText));
    const int holiday = holidayText.toInt();
    row.cells << key;

    const QStringList keys = SplitDelimitedText(v.mid(p + 3));
    const QStringList params = SplitDelimitedText(NameValue(paramLines, key));
    if (params.isEmpty())
        return row;

    TTaskRecord rec;
    rec.StartTime = key;
    bool sourceIsNumber = false;
    const int shownSource = field(params, 1).trimmed().toInt(&sourceIsNumber);
    rec.MusicText = musicText(sourceIsNumber ? shownSource : 1, keys, libraryList);
    // Missing leading fields are as unreadable as wrong ones.
    rec.LoopCount = ToInteger(field(params, 0));
    rec.SourceType = ToInteger(field(params, 1));
    rec.PlayMode = ToInteger(field(params, 2));
    rec.DateType = ToInteger(field(params, 3));
    rec.DateParams = field(params, 4);
    rec.ExcludeHolidays = holiday == 1;

    row.cells << rec.MusicText << params[0] << NameAt(SourceTypeNames, rec.SourceType)
              << NameAt(PlayModeNames, rec.PlayMode) << NameAt(DateTypeNames, rec.DateType)
              << FormatDateParams(rec.DateType, rec.DateParams) << NameAt(YesNoNames, holiday);

    QString limitCell = NoControlText;
    QString endCell = NoControlText;
    rec.EndTime = QStringLiteral("00:00:00");
    if (params.size() >= 7) {
        // Only a positive number limits playing; "00" or text would show a limit that is none.
        bool ok = false;
        const int limit = params[5].toInt(&ok);
        if (ok && limit > 0) {
            limitCell = params[5];
            rec.PlayLength = limit;
        }
        // Midnight or an unreadable text means no end time, so it is not shown as one.
        bool endOk = false;
        const QTime end = ParseTimeText(params[6], &endOk);
        if (endOk && end != QTime(0, 0, 0) && ParseTimeText(key) <= end) {
            endCell = params[6];
            rec.EndTime = params[6];
        }
    }
    row.cells << limitCell << endCell;
    row.record = rec;
    return row;
}

} // namespace

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

void BuildTaskRows(const QStringList& timeLines, const QStringList& paramLines,
                   const QStringList& libraryList, QList<TaskRow>& rows)
{
    rows.clear();
    for (const QString& line : timeLines)
        rows << buildRow(line, paramLines, libraryList);
}
