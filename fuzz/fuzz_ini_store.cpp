// The settings store over an arbitrary Config.ini. The input is the file's body, then, after a
// line "%%", one operation a line with its fields split at "|" (a backslash escapes "|", "\"
// and stands for a line break as "\n" and "\r"):
//   r|section|key  read text     i|section|key  read integer     k|section  key list
//   s|section  section read      S|section  whole section read   d|section|key  delete key
//   e|section  erase section
//   w|section|key|value|other key|other section  write: afterwards the key reads back as
//      written, the other key and the key list of the other section are unchanged and no
//      temporary file is left; or the write was refused, said why, and changed nothing.
// Reads of text, keys and sections must give what parsing the file afresh gives.
#include "fuzz/FuzzCheck.h"
#include "platform/AppDirectory.h"
#include "storage/IniStore.h"
#include "storage/IniStoreTesting.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <climits>
#include <cstddef>
#include <cstdint>

namespace {

const QString kMissing = QStringLiteral("\x01missing");

QByteArray gb(const QString& text)
{
    return QStringEncoder("GB18030").encode(text);
}

QString fromGb(const QByteArray& bytes)
{
    return QStringDecoder("GB18030").decode(bytes);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("\x01none");
}

QList<QString> splitFields(const QByteArray& line)
{
    QList<QString> fields;
    QByteArray field;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\\' && i + 1 < line.size()) {
            const char next = line[++i];
            field += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
        } else if (c == '|') {
            fields << QString::fromUtf8(field);
            field.clear();
        } else {
            field += c;
        }
    }
    fields << QString::fromUtf8(field);
    return fields;
}

// What a read gives for a written value: blanks around dropped, one pair of quotes dropped,
// cut at 2047 bytes without half a character.
QString expectedRead(const QString& value)
{
    QByteArray v = gb(value).trimmed();
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    if (v.size() <= 2047)
        return fromGb(v);
    QString text = fromGb(v.left(2047));
    if (text.endsWith(QChar::ReplacementCharacter))
        text.chop(1);
    return text;
}

// The name a write looks up: without blanks around, ASCII letters in one case.
QString lookupName(const QString& name)
{
    QString t = fromGb(gb(name).trimmed());
    for (QChar& c : t)
        if (c.unicode() < 128)
            c = c.toLower();
    return t;
}

// An independent reading of the integer rules: sign, "$"/"0x"/"0X" or none, digits; int range.
int expectedInteger(QString text, int def)
{
    text = text.trimmed();
    bool negative = false;
    if (text.startsWith(u'-') || text.startsWith(u'+')) {
        negative = text.startsWith(u'-');
        text.remove(0, 1);
    }
    int base = 10;
    if (text.startsWith(u'$')) {
        base = 16;
        text.remove(0, 1);
    } else if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        base = 16;
        text.remove(0, 2);
    }
    const QString digits = base == 16 ? QStringLiteral("0123456789abcdefABCDEF")
                                      : QStringLiteral("0123456789");
    if (text.isEmpty())
        return def;
    for (QChar c : text)
        if (!digits.contains(c))
            return def;
    while (text.size() > 1 && text.startsWith(u'0'))
        text.remove(0, 1);
    if (text.size() > (base == 16 ? 8 : 10))
        return def;
    bool ok = false;
    const qlonglong magnitude = qlonglong(text.toULongLong(&ok, base));
    const qlonglong value = negative ? -magnitude : magnitude;
    if (!ok || value < INT_MIN || value > INT_MAX)
        return def;
    return int(value);
}

// What a read gives when it parses the file itself rather than taking it from the cache.
template <class Read>
auto parsedAfresh(Read read)
{
    SetIniCacheBypassedForTesting(true);
    const auto result = read();
    SetIniCacheBypassedForTesting(false);
    return result;
}

void checkedWrite(const QString& file, const QList<QString>& f)
{
    const QString section = f.value(1), key = f.value(2), value = f.value(3);
    const QString otherKey = f.value(4), otherSection = f.value(5);
    const QByteArray before = readFile(file);
    const QString otherBefore = ReadIniString(file, section, otherKey, kMissing);
    QStringList otherKeysBefore, otherKeysAfter;
    ReadIniKeys(file, otherSection, otherKeysBefore);

    QString error;
    if (!TryWriteIniString(file, section, key, value, &error)) {
        FUZZ_CHECK(!error.isEmpty(), key);
        FUZZ_CHECK(readFile(file) == before, "a refused write changed the file");
        return;
    }
    const QString read = ReadIniString(file, section, key, kMissing);
    FUZZ_CHECK(read == expectedRead(value), QStringLiteral("[%1] %2 reads '%3'").arg(section, key, read));
    if (lookupName(otherKey) != lookupName(key))
        FUZZ_CHECK(ReadIniString(file, section, otherKey, kMissing) == otherBefore, otherKey);
    if (lookupName(otherSection) != lookupName(section)) {
        ReadIniKeys(file, otherSection, otherKeysAfter);
        FUZZ_CHECK(otherKeysAfter == otherKeysBefore, "writing " + key + " changed " + otherSection);
    }
    const QStringList files = QDir(QFileInfo(file).path()).entryList(QDir::Files | QDir::Hidden);
    FUZZ_CHECK(files == QStringList{QStringLiteral("Config.ini")}, files.join(u' '));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // tmpfs where there is one: the store syncs every save, which a disk would make slow.
    static QTemporaryDir dir(QDir("/dev/shm").exists() ? QStringLiteral("/dev/shm/fuzz_ini_XXXXXX")
                                                       : QDir::tempPath() + "/fuzz_ini_XXXXXX");
    static const bool once = (SetApplicationDirectoryOverride(dir.path()), true);
    (void)once;
    const QString file = ConfigFilePath();

    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype split = input.indexOf("\n%%\n");
    {
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        f.write(split < 0 ? input : input.left(split + 1));
        // Dated in the past, and differently at every input, so that reads keep it parsed.
        static qint64 inputs = 0;
        f.flush();
        f.setFileTime(QDateTime::fromSecsSinceEpoch(1000000000 + ++inputs),
                      QFileDevice::FileModificationTime);
    }
    if (split < 0)
        return 0;

    QStringList list;
    int operations = 0;
    for (const QByteArray& line : input.mid(split + 4).split('\n')) {
        if (++operations > 16)
            break;
        const QList<QString> f = splitFields(line);
        const QString op = f.value(0);
        if (op == QLatin1String("r")) {
            auto read = [&] { return ReadIniString(file, f.value(1), f.value(2), kMissing); };
            const QString cached = read();
            FUZZ_CHECK(cached == parsedAfresh(read), cached);
        } else if (op == QLatin1String("i")) {
            const QString text = ReadConfigString(f.value(1), f.value(2), QString());
            const int read = ReadConfigInteger(f.value(1), f.value(2), -77);
            FUZZ_CHECK(read == expectedInteger(text, -77), text + " read as " + QString::number(read));
        } else if (op == QLatin1String("k")) {
            ReadIniKeys(file, f.value(1), list);
            FUZZ_CHECK(list == parsedAfresh([&] {
                           QStringList fresh;
                           ReadIniKeys(file, f.value(1), fresh);
                           return fresh;
                       }),
                       list.join(u'|'));
        } else if (op == QLatin1String("s") || op == QLatin1String("S")) {
            QStringList whole;
            ReadIniSection(file, f.value(1), list);
            ReadWholeIniSection(file, f.value(1), whole);
            FUZZ_CHECK(list.size() <= whole.size() && whole.mid(0, list.size()) == list, f.value(1));
            FUZZ_CHECK(whole == parsedAfresh([&] {
                           QStringList fresh;
                           ReadWholeIniSection(file, f.value(1), fresh);
                           return fresh;
                       }),
                       whole.join(u'|'));
        } else if (op == QLatin1String("w")) {
            checkedWrite(file, f);
        } else if (op == QLatin1String("d")) {
            DeleteIniKey(file, f.value(1), f.value(2));
        } else if (op == QLatin1String("e")) {
            EraseIniSection(file, f.value(1));
        }
    }
    return 0;
}
