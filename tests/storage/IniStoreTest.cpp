#include "storage/IniStore.h"
#include "storage/IniStoreTesting.h"
#include "support/QtPrinters.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <gtest/gtest.h>

#include <climits>

namespace {

struct IniStoreTest : ::testing::Test {
    TempAppDir dir;
    QString tasks = dir.file("TimeMusicList.ini");
};

TEST_F(IniStoreTest, ReadRules)
{
    dir.writeText("Config.ini", "[Base]\n"
                                "BackgroupMusicFile =  /srv/铃声/上课.mp3  \n"
                                "Quoted=\"  padded \"\n"
                                "Single='x'\n"
                                "Hex=0x1F\n"
                                "Dollar=$10\n"
                                "Neg=-12\n"
                                "Word=abc\n"
                                "MinusMin=-$-8000000000000000\n"
                                "HugeDec=99999999999999999999999999\n"
                                "HugeHex=0xFFFFFFFFFFFFFFFFFFFF\n"
                                "OverMax=2147483648\n"
                                "HexOverMax=$80000000\n"
                                "Max=2147483647\n"
                                "Min=-2147483648\n"
                                "HexMin=-$80000000\n"
                                "LongOne=000000000000000000000000000001\n"
                                "Plus=+5\n"
                                "TwoPrefixes=$0x1F\n"
                                "BarePrefix=0x\n"
                                "Inner=1 2\n"
                                "[Week]\n"
                                "Saturday=1\n");
    EXPECT_EQ(ReadConfigString("base", "BackgroupMusicFile", ""), "/srv/铃声/上课.mp3");
    EXPECT_EQ(ReadConfigString("BASE", "quoted", ""), "  padded ");
    EXPECT_EQ(ReadConfigString("base", "Single", ""), "x");
    EXPECT_EQ(ReadConfigString("Week", "SaturDay", "0"), "1");
    EXPECT_EQ(ReadConfigString("Week", "Sunday", "0"), "0");
    EXPECT_EQ(ReadConfigString("Nowhere", "Sunday", "d"), "d");

    const std::pair<const char*, int> ints[] = {
        {"Hex", 31}, {"Dollar", 16}, {"Neg", -12}, {"Word", 7}, {"Missing", 7},
        {"MinusMin", 7}, {"HugeDec", 7}, {"HugeHex", 7}, {"OverMax", 7}, {"HexOverMax", 7},
        {"Max", INT_MAX}, {"Min", INT_MIN}, {"HexMin", INT_MIN}, {"LongOne", 1}, {"Plus", 5},
        {"TwoPrefixes", 7}, {"BarePrefix", 7}, {"Inner", 7},
    };
    for (const auto& [key, expected] : ints)
        EXPECT_EQ(ReadConfigInteger("base", key, 7), expected) << key;
}

TEST_F(IniStoreTest, MissingFileReadsEmptyAndFirstWriteCreatesIt)
{
    QStringList list{"stale=1"};
    ReadIniSection(tasks, "Time", list);
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(ReadIniString(tasks, "Time", "08:00:00", "d"), "d");
    EXPECT_FALSE(dir.exists("TimeMusicList.ini"));

    WriteIniString(tasks, "Time", "08:00:00", "1,0,3");
    EXPECT_EQ(dir.read("TimeMusicList.ini"), QByteArray("[Time]\r\n08:00:00=1,0,3\r\n"));
}

TEST_F(IniStoreTest, WritesReplaceInPlaceAppendAndKeepFirstSpelling)
{
    WriteConfigString("Base", "IsBackgroup", "1");
    WriteConfigString("Week", "Monday", "1");
    WriteConfigString("base", "isbackgroup", "0");   // replaces, keeps "Base" and "IsBackgroup"
    WriteConfigString("BASE", "Shotdown", "1");      // appended at the end of its section
    WriteConfigInteger("base", "EnCodeLib", 1);
    WriteConfigString("Holiday", "10-1", "10-7");   // new section at the end
    EXPECT_EQ(dir.readText("Config.ini"), "[Base]\r\nIsBackgroup=0\r\nShotdown=1\r\nEnCodeLib=1\r\n"
                                          "[Week]\r\nMonday=1\r\n[Holiday]\r\n10-1=10-7\r\n");
    QStringList section;
    ReadConfigSection("base", section);
    EXPECT_EQ(section, (QStringList{"IsBackgroup=0", "Shotdown=1", "EnCodeLib=1"}));
    QStringList keys;
    ReadIniKeys(dir.file("Config.ini"), "BASE", keys);
    EXPECT_EQ(keys, (QStringList{"IsBackgroup", "Shotdown", "EnCodeLib"}));

    DeleteConfigKey("base", "SHOTDOWN");
    EraseIniSection(dir.file("Config.ini"), "week");
    EXPECT_EQ(dir.readText("Config.ini"), "[Base]\r\nIsBackgroup=0\r\nEnCodeLib=1\r\n"
                                          "[Holiday]\r\n10-1=10-7\r\n");
}

TEST_F(IniStoreTest, TextIsGb18030)
{
    WriteIniString(tasks, "Music", "1", "/srv/音乐/铃声.mp3");
    const QByteArray bytes = dir.read("TimeMusicList.ini");
    EXPECT_TRUE(bytes.contains(QByteArray("\xD2\xF4\xC0\xD6"))) << "音乐 in GBK bytes";
    EXPECT_EQ(ReadIniString(tasks, "music", "1", ""), "/srv/音乐/铃声.mp3");
}

TEST_F(IniStoreTest, ChineseNamesDifferingInAByteThatLooksLikeALetterAreTwoNames)
{
    // GBK 0x8141 and 0x8161: their second bytes are "A" and "a", the characters are unrelated.
    QStringDecoder dec("GB18030");
    const QString upper = dec.decode(QByteArray("\x81\x41")), lower = dec.decode(QByteArray("\x81\x61"));
    WriteIniString(tasks, "UserList", "Li" + upper, "1");
    WriteIniString(tasks, "UserList", "LI" + lower, "2");
    WriteIniString(tasks, "UserList", "lI" + lower, "3"); // the same name as the second
    EXPECT_EQ(ReadIniString(tasks, "UserList", "li" + upper, ""), "1");
    QStringList section;
    ReadIniSection(tasks, "userlist", section);
    EXPECT_EQ(section, (QStringList{"Li" + upper + "=1", "LI" + lower + "=3"}));
}

TEST_F(IniStoreTest, LongValuesAndKeyListsAreCutAtThePlatformLimits)
{
    WriteIniString(tasks, "S", "long", QString(3000, 'a'));
    EXPECT_EQ(ReadIniString(tasks, "S", "long", "").size(), 2047);
    // A Chinese character is two bytes: never keep half of one.
    WriteIniString(tasks, "S", "cn", QString(1500, QChar(0x4E2D)));
    EXPECT_EQ(ReadIniString(tasks, "S", "cn", ""), QString(1023, QChar(0x4E2D)));

    QString text = "[Many]\n";
    for (int i = 0; i < 2000; ++i) // 2000 keys of 9 bytes + terminator: more than the buffer
        text += QString("key%1=v\n").arg(i, 6, 10, QChar('0'));
    dir.writeText("Many.ini", text);
    QStringList keys;
    ReadIniKeys(dir.file("Many.ini"), "Many", keys);
    EXPECT_EQ(keys.size(), 16383 / 10);
    EXPECT_EQ(ReadIniString(dir.file("Many.ini"), "Many", "key001999", ""), "v");
}

TEST_F(IniStoreTest, ForgedLinesAreRefusedSoNothingIsInjected)
{
    WriteIniString(tasks, "Time", "08:00:00", "1,0,3");
    WriteIniString(tasks, "Music", "1", "/srv/a.mp3");
    const QByteArray before = dir.read("TimeMusicList.ini");
    const QString bad[][3] = {
        {"Time", "09:00:00", "1,0,3\r\n[Music]\r\n1=/etc/passwd"},
        {"Time", "09:00:00\n10:00:00", "1"},
        {"Time]\n[Music", "1", "x"},
        {"Time]x", "1", "x"},
        {"Time", "[Music]", "x"}, // would read back as a header and hide [Music]
        {"Time", " [Music", "x"},
    };
    for (const auto& b : bad) {
        QString error;
        EXPECT_FALSE(TryWriteIniString(tasks, b[0], b[1], b[2], &error));
        EXPECT_FALSE(error.isEmpty());
        WriteIniString(tasks, b[0], b[1], b[2]);
    }
    EXPECT_EQ(dir.read("TimeMusicList.ini"), before);
    EXPECT_EQ(ReadIniString(tasks, "Music", "1", ""), "/srv/a.mp3");
}

TEST_F(IniStoreTest, ValueAccessTrimsNamesListsAndRemovalsDoNot)
{
    WriteIniString(tasks, "Time", "08:00:00", "1,0,3");
    EXPECT_EQ(ReadIniString(tasks, " Time ", " 08:00:00 ", "d"), "1,0,3");
    WriteIniString(tasks, " Time ", " 08:00:00 ", "1,0,4");
    WriteIniString(tasks, " Time ", " 09:00:00 ", "1,0,5");
    WriteIniString(tasks, " Music ", "1", "x");
    EXPECT_EQ(dir.read("TimeMusicList.ini"),
              QByteArray("[Time]\r\n08:00:00=1,0,4\r\n09:00:00=1,0,5\r\n[Music]\r\n1=x\r\n"));

    const QByteArray before = dir.read("TimeMusicList.ini");
    QStringList list{"stale"};
    ReadIniKeys(tasks, " Time ", list);
    EXPECT_TRUE(list.isEmpty());
    ReadIniSection(tasks, " Time", list);
    EXPECT_TRUE(list.isEmpty());
    DeleteIniKey(tasks, " Time ", "08:00:00");
    DeleteIniKey(tasks, "Time", " 08:00:00");
    EraseIniSection(tasks, "Music ");
    EXPECT_EQ(dir.read("TimeMusicList.ini"), before);
}

TEST_F(IniStoreTest, WriteRemovesOnlyTheFilesInterruptedSavesOfThatFileLeft)
{
    const QString removed[] = {"TimeMusicList.ini.aBcDeF", "TimeMusicList.ini.QWErTY"};
    const QString kept[] = {"TimeMusicList.ini.aBcDe", "TimeMusicList.ini.aBcDeFg",
                            "TimeMusicList.ini.backup", "TimeMusicList.ini.BACKUP",
                            "TimeMusicList.ini.Backup",
                            "TimeMusicList.ini.aBc123", "TimeMusicList.iniXaBcDeF",
                            "Config.ini.aBcDeF", "xTimeMusicList.ini.aBcDeF"};
    for (const QString& name : removed)
        dir.write(name, "[Time]\r\n");
    for (const QString& name : kept)
        dir.write(name, "[Time]\r\n");
    QDir(dir.path()).mkdir("TimeMusicList.ini.Folder");
    WriteIniString(tasks, "Time", "08:00:00", "1,0,3");
    for (const QString& name : removed)
        EXPECT_FALSE(dir.exists(name)) << name.toStdString();
    for (const QString& name : kept)
        EXPECT_TRUE(dir.exists(name)) << name.toStdString();
    EXPECT_TRUE(dir.exists("TimeMusicList.ini.Folder"));
}

TEST_F(IniStoreTest, FailedWritesChangeNothingAndRaiseNothing)
{
    WriteIniString(tasks, "Time", "08:00:00", "1,0,3");
    const QByteArray before = dir.read("TimeMusicList.ini");

    // A crash between writing the new content and replacing the file leaves the old file whole.
    SetIniSaveInterruptedForTesting(true);
    WriteIniString(tasks, "Time", "09:00:00", "1,0,4");
    EraseIniSection(tasks, "Time");
    SetIniSaveInterruptedForTesting(false);
    EXPECT_EQ(dir.read("TimeMusicList.ini"), before);

    EXPECT_FALSE(TryWriteIniString(dir.file("no/such/dir/x.ini"), "S", "k", "v"));
    WriteIniString(dir.file("no/such/dir/x.ini"), "S", "k", "v");
    EXPECT_FALSE(QFile::exists(dir.file("no/such/dir/x.ini")));
}

// Files read through the cache must read exactly as parsed afresh. Each is dated an hour back,
// so that the cache keeps it, and every probe is read twice: the second time from the cache.
TEST_F(IniStoreTest, CachedReadsEqualReadsThatParseTheFile)
{
    QStringDecoder dec("GB18030");
    const QByteArray cut = QByteArray(2046, 'a') + "\xD6\xD0"; // 中 across the 2047-byte limit
    const QByteArray files[] = {
        "[S]\r\nq=\"  a \"\r\ns='x'\r\nm=\"open\r\nqq=\"\"\r\nmixed=\"x'\r\n",
        " [ S ] \r\n  k  =  v  \r\n=nokey\r\n  =x\r\nnoeq\r\n\r\nk=second\r\n\t\vtab\f=\t v \v\r\n[Empty]\r\n",
        "[Sec]\r\nKey=1\r\n[SEC]\r\nkey=2\r\nKEY=3\r\n[sec]\r\nj=4\r\n",
        "[A]\nk=1\nK=2\n\n[a]\nk=3\nj=4", // LF only, no final line end
        "[S]\r\nlong=" + cut + "\r\nquoted=\"" + cut + "\"\r\nk=\xD6\xD0\xCE\xC4\r\n",
        "[S]\r\n\x81\x41=upper\r\n\x81\x61=lower\r\nLi\x81\x41=3\r\n",
        "k=before any section\r\n[S]]x\r\n[T\r\nk=in S\r\n[]\r\nk=nameless\r\n",
        "\r\n",
        "",
    };
    const QString sections[] = {"S", "s", " S ", "Sec", "SEC", "A", "a", "Empty", "T", "",
                                "S]x", "Nowhere"};
    const QStringList keys = {"q", "s", "m", "qq", "mixed", "k", "K", " k ", "tab", "noeq", "", "=",
                              "Key", "j", "long", "quoted", dec.decode("\x81\x41"),
                              dec.decode("\x81\x61"), "li" + dec.decode("\x81\x41"), "missing"};
    const QString file = dir.file("Tricky.ini");
    QDir(dir.path()).mkdir("Folder.ini"); // exists, cannot be read
    const QString paths[] = {file, dir.file("Missing.ini"), dir.file("Folder.ini")};
    for (const QByteArray& bytes : files) {
        dir.write("Tricky.ini", bytes);
        ASSERT_TRUE(dir.setModified("Tricky.ini", QDateTime::currentDateTime().addSecs(-3600)));
        for (const QString& path : paths) {
            SCOPED_TRACE((path + "\n" + QString::fromLatin1(bytes.left(60))).toStdString());
            auto readAll = [&] {
                QStringList out;
                for (const QString& section : sections) {
                    QStringList list;
                    ReadIniKeys(path, section, list);
                    out << "keys " + section + ": " + list.join('|');
                    ReadIniSection(path, section, list);
                    out << "section " + section + ": " + list.join('|');
                    ReadWholeIniSection(path, section, list);
                    out << "whole " + section + ": " + list.join('|');
                    for (const QString& key : keys)
                        out << section + "/" + key + "=" + ReadIniString(path, section, key, "\x01");
                }
                return out;
            };
            // The first read that differs, with what parsing afresh gives.
            auto difference = [](const QStringList& got, const QStringList& want) {
                for (qsizetype i = 0; i < qMax(got.size(), want.size()); ++i)
                    if (got.value(i) != want.value(i))
                        return got.value(i) + "  instead of  " + want.value(i);
                return QString();
            };
            SetIniCacheBypassedForTesting(true);
            const QStringList parsed = readAll();
            SetIniCacheBypassedForTesting(false);
            EXPECT_EQ(difference(readAll(), parsed), "");
            const int parses = IniFileParsesForTesting();
            EXPECT_EQ(difference(readAll(), parsed), "");
            EXPECT_EQ(IniFileParsesForTesting(), parses) << "the second round was not cached";
        }
    }
}

TEST_F(IniStoreTest, AReplacedOrRewrittenFileIsReadAgain)
{
    const QDateTime anHourAgo = QDateTime::currentDateTime().addSecs(-3600);
    auto prepare = [&](const QString& name, const QByteArray& value, const QDateTime& time) {
        dir.write(name, "[TimeParams]\r\n08:00:00=" + value + "\r\n");
        ASSERT_TRUE(dir.setModified(name, time));
    };
    auto read = [&] { return ReadIniString(tasks, "TimeParams", "08:00:00", ""); };
    prepare("TimeMusicList.ini", "1,1,1,0", anHourAgo);
    EXPECT_EQ(read(), "1,1,1,0");
    const int parses = IniFileParsesForTesting();
    EXPECT_EQ(read(), "1,1,1,0");
    ASSERT_EQ(IniFileParsesForTesting(), parses) << "an unchanged file is parsed once";

    // Rewritten in place, the same size, its time set to another in the past.
    prepare("TimeMusicList.ini", "2,1,1,0", anHourAgo.addSecs(-60));
    EXPECT_EQ(read(), "2,1,1,0");
    // Replaced by rename with a file of the same size and the same time.
    prepare("Prepared.ini", "3,1,1,0", anHourAgo.addSecs(-60));
    ASSERT_TRUE(QFile::remove(tasks) && QFile::rename(dir.file("Prepared.ini"), tasks));
    EXPECT_EQ(read(), "3,1,1,0");
    // Just written: a change within the file system's timestamp tick could not be seen, so
    // such a file is parsed at each read.
    prepare("TimeMusicList.ini", "4,1,1,0", QDateTime::currentDateTime());
    EXPECT_EQ(read(), "4,1,1,0");
    const int recent = IniFileParsesForTesting();
    EXPECT_EQ(read(), "4,1,1,0");
    EXPECT_EQ(IniFileParsesForTesting(), recent + 1);
}

TEST_F(IniStoreTest, AWriteThroughTheStoreIsReadAtOnce)
{
    dir.write("TimeMusicList.ini", "[Time]\r\n08:00:00=1,0,3\r\n09:00:00=1,0,4\r\n[Music]\r\n1=a\r\n");
    ASSERT_TRUE(dir.setModified("TimeMusicList.ini", QDateTime::currentDateTime().addSecs(-3600)));
    EXPECT_EQ(ReadIniString(tasks, "Time", "08:00:00", ""), "1,0,3");
    QStringList keys;
    ReadIniKeys(tasks, "Music", keys);
    EXPECT_EQ(keys, QStringList{"1"});

    WriteIniString(tasks, "Time", "08:00:00", "0,0,3");
    EXPECT_EQ(ReadIniString(tasks, "Time", "08:00:00", ""), "0,0,3");
    DeleteIniKey(tasks, "Time", "09:00:00");
    EXPECT_EQ(ReadIniString(tasks, "Time", "09:00:00", "gone"), "gone");
    EraseIniSection(tasks, "Music");
    ReadIniKeys(tasks, "Music", keys);
    EXPECT_TRUE(keys.isEmpty());
}

} // namespace
