#include "storage/IniStore.h"

#include "platform/AppDirectory.h"
#include "storage/IniStoreTesting.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <optional>

namespace {

constexpr int kValueBytes = 2047;
constexpr int kKeyListBytes = 16384;

bool g_failBeforeCommit = false;

QByteArray encode(const QString& text)
{
    QStringEncoder enc("GB18030");
    return enc.encode(text);
}

QString decode(const QByteArray& bytes)
{
    QStringDecoder dec("GB18030");
    return dec.decode(bytes);
}

// Names compare with ASCII letters folded to one case. The bytes after a GB18030 lead byte
// belong to that character and are never folded: 0x8141 and 0x8161 are two characters, not
// one in two cases. characterWidth is the number of bytes of the character at place i.
qsizetype characterWidth(const QByteArray& name, qsizetype i)
{
    const uchar c = uchar(name[i]);
    if (c < 0x81 || c > 0xFE || i + 1 == name.size())
        return 1;
    const uchar next = uchar(name[i + 1]);
    return std::min<qsizetype>(next >= '0' && next <= '9' ? 4 : 2, name.size() - i);
}

bool isAsciiLetter(uchar c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool sameName(const QByteArray& a, const QByteArray& b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size();) {
        const qsizetype width = characterWidth(a, i);
        const uchar x = uchar(a[i]), y = uchar(b[i]);
        if (width > 1) {
            if (std::memcmp(a.constData() + i, b.constData() + i, size_t(width)) != 0)
                return false;
        } else if (x != y && !(isAsciiLetter(x) && isAsciiLetter(y) && (x | 0x20) == (y | 0x20))) {
            return false;
        }
        i += width;
    }
    return true;
}

// The one spelling of a name that sameName treats as equal to it.
QByteArray foldedName(QByteArray name)
{
    for (qsizetype i = 0; i < name.size(); i += characterWidth(name, i))
        if (name[i] >= 'A' && name[i] <= 'Z')
            name[i] = char(name[i] - 'A' + 'a');
    return name;
}

struct Line {
    QByteArray raw;
    bool isSection() const
    {
        const QByteArray t = raw.trimmed();
        return t.startsWith('[') && t.contains(']');
    }
    QByteArray sectionName() const
    {
        const QByteArray t = raw.trimmed();
        return t.mid(1, t.indexOf(']') - 1).trimmed();
    }
    bool isEntry() const { return !isSection() && raw.contains('=') && !raw.trimmed().startsWith('='); }
    QByteArray key() const { return raw.left(raw.indexOf('=')).trimmed(); }
    QByteArray value() const { return raw.mid(raw.indexOf('=') + 1).trimmed(); }
};

struct IniText {
    QList<Line> lines;

    static std::optional<IniText> load(const QString& path)
    {
        IniText ini;
        QFile f(path);
        if (!f.exists())
            return ini;
        if (!f.open(QIODevice::ReadOnly))
            return std::nullopt;
        const QByteArray all = f.readAll();
        if (all.isEmpty())
            return ini;
        QList<QByteArray> raw = all.split('\n');
        if (raw.last().isEmpty())
            raw.removeLast();
        for (QByteArray& l : raw) {
            if (l.endsWith('\r'))
                l.chop(1);
            ini.lines.append({l});
        }
        return ini;
    }

    // Index of the section header, or -1.
    int findSection(const QByteArray& section) const
    {
        for (int i = 0; i < lines.size(); ++i)
            if (lines[i].isSection() && sameName(lines[i].sectionName(), section))
                return i;
        return -1;
    }

    // One past the last line of the section that starts at header.
    int sectionEnd(int header) const
    {
        int i = header + 1;
        while (i < lines.size() && !lines[i].isSection())
            ++i;
        return i;
    }

    int findKey(int header, const QByteArray& key) const
    {
        const int end = sectionEnd(header);
        for (int i = header + 1; i < end; ++i)
            if (lines[i].isEntry() && sameName(lines[i].key(), key))
                return i;
        return -1;
    }

    std::optional<QByteArray> value(const QByteArray& section, const QByteArray& key) const
    {
        const int header = findSection(section);
        if (header < 0)
            return std::nullopt;
        const int at = findKey(header, key);
        if (at < 0)
            return std::nullopt;
        return lines[at].value();
    }

    QList<QByteArray> keys(const QByteArray& section) const
    {
        const int header = findSection(section);
        return header < 0 ? QList<QByteArray>() : keys(header);
    }

    // Key names of the section at header, as far as budget bytes of key list hold them.
    QList<QByteArray> keys(int header, int budget = kKeyListBytes) const
    {
        QList<QByteArray> result;
        int used = 0;
        const int end = sectionEnd(header);
        for (int i = header + 1; i < end; ++i) {
            if (!lines[i].isEntry())
                continue;
            const QByteArray k = lines[i].key();
            // Each name takes its length plus a terminator in the platform's fixed buffer.
            if (budget != INT_MAX && used + k.size() + 1 > budget - 1)
                break;
            used += k.size() + 1;
            result.append(k);
        }
        return result;
    }

    // QSaveFile links its finished temporary file in as "<name>.XXXXXX" (six ASCII letters)
    // and renames it over the file; a process killed between the two, or a file system
    // without unnamed temporary files, leaves that sibling behind. Only regular files whose
    // names IsInterruptedSaveOf accepts are removed.
    static void removeLeftoverSaves(const QString& path)
    {
        const QFileInfo target(path);
        QDir dir = target.absoluteDir();
        const QStringList candidates =
            dir.entryList({target.fileName() + QStringLiteral(".??????")},
                          QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks);
        for (const QString& name : candidates)
            if (IsInterruptedSaveOf(name, target.fileName()))
                dir.remove(name);
    }

    bool save(const QString& path, QString* error) const
    {
        QByteArray out;
        for (const Line& l : lines)
            out += l.raw + "\r\n";
        QSaveFile f(path);
        if (!f.open(QIODevice::WriteOnly)) {
            if (error)
                *error = f.errorString();
            return false;
        }
        if (f.write(out) != out.size() || !f.flush()) {
            if (error)
                *error = f.errorString();
            f.cancelWriting();
            return false;
        }
        if (g_failBeforeCommit) {
            f.cancelWriting();
            if (error)
                *error = QStringLiteral("保存被中断");
            return false;
        }
        if (!f.commit()) {
            if (error)
                *error = f.errorString();
            return false;
        }
        removeLeftoverSaves(path);
        return true;
    }
};

bool hasLineBreak(const QString& s)
{
    return s.contains(QLatin1Char('\r')) || s.contains(QLatin1Char('\n'));
}

QString readValueText(QByteArray v)
{
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    if (v.size() > kValueBytes) {
        v.truncate(kValueBytes);
        // Do not keep half of a multi-byte character.
        QString text = decode(v);
        if (text.endsWith(QChar::ReplacementCharacter))
            text.chop(1);
        return text;
    }
    return decode(v);
}

// Changes one file: loads it, lets edit change the lines, saves atomically.
template <class Edit>
bool modify(const QString& file, QString* error, Edit edit)
{
    std::optional<IniText> ini = IniText::load(file);
    if (!ini) {
        if (error)
            *error = QStringLiteral("无法读取 %1").arg(file);
        return false;
    }
    if (!edit(*ini))
        return true; // nothing to change
    return ini->save(file, error);
}

int digitValue(QChar c, int base)
{
    int d = -1;
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
        d = c.unicode() - '0';
    else if (c >= QLatin1Char('a') && c <= QLatin1Char('f'))
        d = c.unicode() - 'a' + 10;
    else if (c >= QLatin1Char('A') && c <= QLatin1Char('F'))
        d = c.unicode() - 'A' + 10;
    return d < base ? d : -1;
}

// Optional sign, then decimal digits, or hexadecimal ones after "$", "0x" or "0X"; nothing
// else. The magnitude stops growing once it is past what an int holds, so no length of
// digits can overflow, and a value outside int's range is refused rather than wrapped.
bool parseInteger(const QString& stored, int& out)
{
    const QString text = stored.trimmed();
    qsizetype at = 0;
    bool negative = false;
    if (at < text.size() && (text[at] == QLatin1Char('-') || text[at] == QLatin1Char('+'))) {
        negative = text[at] == QLatin1Char('-');
        ++at;
    }
    int base = 10;
    if (text.mid(at, 1) == QLatin1String("$")) {
        base = 16;
        at += 1;
    } else if (text.mid(at, 2).compare(QLatin1String("0x"), Qt::CaseInsensitive) == 0) {
        base = 16;
        at += 2;
    }
    if (at == text.size())
        return false;
    constexpr std::uint64_t limit = std::uint64_t(INT_MAX) + 1; // the magnitude of INT_MIN
    std::uint64_t magnitude = 0;
    for (; at < text.size(); ++at) {
        const int d = digitValue(text[at], base);
        if (d < 0)
            return false;
        if (magnitude <= limit)
            magnitude = magnitude * std::uint64_t(base) + std::uint64_t(d);
    }
    if (magnitude > (negative ? limit : limit - 1))
        return false;
    out = negative ? int(-std::int64_t(magnitude)) : int(magnitude);
    return true;
}

} // namespace

bool IsInterruptedSaveOf(const QString& name, const QString& fileName)
{
    static const QRegularExpression letters(QStringLiteral("^[A-Za-z]{6}$"));
    if (name.size() != fileName.size() + 7 || !name.startsWith(fileName + QLatin1Char('.')))
        return false;
    const QString tail = name.right(6);
    if (!letters.match(tail).hasMatch())
        return false;
    // The save's letters are random in both cases; "backup", "BACKUP" or "Backup" is
    // someone's copy. The few leftovers of those shapes stay, which costs only disk space.
    const QString rest = tail.mid(1);
    return tail != tail.toLower() && tail != tail.toUpper()
        && !(tail.front().isUpper() && rest == rest.toLower());
}

void SetIniSaveInterruptedForTesting(bool interrupted)
{
    g_failBeforeCommit = interrupted;
}

QString ConfigFilePath()
{
    return ApplicationDirectory() + QStringLiteral("Config.ini");
}

QString ReadIniString(const QString& file, const QString& section, const QString& key,
                      const QString& def)
{
    const std::optional<IniText> ini = IniText::load(file);
    if (!ini)
        return def;
    const std::optional<QByteArray> v = ini->value(encode(section).trimmed(), encode(key).trimmed());
    return v ? readValueText(*v) : def;
}

bool TryWriteIniString(const QString& file, const QString& section, const QString& key,
                       const QString& value, QString* error)
{
    // Names are looked up and written without the blanks around them. A line break would let a
    // value forge further lines of the file, a "]" would put the entry under another section,
    // and a key starting with "[" would read back as a section header that hides the next one.
    const QByteArray s = encode(section).trimmed(), k = encode(key).trimmed(),
                     v = encode(value).trimmed();
    if (hasLineBreak(section) || hasLineBreak(key) || hasLineBreak(value) ||
        key.trimmed().isEmpty() || k.contains('=') || k.startsWith('[') || s.contains(']')) {
        if (error)
            *error = QStringLiteral("%1 中不能保存这样的名称或值（含换行、“=”、“]”或以“[”开头）").arg(file);
        return false;
    }
    return modify(file, error, [&](IniText& ini) {
        int header = ini.findSection(s);
        if (header < 0) {
            ini.lines.append({"[" + s + "]"});
            ini.lines.append({k + "=" + v});
            return true;
        }
        const int at = ini.findKey(header, k);
        if (at >= 0) {
            ini.lines[at].raw = ini.lines[at].key() + "=" + v;
            return true;
        }
        int insertAt = ini.sectionEnd(header);
        while (insertAt > header + 1 && ini.lines[insertAt - 1].raw.trimmed().isEmpty())
            --insertAt;
        ini.lines.insert(insertAt, {k + "=" + v});
        return true;
    });
}

void WriteIniString(const QString& file, const QString& section, const QString& key,
                    const QString& value)
{
    TryWriteIniString(file, section, key, value);
}

void DeleteIniKey(const QString& file, const QString& section, const QString& key)
{
    modify(file, nullptr, [&](IniText& ini) {
        const int header = ini.findSection(encode(section));
        const int at = header < 0 ? -1 : ini.findKey(header, encode(key));
        if (at < 0)
            return false;
        ini.lines.removeAt(at);
        return true;
    });
}

void EraseIniSection(const QString& file, const QString& section)
{
    modify(file, nullptr, [&](IniText& ini) {
        const int header = ini.findSection(encode(section));
        if (header < 0)
            return false;
        ini.lines.remove(header, ini.sectionEnd(header) - header);
        return true;
    });
}

void ReadIniKeys(const QString& file, const QString& section, QStringList& list)
{
    list.clear();
    const std::optional<IniText> ini = IniText::load(file);
    if (!ini)
        return;
    for (const QByteArray& k : ini->keys(encode(section)))
        list.append(decode(k));
}

namespace {

// Keys come from the key list, each value as a read by name gives it (the first key of that
// name). One pass over the section, so that a large library or timetable loads in linear time.
void readSection(const QString& file, const QString& section, bool wholeKeyList, QStringList& list)
{
    list.clear();
    const std::optional<IniText> ini = IniText::load(file);
    if (!ini)
        return;
    const int header = ini->findSection(encode(section));
    if (header < 0)
        return;
    QHash<QByteArray, QByteArray> firstValue;
    const int end = ini->sectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
        const Line& l = ini->lines[i];
        if (!l.isEntry())
            continue;
        const QByteArray name = foldedName(l.key());
        if (!firstValue.contains(name))
            firstValue.insert(name, l.value());
    }
    const QList<QByteArray> keys = wholeKeyList ? ini->keys(header, INT_MAX) : ini->keys(header);
    list.reserve(keys.size());
    for (const QByteArray& k : keys)
        list.append(decode(k) + QLatin1Char('=') + readValueText(firstValue.value(foldedName(k))));
}

} // namespace

void ReadIniSection(const QString& file, const QString& section, QStringList& list)
{
    readSection(file, section, false, list);
}

void ReadWholeIniSection(const QString& file, const QString& section, QStringList& list)
{
    readSection(file, section, true, list);
}

QString ReadConfigString(const QString& section, const QString& key, const QString& def)
{
    return ReadIniString(ConfigFilePath(), section, key, def);
}

int ReadConfigInteger(const QString& section, const QString& key, int def)
{
    const QString text = ReadConfigString(section, key, QString());
    int v = def;
    return parseInteger(text, v) ? v : def;
}

void WriteConfigString(const QString& section, const QString& key, const QString& value)
{
    WriteIniString(ConfigFilePath(), section, key, value);
}

void WriteConfigInteger(const QString& section, const QString& key, int value)
{
    WriteIniString(ConfigFilePath(), section, key, QString::number(value));
}

void ReadConfigSection(const QString& section, QStringList& list)
{
    ReadIniSection(ConfigFilePath(), section, list);
}

void DeleteConfigKey(const QString& section, const QString& key)
{
    DeleteIniKey(ConfigFilePath(), section, key);
}
