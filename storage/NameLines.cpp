#include "storage/NameLines.h"

namespace {

// Equal for any two names that compare equal without regard to case: each unit folded alone,
// and the second unit of a surrogate pair, whose fold depends on the pair, left out.
size_t caseBlindHash(QStringView name)
{
    size_t h = 0;
    bool afterHigh = false;
    for (const QChar c : name) {
        const bool low = afterHigh && c.isLowSurrogate();
        afterHigh = c.isHighSurrogate();
        if (!low)
            h = h * 31 + QChar::toCaseFolded(char32_t(c.unicode()));
    }
    return qHash(h);
}

QStringView nameOf(const QString& line)
{
    const qsizetype eq = line.indexOf(u'=');
    return eq < 0 ? QStringView(line) : QStringView(line).left(eq);
}

} // namespace

void NameLines::rebuild(const QStringList& lines)
{
    m_first.clear();
    m_first.reserve(lines.size());
    m_next.assign(std::size_t(lines.size()), -1);
    QHash<size_t, qsizetype> last;
    last.reserve(lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const size_t h = caseBlindHash(nameOf(lines[i]));
        const auto it = last.find(h);
        if (it == last.end()) {
            m_first.insert(h, i);
            last.insert(h, i);
        } else {
            m_next[std::size_t(*it)] = i;
            *it = i;
        }
    }
    m_lines = lines;
    m_built = true;
}

qsizetype NameLines::indexOf(const QStringList& lines, const QString& name)
{
    if (!m_built || m_lines != lines)
        rebuild(lines);
    else
        m_lines = lines; // equal content in other storage: share it, so the next check is immediate
    const auto it = m_first.constFind(caseBlindHash(name));
    for (qsizetype i = it == m_first.cend() ? -1 : *it; i >= 0; i = m_next[std::size_t(i)])
        if (nameOf(lines[i]).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}
