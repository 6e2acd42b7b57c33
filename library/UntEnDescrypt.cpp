#include "library/UntEnDescrypt.h"

#include "platform/Errors.h"
#include "storage/IniStore.h"

#include <QCoreApplication>
#include <QStringDecoder>
#include <QStringEncoder>

#include <nettle/base64.h>
#include <nettle/cfb.h>
#include <nettle/sha1.h>

#include <cstring>

namespace {

constexpr char kPassphrase[] = "k7rwq2zmx9tpa";

// Nettle's mode functions take the block cipher with an untyped context.
void desEncrypt(const void* ctx, size_t length, uint8_t* dst, const uint8_t* src)
{
    des_encrypt(static_cast<const des_ctx*>(ctx), length, dst, src);
}

bool isBase64Char(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+'
        || c == '/';
}

// Values are stored in the Chinese ANSI code page; GB18030 reads every GBK text the same.
QByteArray toAnsi(const QString& text)
{
    QStringEncoder encoder("GB18030");
    if (!encoder.isValid())
        throw ConversionError(QCoreApplication::translate("TEnDescrypt", "系统缺少 GB18030 文本编码"));
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError())
        // No value text in the message: it may be a password.
        throw ConversionError(
            QCoreApplication::translate("TEnDescrypt", "该值含有无法以 GB18030 保存的字符"));
    return bytes;
}

QString fromAnsi(const QByteArray& bytes)
{
    QStringDecoder decoder("GB18030");
    if (!decoder.isValid())
        throw ConversionError(QCoreApplication::translate("TEnDescrypt", "系统缺少 GB18030 文本编码"));
    // Undecodable bytes become replacement characters: a foreign text is just a wrong value.
    return decoder.decode(bytes);
}

// Four-character groups; a trailing partial group is ignored. A group with "=" third gives one
// byte, with "=" fourth two, any other three. Characters outside the alphabet are skipped, so a
// plain or hand-edited text deciphers to a meaningless value instead of failing.
QByteArray decodeBase64(const QString& text)
{
    QByteArray chars;
    chars.reserve(text.size());
    for (QChar qc : text) {
        const char c = qc.toLatin1();
        if (qc.unicode() < 0x80 && (isBase64Char(c) || c == '='))
            chars.append(c);
    }
    chars.truncate(chars.size() - chars.size() % 4);

    // Nettle refuses misplaced padding and stray bits after it; decoding each group with "="
    // read as zero and then keeping the counted bytes gives the rule above for any group.
    QByteArray canonical = chars;
    canonical.replace('=', 'A');
    QByteArray raw(BASE64_DECODE_LENGTH(canonical.size()), '\0');
    base64_decode_ctx ctx;
    base64_decode_init(&ctx);
    size_t rawLength = raw.size();
    if (!base64_decode_update(&ctx, &rawLength, reinterpret_cast<uint8_t*>(raw.data()),
                              canonical.size(), canonical.constData())
        || !base64_decode_final(&ctx))
        throw ConversionError(QCoreApplication::translate("TEnDescrypt", "保存的加密值无法解密"));

    QByteArray out;
    out.reserve(rawLength);
    for (qsizetype group = 0; group < chars.size() / 4; ++group) {
        const char* g = chars.constData() + group * 4;
        const int count = g[2] == '=' ? 1 : g[3] == '=' ? 2 : 3;
        out.append(raw.constData() + group * 3, count);
    }
    return out;
}

} // namespace

TEnDescrypt::TEnDescrypt(const QString& FileName) : m_fileName(FileName)
{
    uint8_t digest[SHA1_DIGEST_SIZE];
    sha1_ctx sha;
    sha1_init(&sha);
    sha1_update(&sha, sizeof(kPassphrase) - 1, reinterpret_cast<const uint8_t*>(kPassphrase));
    sha1_digest(&sha, sizeof(digest), digest);
    // The result only flags weak keys; the schedule is built regardless and parity bits are
    // ignored, which is what the stored files were written with.
    (void)des_set_key(&m_des, digest);
    std::memset(digest, 0xFF, sizeof(digest));

    const uint8_t zeros[DES_BLOCK_SIZE] = {};
    des_encrypt(&m_des, DES_BLOCK_SIZE, m_iv, zeros);
    Reset();
}

TEnDescrypt::~TEnDescrypt()
{
    std::memset(&m_des, 0, sizeof(m_des));
    std::memset(m_iv, 0, sizeof(m_iv));
    std::memset(m_register, 0, sizeof(m_register));
}

void TEnDescrypt::Reset()
{
    std::memcpy(m_register, m_iv, sizeof(m_register));
}

QString TEnDescrypt::Encipher(const QString& Value)
{
    Reset();
    QByteArray data = toAnsi(Value);
    if (data.isEmpty())
        return QString();
    auto* bytes = reinterpret_cast<uint8_t*>(data.data());
    cfb8_encrypt(&m_des, desEncrypt, DES_BLOCK_SIZE, m_register, data.size(), bytes, bytes);
    QByteArray text(BASE64_ENCODE_RAW_LENGTH(data.size()), '\0');
    base64_encode_raw(text.data(), data.size(), bytes);
    return QString::fromLatin1(text);
}

QString TEnDescrypt::Decipher(const QString& Stored)
{
    Reset();
    QByteArray data = decodeBase64(Stored);
    if (data.isEmpty())
        return QString();
    auto* bytes = reinterpret_cast<uint8_t*>(data.data());
    cfb8_decrypt(&m_des, desEncrypt, DES_BLOCK_SIZE, m_register, data.size(), bytes, bytes);
    return fromAnsi(data);
}

void TEnDescrypt::ReadValue(const QString& Section, const QString& Key, QString& Value,
                            const QString& Default)
{
    const QString stored = ReadIniString(m_fileName, Section, Key, QString());
    Value = stored.isEmpty() ? Default : Decipher(stored);
}

void TEnDescrypt::WriteValue(const QString& Section, const QString& Key, const QString& Value)
{
    WriteIniStringChecked(m_fileName, Section, Key, Encipher(Value));
}

QString ReadEncryptedString(const QString& File, const QString& Section, const QString& Key,
                            const QString& Default)
{
    TEnDescrypt cipher(File);
    QString value;
    cipher.ReadValue(Section, Key, value, Default);
    return value;
}

void WriteEncryptedString(const QString& File, const QString& Section, const QString& Key,
                          const QString& Value)
{
    TEnDescrypt cipher(File);
    cipher.WriteValue(Section, Key, Value);
}
