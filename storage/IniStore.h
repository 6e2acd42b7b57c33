#pragma once
// The settings store: every read and write of the program's INI files goes through here.
// Files are GB18030 text with CR LF line ends. Section and key names compare without regard
// to letter case. Each write loads the file, changes it and saves it whole. Reads take the
// file's parsed text from a small cache of the files read last, kept while the file on disk
// stays the same one (inode, size, change and modification times) and dropped by every write
// through here, so a value read is found without parsing the file again.
// The plain operations never raise: reads give the default, failed writes change nothing.
// As the platform's profile functions do, a value read and a write's lookup take the section
// and key without the blanks around them (" Time " finds [Time], and the key is written
// trimmed); key lists, section reads, deletes and section erases compare names as given.
#include <QString>
#include <QStringList>

// Operations on Config.ini in the application directory.
QString ReadConfigString(const QString& section, const QString& key, const QString& def);
// Decimal text with an optional sign, or hexadecimal after "$", "0x" or "0X" (the sign before
// them). Any other text, a missing key, and a number outside int's range give def.
int ReadConfigInteger(const QString& section, const QString& key, int def);
void WriteConfigString(const QString& section, const QString& key, const QString& value);
void WriteConfigInteger(const QString& section, const QString& key, int value);
void ReadConfigSection(const QString& section, QStringList& list);
void DeleteConfigKey(const QString& section, const QString& key);

// Operations on a file named by its full path.
void ReadIniKeys(const QString& file, const QString& section, QStringList& list);
void ReadIniSection(const QString& file, const QString& section, QStringList& list);
// As ReadIniSection, but every key of the section, however much key text it holds. The music
// library reads its own section this way: a library cut short at the key-list limit would hand
// out numbers that are taken and overwrite their entries.
void ReadWholeIniSection(const QString& file, const QString& section, QStringList& list);
QString ReadIniString(const QString& file, const QString& section, const QString& key,
                      const QString& def);
void WriteIniString(const QString& file, const QString& section, const QString& key,
                    const QString& value);
void DeleteIniKey(const QString& file, const QString& section, const QString& key);
void EraseIniSection(const QString& file, const QString& section);

// The write behind WriteIniString, for callers that must know whether it happened
// (the enciphered writes raise on failure). Returns false and sets *error when nothing was written:
// a name or value holding a line break, an empty key, a key holding "=" or starting with "[",
// a section holding "]", or a file that cannot be read or saved. A successful save also removes
// what interrupted saves of the same file left beside it.
bool TryWriteIniString(const QString& file, const QString& section, const QString& key,
                       const QString& value, QString* error = nullptr);

// The same writes for callers that must not lose a change without a word: each raises
// FileError ("无法写入 <file>：<why>") when the file is left as it was.
void WriteIniStringChecked(const QString& file, const QString& section, const QString& key,
                           const QString& value);
void DeleteIniKeyChecked(const QString& file, const QString& section, const QString& key);
void EraseIniSectionChecked(const QString& file, const QString& section);
// The section's entries replaced by lines ("key=value", in order) in one save, so that no
// interruption leaves it half old and half new; other lines of the section stay where they are.
// No lines erase the section. Raises FileError, the file left as it was, on any line that
// TryWriteIniString would refuse.
void ReplaceIniSectionChecked(const QString& file, const QString& section, const QStringList& lines);

// Full path of Config.ini, formed anew at each call.
QString ConfigFilePath();
