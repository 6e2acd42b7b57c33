#include "storage/IniStore.h"

#include "platform/AppDirectory.h"
#include "platform/Errors.h"
#include "platform/FileIdentity.h"
#include "storage/IniStoreTesting.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace {

constexpr int kValueBytes = 2047;
constexpr int kKeyListBytes = 16384;

bool g_failBeforeCommit = false;
bool g_bypassCache = false;

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
qsizetype characterWidth(QByteArrayView name, qsizetype i)
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

bool sameName(QByteArrayView a, QByteArrayView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size();) {
        const qsizetype width = characterWidth(a, i);
        const uchar x = uchar(a[i]), y = uchar(b[i]);
        if (width > 1) {
            if (std::memcmp(a.data() + i, b.data() + i, size_t(width)) != 0)
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

// A hash of foldedName(name), without making the folded copy.
quint32 foldedHash(QByteArrayView name)
{
    quint32 h = 2166136261u; // FNV-1a
    for (qsizetype i = 0; i < name.size();) {
        const qsizetype width = characterWidth(name, i);
        uchar c = uchar(name[i]);
        if (c >= 'A' && c <= 'Z')
            c = uchar(c - 'A' + 'a');
        h = (h ^ c) * 16777619u;
        for (qsizetype j = 1; j < width; ++j)
            h = (h ^ uchar(name[i + j])) * 16777619u;
        i += width;
    }
    // FNV leaves the low bits of similar names alike; the table below indexes by them.
    h ^= h >> 16;
    h *= 0x85EBCA6Bu;
    h ^= h >> 13;
    h *= 0xC2B2AE35u;
    h ^= h >> 16;
    return h;
}

// What a line of the file is, by its text alone.
bool isSectionLine(QByteArrayView raw)
{
    const QByteArrayView t = raw.trimmed();
    return t.startsWith('[') && t.contains(']');
}

QByteArrayView sectionNameOf(QByteArrayView raw)
{
    const QByteArrayView t = raw.trimmed();
    return t.sliced(1, t.indexOf(']') - 1).trimmed();
}

bool isEntryLine(QByteArrayView raw)
{
    return !isSectionLine(raw) && raw.contains('=') && !raw.trimmed().startsWith('=');
}

QByteArrayView keyOf(QByteArrayView entry)
{
    return entry.first(entry.indexOf('=')).trimmed();
}

QByteArrayView valueOf(QByteArrayView entry)
{
    return entry.sliced(entry.indexOf('=') + 1).trimmed();
}

// The lines of a file's text: split at LF, a CR before it dropped, no line after a final LF.
template <class Each>
void forEachLine(const QByteArray& all, Each each)
{
    qsizetype begin = 0;
    while (begin < all.size()) {
        qsizetype end = all.indexOf('\n', begin);
        const qsizetype next = end < 0 ? all.size() : end + 1;
        if (end < 0)
            end = all.size();
        const qsizetype stop = end > begin && all[end - 1] == '\r' ? end - 1 : end;
        each(begin, stop - begin);
        begin = next;
    }
}

struct Line {
    QByteArray raw;
    bool isSection() const { return isSectionLine(raw); }
    QByteArray sectionName() const { return sectionNameOf(raw).toByteArray(); }
    bool isEntry() const { return isEntryLine(raw); }
    QByteArray key() const { return keyOf(raw).toByteArray(); }
    QByteArray value() const { return valueOf(raw).toByteArray(); }
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
        // Half a file must not be taken for the whole: a write would save what is missing away.
        if (f.error() != QFileDevice::NoError)
            return std::nullopt;
        forEachLine(all, [&](qsizetype at, qsizetype size) { ini.lines.append({all.mid(at, size)}); });
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
                *error = QCoreApplication::translate("IniStore", "保存被中断");
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

// Line numbers found by a hash of a name, without copies of the names: the caller's test says
// whether a stored line holds the name looked for. Open addressing, at most two thirds full.
class LineTable {
public:
    explicit LineTable(qsizetype most)
    {
        std::size_t capacity = 8;
        while (capacity < std::size_t(most) + std::size_t(most) / 2 + 1)
            capacity *= 2;
        m_slots.assign(capacity, Slot{});
        m_mask = capacity - 1;
    }
    template <class Same>
    int find(quint32 hash, Same same) const
    {
        for (std::size_t i = hash & m_mask;; i = (i + 1) & m_mask) {
            const Slot& s = m_slots[i];
            if (s.line < 0)
                return -1;
            if (s.hash == hash && same(s.line))
                return s.line;
        }
    }
    // Keeps the line unless one with the same name is stored already: the first line wins.
    template <class Same>
    void addFirst(quint32 hash, int line, Same same)
    {
        for (std::size_t i = hash & m_mask;; i = (i + 1) & m_mask) {
            Slot& s = m_slots[i];
            if (s.line < 0) {
                s = Slot{hash, line};
                return;
            }
            if (s.hash == hash && same(s.line))
                return;
        }
    }

private:
    struct Slot {
        quint32 hash = 0;
        qint32 line = -1;
    };
    std::vector<Slot> m_slots;
    std::size_t m_mask = 0;
};

// A file's text as read, split into lines once, with the first section of each name and,
// within it, the first entry of each key found without a walk through the lines. The text is
// kept whole and lines are places in it, so a large timetable costs little more than its size.
class ParsedIni {
public:
    struct Section {
        int header = -1;
        int end = 0; // one past its last line
    };

    explicit ParsedIni(QByteArray all)
        : m_text(std::move(all)), m_keys(lineCount(m_text))
    {
        m_lines.reserve(std::size_t(lineCount(m_text)));
        forEachLine(m_text, [&](qsizetype at, qsizetype size) {
            m_lines.push_back({quint32(at), quint32(size)});
        });
        const int n = int(m_lines.size());
        for (int header = 0; header < n;) {
            if (!isSectionLine(line(header))) {
                ++header;
                continue;
            }
            int end = header + 1;
            while (end < n && !isSectionLine(line(end)))
                ++end;
            const QByteArray name = foldedName(sectionNameOf(line(header)).toByteArray());
            // Only the first section of a name is ever read; later ones are not indexed.
            if (!m_sections.contains(name)) {
                m_sections.insert(name, Section{header, end});
                for (int i = header + 1; i < end; ++i) {
                    const QByteArrayView l = line(i);
                    if (!isEntryLine(l))
                        continue;
                    const QByteArrayView key = keyOf(l);
                    m_keys.addFirst(keyHash(header, key), i, [&](int other) {
                        return other > header && other < end && sameName(keyOf(line(other)), key);
                    });
                }
            }
            header = end;
        }
    }

    QByteArrayView line(int i) const
    {
        return QByteArrayView(m_text.constData() + m_lines[std::size_t(i)].at,
                              qsizetype(m_lines[std::size_t(i)].size));
    }

    std::optional<Section> findSection(QByteArrayView name) const
    {
        const auto it = m_sections.constFind(foldedName(name.toByteArray()));
        return it == m_sections.cend() ? std::nullopt : std::optional<Section>(*it);
    }

    // Line of the section's first entry of that key, or -1.
    int findKey(const Section& section, QByteArrayView key) const
    {
        return m_keys.find(keyHash(section.header, key), [&](int at) {
            return at > section.header && at < section.end && sameName(keyOf(line(at)), key);
        });
    }

    // Key names of the section, as far as budget bytes of key list hold them.
    QList<QByteArrayView> keys(const Section& section, int budget) const
    {
        QList<QByteArrayView> result;
        int used = 0;
        for (int i = section.header + 1; i < section.end; ++i) {
            const QByteArrayView l = line(i);
            if (!isEntryLine(l))
                continue;
            const QByteArrayView k = keyOf(l);
            if (budget != INT_MAX && used + k.size() + 1 > budget - 1)
                break;
            used += int(k.size()) + 1;
            result.append(k);
        }
        return result;
    }

private:
    struct Place {
        quint32 at;
        quint32 size;
    };
    static qsizetype lineCount(const QByteArray& all) { return all.count('\n') + 1; }
    static quint32 keyHash(int header, QByteArrayView key)
    {
        return foldedHash(key) ^ (quint32(header) * 0x9E3779B1u);
    }

    QByteArray m_text;
    std::vector<Place> m_lines;
    QHash<QByteArray, Section> m_sections;
    LineTable m_keys;
};

// A file modified this recently may change again within the same tick of the file system's
// clock without its times showing it (a whole second or two on some file systems), so its
// text is not kept. Once it is older, any later write gives it newer times.
constexpr int kSettledSeconds = 2;

bool settled(const FileIdentity& id)
{
    return ModifiedMoreThanSecondsAgo(id, kSettledSeconds);
}

// The few files read last (the program goes back and forth between Config.ini and the task
// file), each kept while its identity stays the same. Every write through the store drops
// the file's entry.
class ParsedFiles {
public:
    static ParsedFiles& instance()
    {
        static ParsedFiles files;
        return files;
    }

    // The file as the readers see it. ini is empty when the file does not exist and nullptr
    // when it exists and cannot be read; plain means the caller parses the file itself (the
    // cache is bypassed, or the file is too large for the index's 32-bit places).
    struct Loaded {
        std::shared_ptr<const ParsedIni> ini;
        bool plain = false;
    };
    Loaded get(const QString& path)
    {
        if (g_bypassCache)
            return {nullptr, true};
        const FileIdentity id = FileIdentityOf(path);
        if (!id.exists)
            return {empty()};
        if (id.size >= kLargestIndexed)
            return {nullptr, true};
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
                if (it->path != path)
                    continue;
                if (it->identity == id) {
                    std::rotate(m_entries.begin(), it, it + 1); // most recent first
                    return {m_entries.front().ini};
                }
                m_entries.erase(it);
                break;
            }
        }
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return {nullptr};
        const FileIdentity before = FileIdentityOfOpen(f.handle());
        QByteArray all = f.readAll();
        if (f.error() != QFileDevice::NoError)
            return {nullptr};
        if (all.size() >= kLargestIndexed)
            return {nullptr, true};
        // The identity is taken from the file actually read; one that changed while it was
        // being read is parsed for this read alone.
        const FileIdentity after = FileIdentityOfOpen(f.handle());
        const bool keep = before.exists && after == before && settled(after);
        f.close();
        auto ini = std::make_shared<const ParsedIni>(std::move(all));
        ++m_parses;
        if (keep) {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_entries.insert(m_entries.begin(), Entry{path, after, ini});
            if (m_entries.size() > kKept)
                m_entries.pop_back();
        }
        return {ini};
    }

    void forget(const QString& path)
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(),
                                       [&](const Entry& e) { return e.path == path; }),
                        m_entries.end());
    }

    int parses() const { return m_parses.load(); }

private:
    static std::shared_ptr<const ParsedIni> empty()
    {
        static const auto none = std::make_shared<const ParsedIni>(QByteArray());
        return none;
    }

    static constexpr std::size_t kKept = 4;
    static constexpr qint64 kLargestIndexed = INT_MAX;
    struct Entry {
        QString path;
        FileIdentity identity;
        std::shared_ptr<const ParsedIni> ini;
    };
    std::mutex m_mutex;
    std::vector<Entry> m_entries;
    std::atomic<int> m_parses{0};
};

// Changes one file: loads it, lets edit change the lines, saves atomically.
template <class Edit>
bool modify(const QString& file, QString* error, Edit edit)
{
    std::optional<IniText> ini = IniText::load(file);
    if (!ini) {
        if (error)
            *error = QCoreApplication::translate("IniStore", "无法读取 %1").arg(file);
        return false;
    }
    if (!edit(*ini))
        return true; // nothing to change
    const bool saved = ini->save(file, error);
    // Even a failed save may have replaced the file; the next read goes to the disk.
    ParsedFiles::instance().forget(file);
    return saved;
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

void SetIniCacheBypassedForTesting(bool bypassed)
{
    g_bypassCache = bypassed;
}

int IniFileParsesForTesting()
{
    return ParsedFiles::instance().parses();
}

QString ReadIniString(const QString& file, const QString& section, const QString& key,
                      const QString& def)
{
    const QByteArray s = encode(section).trimmed(), k = encode(key).trimmed();
    const ParsedFiles::Loaded loaded = ParsedFiles::instance().get(file);
    if (loaded.plain) {
        const std::optional<IniText> ini = IniText::load(file);
        if (!ini)
            return def;
        const std::optional<QByteArray> v = ini->value(s, k);
        return v ? readValueText(*v) : def;
    }
    if (!loaded.ini)
        return def;
    const std::optional<ParsedIni::Section> header = loaded.ini->findSection(s);
    const int at = header ? loaded.ini->findKey(*header, k) : -1;
    return at < 0 ? def : readValueText(valueOf(loaded.ini->line(at)).toByteArray());
}

namespace {

QString UnstorableText(const QString& file)
{
    return QCoreApplication::translate(
        "IniStore", "%1 中不能保存这样的名称或值（含换行、“=”、“]”或以“[”开头）").arg(file);
}

} // namespace

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
            *error = UnstorableText(file);
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

namespace {

bool tryDeleteIniKey(const QString& file, const QString& section, const QString& key, QString* error)
{
    return modify(file, error, [&](IniText& ini) {
        const int header = ini.findSection(encode(section));
        const int at = header < 0 ? -1 : ini.findKey(header, encode(key));
        if (at < 0)
            return false;
        ini.lines.removeAt(at);
        return true;
    });
}

bool tryEraseIniSection(const QString& file, const QString& section, QString* error)
{
    return modify(file, error, [&](IniText& ini) {
        const int header = ini.findSection(encode(section));
        if (header < 0)
            return false;
        ini.lines.remove(header, ini.sectionEnd(header) - header);
        return true;
    });
}

[[noreturn]] void raiseWriteFailure(const QString& file, const QString& error)
{
    throw FileError(QCoreApplication::translate("IniStore", "无法写入 %1：%2").arg(file, error));
}

} // namespace

void DeleteIniKey(const QString& file, const QString& section, const QString& key)
{
    tryDeleteIniKey(file, section, key, nullptr);
}

void EraseIniSection(const QString& file, const QString& section)
{
    tryEraseIniSection(file, section, nullptr);
}

void WriteIniStringChecked(const QString& file, const QString& section, const QString& key,
                           const QString& value)
{
    QString error;
    if (!TryWriteIniString(file, section, key, value, &error))
        raiseWriteFailure(file, error);
}

void DeleteIniKeyChecked(const QString& file, const QString& section, const QString& key)
{
    QString error;
    if (!tryDeleteIniKey(file, section, key, &error))
        raiseWriteFailure(file, error);
}

void EraseIniSectionChecked(const QString& file, const QString& section)
{
    QString error;
    if (!tryEraseIniSection(file, section, &error))
        raiseWriteFailure(file, error);
}

void ReplaceIniSectionChecked(const QString& file, const QString& section, const QStringList& lines)
{
    if (lines.isEmpty()) {
        EraseIniSectionChecked(file, section);
        return;
    }
    const QByteArray s = encode(section).trimmed();
    QList<QByteArray> entries;
    for (const QString& line : lines) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        const QString key = eq < 0 ? line : line.left(eq);
        const QByteArray k = encode(key).trimmed();
        if (eq < 0 || hasLineBreak(line) || hasLineBreak(section) || key.trimmed().isEmpty() ||
            k.startsWith('[') || s.contains(']'))
            raiseWriteFailure(file, UnstorableText(file));
        entries.append(k + "=" + encode(line.mid(eq + 1)).trimmed());
    }
    QString error;
    const bool saved = modify(file, &error, [&](IniText& ini) {
        int header = ini.findSection(s);
        if (header < 0) {
            header = int(ini.lines.size());
            ini.lines.append({"[" + s + "]"});
        }
        for (int i = ini.sectionEnd(header) - 1; i > header; --i)
            if (ini.lines[i].isEntry())
                ini.lines.removeAt(i);
        int insertAt = ini.sectionEnd(header);
        while (insertAt > header + 1 && ini.lines[insertAt - 1].raw.trimmed().isEmpty())
            --insertAt;
        for (const QByteArray& entry : entries)
            ini.lines.insert(insertAt++, {entry});
        return true;
    });
    if (!saved)
        raiseWriteFailure(file, error);
}

void ReadIniKeys(const QString& file, const QString& section, QStringList& list)
{
    list.clear();
    const ParsedFiles::Loaded loaded = ParsedFiles::instance().get(file);
    if (loaded.plain) {
        const std::optional<IniText> ini = IniText::load(file);
        if (ini)
            for (const QByteArray& k : ini->keys(encode(section)))
                list.append(decode(k));
        return;
    }
    const std::optional<ParsedIni::Section> header =
        loaded.ini ? loaded.ini->findSection(encode(section)) : std::nullopt;
    if (header)
        for (const QByteArrayView k : loaded.ini->keys(*header, kKeyListBytes))
            list.append(decode(k.toByteArray()));
}

namespace {

// Keys come from the key list, each value as a read by name gives it (the first key of that
// name). One pass over the section, so that a large library or timetable loads in linear time.
void readSection(const QString& file, const QString& section, bool wholeKeyList, QStringList& list)
{
    list.clear();
    const int budget = wholeKeyList ? INT_MAX : kKeyListBytes;
    const ParsedFiles::Loaded loaded = ParsedFiles::instance().get(file);
    if (!loaded.plain) {
        const std::optional<ParsedIni::Section> header =
            loaded.ini ? loaded.ini->findSection(encode(section)) : std::nullopt;
        if (!header)
            return;
        const QList<QByteArrayView> keys = loaded.ini->keys(*header, budget);
        list.reserve(keys.size());
        for (const QByteArrayView k : keys) {
            const QByteArrayView first = loaded.ini->line(loaded.ini->findKey(*header, k));
            list.append(decode(k.toByteArray()) + QLatin1Char('=') +
                        readValueText(valueOf(first).toByteArray()));
        }
        return;
    }
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
    const QList<QByteArray> keys = ini->keys(header, budget);
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
