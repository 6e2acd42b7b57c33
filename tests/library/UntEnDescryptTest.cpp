#include "library/UntEnDescrypt.h"
#include "platform/Errors.h"
#include "storage/IniStore.h"
#include "support/TempDir.h"

#include <QCryptographicHash>
#include <QStringDecoder>
#include <gtest/gtest.h>

namespace {

// Stored texts computed with OpenSSL, independently of this code:
//   key = first 8 bytes of SHA-1("k7rwq2zmx9tpa") = 510dbeb024fcbeaf
//   iv  = DES-ECB(key, 8 zero bytes)             = 3d431bc9ce7eb4f8
//   openssl enc -des-cfb8 -K 510dbeb024fcbeaf -iv 3d431bc9ce7eb4f8 -nosalt -a -A
//     -provider legacy -provider default  (Chinese text fed through iconv -t GB18030)
struct Vector {
    const char* name;
    QString plain;
    QString stored;
};

const QString kChinesePath = QString::fromUtf8("/srv/音乐/周杰伦 - 晴天.mp3");

QString longValue()
{
    QString s;
    for (int i = 0; i < 1534; ++i)
        s += QChar('a' + i % 26);
    return s;
}

const Vector kVectors[] = {
    {"empty", QString(), QString()},
    {"one byte", "a", "LQ=="},
    {"two bytes", "ab", "LQY="},
    {"three bytes", "abc", "LQZr"},
    {"eight bytes", "abcdefgh", "LQZruGjsvJQ="},
    {"shared prefix", "abcdXYZ", "LQZruFWD5g=="},
    {"Chinese path", kChinesePath, "Yw0MO7u+FK0kU+AZbIK6+t12sGZJ6u152lMC"},
};

TEST(TEnDescrypt, EnciphersAndDeciphersPublishedVectors)
{
    TEnDescrypt cipher(QStringLiteral("unused.ini"));
    for (const Vector& v : kVectors) {
        SCOPED_TRACE(v.name);
        // One object for all values: every value must start from the IV again.
        EXPECT_EQ(cipher.Encipher(v.plain), v.stored);
        EXPECT_EQ(cipher.Decipher(v.stored), v.plain);
    }
}

TEST(TEnDescrypt, LongValueMatchesReference)
{
    TEnDescrypt cipher(QStringLiteral("unused.ini"));
    const QString stored = cipher.Encipher(longValue());
    ASSERT_EQ(stored.size(), 2048);
    EXPECT_TRUE(stored.startsWith("LQZruGjsvJR1MbwDjEx4to01dkB3oF7BXz1pK251"));
    EXPECT_TRUE(stored.endsWith("NvbYlgvHLA=="));
    EXPECT_EQ(QCryptographicHash::hash(stored.toLatin1(), QCryptographicHash::Sha1).toHex(),
              "6d325ebeffe9ad034f914805548350f617dda8b0");
    EXPECT_EQ(cipher.Decipher(stored), longValue());
}

TEST(TEnDescrypt, EqualPrefixesGiveEqualCiphertextPrefixes)
{
    TEnDescrypt cipher(QStringLiteral("unused.ini"));
    const QByteArray a = QByteArray::fromBase64(cipher.Encipher("/srv/Music/one.mp3").toLatin1());
    const QByteArray b = QByteArray::fromBase64(cipher.Encipher("/srv/Music/two.mp3").toLatin1());
    const qsizetype shared = QByteArray("/srv/Music/").size();
    EXPECT_EQ(a.left(shared), b.left(shared));
    EXPECT_NE(a.mid(shared), b.mid(shared));
}

TEST(TEnDescrypt, DecodingToleratesForeignText)
{
    TEnDescrypt cipher(QStringLiteral("unused.ini"));
    struct Case {
        const char* name;
        QString stored;
        QString plain;
    } cases[] = {
        // A trailing partial group is dropped, whatever it holds.
        {"partial group of one", "LQZrL", "abc"},
        {"partial group of three", "LQZrLQY", "abc"},
        // Line breaks and stray characters (a hand-edited file) are skipped.
        {"stray characters", "LQ\r\nZ r", "abc"},
        // Bits after the padding are ignored rather than refused.
        {"non-canonical padding", "LR==", "a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(cipher.Decipher(c.stored), c.plain);
    }
    // A plain value where an enciphered one is expected reads as some value, not an error.
    EXPECT_NO_THROW(cipher.Decipher(kChinesePath));
    EXPECT_NE(cipher.Decipher("/srv/Music/a.mp3"), "/srv/Music/a.mp3");
}

TEST(EncryptedString, RoundTripsThroughFile)
{
    TempAppDir dir;
    const QString file = dir.file("user.dat");
    const QString values[] = {"abc", kChinesePath, "p@ss word=1;[x]"};
    for (const QString& v : values) {
        SCOPED_TRACE(v.toStdString());
        WriteEncryptedString(file, "Base", "libp", v);
        EXPECT_EQ(ReadEncryptedString(file, "Base", "libp", "none"), v);
    }
    // Stored as printable ASCII, the same under any key name.
    WriteEncryptedString(file, "User", "other", kChinesePath);
    EXPECT_EQ(ReadIniString(file, "User", "other", QString()),
              "Yw0MO7u+FK0kU+AZbIK6+t12sGZJ6u152lMC");
}

TEST(EncryptedString, EmptyOrMissingGivesDefault)
{
    TempAppDir dir;
    const QString file = dir.file("Config.ini");
    EXPECT_EQ(ReadEncryptedString(file, "Base", "libp", "dflt"), "dflt"); // no file yet
    WriteEncryptedString(file, "Base", "libp", QString());
    EXPECT_EQ(ReadIniString(file, "Base", "libp", "absent"), QString());
    EXPECT_EQ(ReadEncryptedString(file, "Base", "libp", "dflt"), "dflt");
    EXPECT_EQ(ReadEncryptedString(file, "Base", "missing", QString()), QString());
}

TEST(EncryptedString, RefusedWriteRaises)
{
    TempAppDir dir;
    const QString file = dir.file("no/such/dir/Config.ini");
    EXPECT_THROW(WriteEncryptedString(file, "Base", "libp", "secret"), FileError);
}

} // namespace
