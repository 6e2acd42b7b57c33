#pragma once
// Finding the line of a name in a long name=value list without a walk through the list.
#include <QHash>
#include <QStringList>

#include <vector>

// The line IndexOfName finds (the first whose name equals name, ignoring case as it does),
// from an index over the list. The index is built again only when the list has changed; a
// list that shares its data with the indexed copy compares equal at once.
class NameLines {
public:
    qsizetype indexOf(const QStringList& lines, const QString& name);

private:
    void rebuild(const QStringList& lines);

    QStringList m_lines;
    // Lines by a hash that names equal without regard to case share; next chains the lines of
    // one hash in list order.
    QHash<size_t, qsizetype> m_first;
    std::vector<qsizetype> m_next;
    bool m_built = false;
};
