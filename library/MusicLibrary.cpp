#include "library/MusicLibrary.h"

#include "library/UntEnDescrypt.h"
#include "storage/IniStore.h"
#include "storage/TaskEntry.h"
#include "storage/TaskFile.h"
#include "storage/Timetable.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <optional>

namespace {

QString lastComponent(const QString& path)
{
    return path.mid(path.lastIndexOf(QDir::separator()) + 1);
}

} // namespace

bool DescribeLibraryPath(const QString& path, QString& name, QString& state, QString& kind)
{
    const QFileInfo info(path);
    if (!path.isEmpty() && info.isFile()) {
        name = lastComponent(path);
        state = QCoreApplication::translate("MusicLibrary", "正常");
        kind = LibraryKindFile;
        return true;
    }
    // A directory entry ends with the separator; its own name is the component before it. A
    // missing entry is named as it was when present: its file, or its folder.
    name = lastComponent(path.endsWith(QDir::separator()) ? path.chopped(1) : path);
    if (!path.isEmpty() && info.isDir()) {
        state = QCoreApplication::translate("MusicLibrary", "正常");
        kind = LibraryKindDirectory;
        return true;
    }
    state = QCoreApplication::translate("MusicLibrary", "目录或音频文件不存在");
    kind.clear();
    return false;
}

QList<LibraryEntry> ReadLibraryEntries(const QString& taskFile, bool enciphered)
{
    QStringList lines;
    ReadWholeIniSection(taskFile, MusicSection, lines);
    // The section read gives each key's value as a read by name would, so deciphering it here
    // is what a separate enciphered read per key gives, without reading the file per entry.
    std::optional<TEnDescrypt> cipher;
    if (enciphered)
        cipher.emplace(taskFile);
    QList<LibraryEntry> entries;
    entries.reserve(lines.size());
    for (const QString& line : lines) {
        LibraryEntry e;
        e.key = LineName(line);
        const QString value = LineValue(line);
        e.path = cipher ? cipher->Decipher(value) : value;
        e.found = DescribeLibraryPath(e.path, e.name, e.state, e.kind);
        entries.append(std::move(e));
    }
    return entries;
}

QStringList LibraryListOf(const QList<LibraryEntry>& entries)
{
    QStringList list;
    list.reserve(entries.size());
    for (const LibraryEntry& e : entries)
        if (!e.path.isEmpty())
            list.append(e.key + QLatin1Char('=') + e.path);
    return list;
}

qint64 NextEntryNumber(const QString& taskFile)
{
    QStringList lines;
    ReadWholeIniSection(taskFile, MusicSection, lines);
    qint64 largest = 0;
    for (const QString& line : lines)
        largest = std::max<qint64>(largest, ToInteger(LineName(line)));
    // A number a task still holds is not free even when its entry is gone: the task would
    // play whatever file took it.
    ReadWholeIniSection(taskFile, TimeSection, lines);
    TaskEntryFields task;
    for (const QString& line : lines) {
        ReadTimeValue(LineValue(line), task);
        for (const QString& key : task.Entry.MusicKeys) {
            if (const std::optional<int> number = ReadWholeNumber(key))
                largest = std::max<qint64>(largest, *number);
        }
    }
    return largest + 1;
}

void WriteLibraryEntry(const QString& taskFile, int number, const QString& path, bool enciphered)
{
    const QString key = QString::number(number);
    if (enciphered)
        WriteEncryptedString(taskFile, MusicSection, key, path);
    else
        WriteIniStringChecked(taskFile, MusicSection, key, path);
}

QList<MusicUse> TasksUsing(const Timetable& timetable, const QStringList& musicKeys)
{
    // Folded as the task list resolves a task's keys, so that what is named is what plays.
    QSet<QString> wanted;
    for (const QString& key : musicKeys)
        wanted.insert(FoldedTaskKey(key));
    QList<MusicUse> uses;
    for (const Task& task : timetable.tasks()) {
        if (task.leaving)
            continue;
        for (const QString& key : task.fields().Entry.MusicKeys)
            if (wanted.contains(FoldedTaskKey(key)))
                uses.append({task.key, key});
    }
    return uses;
}

QStringList MissingMusicMessages(const Timetable& timetable, const QStringList& libraryList)
{
    QSet<QString> known;
    for (const QString& line : libraryList)
        known.insert(FoldedTaskKey(LineName(line)));
    QStringList messages;
    for (const Task& task : timetable.tasks()) {
        // A task the list cannot show is named already, for its line.
        if (task.leaving || !task.listed())
            continue;
        QSet<QString> named;
        for (const QString& key : task.fields().Entry.MusicKeys) {
            const QString folded = FoldedTaskKey(key);
            if (known.contains(folded) || named.contains(folded))
                continue;
            named.insert(folded);
            messages << QCoreApplication::translate("MusicLibrary",
                                                    "%1 的任务 %2 使用的音频库编号 %3 不存在")
                            .arg(TaskFileName, task.key, key);
        }
    }
    return messages;
}
