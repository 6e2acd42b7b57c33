#include "storage/TextSplit.h"

namespace {

constexpr QChar kDelimiter = u',';
constexpr QChar kQuote = u'"';

// A NUL ends the text, as it always did for these values.
bool isBlank(QChar c)
{
    return c.unicode() >= 1 && c.unicode() <= 32;
}

} // namespace

QStringList SplitDelimitedText(const QString& text)
{
    QStringList fields;
    const qsizetype n = text.indexOf(QChar(u'\0')) >= 0 ? text.indexOf(QChar(u'\0')) : text.size();
    qsizetype i = 0;
    auto skipBlanks = [&] {
        while (i < n && isBlank(text[i]))
            ++i;
    };

    skipBlanks();
    while (i < n) {
        QString field;
        if (text[i] == kQuote) {
            ++i;
            while (i < n) {
                if (text[i] == kQuote) {
                    if (i + 1 < n && text[i + 1] == kQuote) {
                        field += kQuote;
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += text[i++];
            }
        } else {
            const qsizetype start = i;
            while (i < n && text[i].unicode() > 32 && text[i] != kDelimiter)
                ++i;
            field = text.mid(start, i - start);
        }
        fields << field;
        skipBlanks();
        if (i < n && text[i] == kDelimiter) {
            if (i + 1 == n)
                fields << QString();
            ++i;
            skipBlanks();
        }
    }
    return fields;
}
