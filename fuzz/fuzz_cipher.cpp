// The value cipher: any stored text deciphers without failing (a text it cannot decode raises
// ConversionError, which the caller reports), and every value enciphers to Base64 that
// deciphers to the value again.
#include "fuzz/FuzzCheck.h"
#include "library/UntEnDescrypt.h"
#include "platform/Errors.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The cipher touches no file unless asked to read or write a value.
    static TEnDescrypt cipher(QStringLiteral("/nonexistent/fuzz.ini"));
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const QString& stored : {QString::fromLatin1(bytes), QString::fromUtf8(bytes)}) {
        try {
            cipher.Decipher(stored);
        } catch (const ConversionError&) {
        }
    }

    const QString value = QString::fromUtf8(bytes);
    const QString stored = cipher.Encipher(value);
    for (QChar c : stored)
        FUZZ_CHECK((c.isLetterOrNumber() && c.unicode() < 128) || c == u'+' || c == u'/' || c == u'=', stored);
    const QString back = cipher.Decipher(stored);
    FUZZ_CHECK(back == value, value + " came back as " + back);
    FUZZ_CHECK(TEnDescrypt(QString()).Encipher(value) == stored, value);
    return 0;
}
