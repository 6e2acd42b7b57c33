#pragma once
// The music library in section Music of the task file: reading its entries with their state on
// disk, and numbering new ones. No widget in here; the page shows what this reads.
#include "library/TranslatedText.h"

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

class Timetable;

// The kind column of an entry, in the interface's language.
inline constexpr TranslatedText LibraryKindFile{
    [] { return QCoreApplication::translate("MusicLibrary", "音频文件"); }};
inline constexpr TranslatedText LibraryKindDirectory{
    [] { return QCoreApplication::translate("MusicLibrary", "目录"); }};

struct LibraryEntry {
    QString key;
    QString path; // plain, deciphered when the library is enciphered
    QString name;
    QString state; // shown only; found tells whether the path is there
    QString kind;
    bool found = false;
    bool missing() const { return !found; }
};

// Name, state and kind of a path as the library page shows them; false when the path is
// neither a file nor a directory.
bool DescribeLibraryPath(const QString& path, QString& name, QString& state, QString& kind);

// Every entry of the section in file order; enciphered values are deciphered.
QList<LibraryEntry> ReadLibraryEntries(const QString& taskFile, bool enciphered);

// "key=path" lines of the entries that have a path, in file order.
QStringList LibraryListOf(const QList<LibraryEntry>& entries);

// One past the largest number in use: the Music keys and the music keys the tasks in Time
// hold (1 when there is none). Past the int range when a number in use is its largest, so
// the caller can refuse. Raises ConversionError when a Music key is no whole number; a task's
// key that is no number does not count.
qint64 NextEntryNumber(const QString& taskFile);

// Writes one entry, enciphered or plain. Only the enciphered write raises on failure.
void WriteLibraryEntry(const QString& taskFile, int number, const QString& path, bool enciphered);

struct MusicUse {
    QString taskKey;  // the task's start time as the file spells it
    QString musicKey; // the number it holds
};
// Each number of musicKeys that a task holds, task by task in file order.
QList<MusicUse> TasksUsing(const Timetable& timetable, const QStringList& musicKeys);

// One message per listed task and number it holds that the library ("number=path" lines)
// lacks.
QStringList MissingMusicMessages(const Timetable& timetable, const QStringList& libraryList);
