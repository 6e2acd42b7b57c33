#include "storage/TaskFile.h"

#include "platform/AppDirectory.h"
#include "platform/Errors.h"
#include "storage/IniStore.h"
#include "storage/MusicName.h"
#include "storage/TaskEntry.h"
#include "storage/TimeText.h"

#include <QDate>
#include <QHash>
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
}

namespace {

QString fileNamePart(const QString& path)
{
    return path.mid(path.lastIndexOf(u'/') + 1);
}

// The values of a name=value list by name, built once so that a row finds its line without
// a search through the whole list. Names compare as the file compares them, ASCII letters in
// either case and every other character as it is, so a row shows the parameters playback
// reads for its key; the first line of a name wins.
class NameIndex {
public:
    explicit NameIndex(const QStringList& lines)
    {
        m_values.reserve(lines.size());
        for (const QString& line : lines) {
            const QString name = folded(LineName(line));
            if (!m_values.contains(name))
                m_values.insert(name, LineValue(line));
        }
    }
    QString value(const QString& name) const { return m_values.value(folded(name)); }

private:
    static QString folded(QString name)
    {
        for (QChar& c : name)
            if (c >= u'A' && c <= u'Z')
                c = QChar(c.unicode() - u'A' + u'a');
        return name;
    }
    QHash<QString, QString> m_values;
};

QString musicText(int sourceType, const QStringList& keys, const NameIndex& library)
{
    if (sourceType == 1) {
        QStringList names;
        for (const QString& key : keys)
            names << fileNamePart(library.value(key));
        return names.join(u',');
    }
    // A directory task without any key shows nothing rather than failing.
    return keys.isEmpty() ? QString() : MusicDisplayName(library.value(keys.first()));
}

// A line that does not read, with the message that names it.
struct BadLine {
    QString message;
};

TaskRow buildRow(const QString& line, const NameIndex& params, const NameIndex& library)
{
    const QString key = LineName(line);
    TaskEntryFields task;
    ReadTimeValue(LineValue(line), TimeFlagsAt::FirstComma, task);
    // A value without a comma has always been reported as an unreadable enabled flag.
    if (task.HolidayAt < 0 || !task.EnabledValid)
        throw BadLine{TaskLineMessage(
            TimeSection, key, QStringLiteral("“%1”不是有效的布尔值").arg(task.EnabledText()))};
    if (!task.HolidayValid)
        throw BadLine{TaskLineMessage(
            TimeSection, key,
            task.HolidayText().isEmpty()
                ? QStringLiteral("“%1”中缺少节假日标志").arg(task.TimeValue)
                : QStringLiteral("“%1”不是有效的整数").arg(task.HolidayText()))};

    TaskRow row;
    row.enabled = task.Entry.Enabled;
    const int holiday = task.Entry.HolidayFlag;
    row.cells << key;

    const QString paramsValue = params.value(key);
    ReadTimeParamsValue(paramsValue, task);
    if (task.ParamCount() == 0)
        return row;

    TTaskRecord rec;
    rec.StartTime = key;
    // Missing leading fields are as unreadable as wrong ones.
    if (task.ParamCount() <= DateTypeField)
        throw BadLine{TaskLineMessage(TimeParamsSection, key,
                                      QStringLiteral("“%1”只有 %2 项，至少应有 %3 项")
                                          .arg(paramsValue)
                                          .arg(task.ParamCount())
                                          .arg(DateTypeField + 1))};
    try {
        rec.LoopCount = task.Number(LoopCountField);
        rec.SourceType = task.Number(SourceTypeField);
        rec.PlayMode = task.Number(PlayModeField);
        rec.DateType = task.Number(DateTypeField);
    } catch (const ConversionError& e) {
        throw BadLine{TaskLineMessage(TimeParamsSection, key, e.message())};
    }
    rec.MusicText = musicText(rec.SourceType, task.Entry.MusicKeys, library);
    rec.DateParams = task.Entry.DateParams;
    rec.ExcludeHolidays = holiday == 1;

    row.cells << rec.MusicText << task.ParamText(LoopCountField)
              << NameAt(SourceTypeNames, rec.SourceType)
              << NameAt(PlayModeNames, rec.PlayMode) << NameAt(DateTypeNames, rec.DateType)
              << FormatDateParams(rec.DateType, rec.DateParams) << NameAt(YesNoNames, holiday);

    QString limitCell = NoControlText;
    QString endCell = NoControlText;
    rec.EndTime = QStringLiteral("00:00:00");
    // Six fields are an older file's: its limit field is not read.
    if (task.ParamCount() >= 7) {
        // Only a positive number limits playing; "00" or text would show a limit that is none.
        // The list shows the limit as playback reads it.
        if (task.ParamValid[PlayLengthField] && task.Entry.PlayLength > 0) {
            limitCell = task.ParamText(PlayLengthField);
            rec.PlayLength = task.Entry.PlayLength;
        }
        // Midnight or an unreadable text means no end time, so it is not shown as one.
        const QTime end = task.EndTimeOfDay;
        if (task.ParamValid[EndTimeField] && end != QTime(0, 0, 0) && ParseTimeText(key) <= end) {
            endCell = task.Entry.EndTime;
            rec.EndTime = task.Entry.EndTime;
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

QStringView LineNameView(const QString& line)
{
    const qsizetype eq = line.indexOf(u'=');
    return eq < 0 ? QStringView(line) : QStringView(line).left(eq);
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

QStringList BuildTaskRows(const QStringList& timeLines, const QStringList& paramLines,
                          const QStringList& libraryList, QList<TaskRow>& rows)
{
    rows.clear();
    rows.reserve(timeLines.size());
    const NameIndex params(paramLines);
    const NameIndex library(libraryList);
    QStringList messages;
    for (const QString& line : timeLines) {
        try {
            rows << buildRow(line, params, library);
        } catch (const BadLine& bad) {
            messages << bad.message;
        }
    }
    return messages;
}
