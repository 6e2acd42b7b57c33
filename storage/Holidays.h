#pragma once
// The holiday ranges of Config.ini's [Holiday] section as a value: each "M-D=M-D" line read
// once, taken in whatever year the day asked about lies in.
#include <QDate>
#include <QStringList>

#include <vector>

class Holidays {
public:
    // A range covers its first and last day whole. A day past its month's end (4-31, 2-29 in a
    // common year) counts as the month's last day; a range ending before it begins covers
    // nothing. A line that is no range (month not 1 to 12, day not 1 to 31, no month-day at
    // all) is kept in the lines, covers nothing, and has a message.
    static Holidays Decode(const QStringList& lines);

    // The lines as stored, in file order.
    const QStringList& HolidayList() const { return m_lines; }
    bool contains(const QDate& day) const;
    // One message per line that is no range, naming Config.ini, [Holiday] and the line.
    const QStringList& messages() const { return m_messages; }

private:
    struct Range {
        int beginMonth = 0, beginDay = 0, endMonth = 0, endDay = 0;
    };
    QStringList m_lines;
    std::vector<Range> m_ranges;
    QStringList m_messages;
};
