#pragma once
// The zones a task rings in: kept beside the task in [TaskZones] of the task file, one line
// per task that does not ring in every zone, keyed as its TimeParams line, holding the zone
// names separated by ",". A task without a line rings in every zone; an empty value rings on
// this computer only. An older reader ignores the section.
#include <QString>
#include <QStringList>

inline const QString TaskZonesSection = QStringLiteral("TaskZones");

struct TaskZones {
    bool all = true;
    QStringList names; // when not all; empty: no zone

    bool operator==(const TaskZones&) const = default;
    bool includes(const QString& zone) const { return all || names.contains(zone); }
    // Every zone has no line in the file.
    bool isDefault() const { return all; }
};

// "教学楼,实验楼".
QString FormatTaskZones(const TaskZones& zones);
// A stored value: the names, blanks around each dropped, empty names and repeats left out.
TaskZones ReadTaskZones(const QString& value);
