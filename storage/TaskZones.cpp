#include "storage/TaskZones.h"

QString FormatTaskZones(const TaskZones& zones)
{
    return zones.all ? QString() : zones.names.join(u',');
}

TaskZones ReadTaskZones(const QString& value)
{
    TaskZones zones;
    zones.all = false;
    for (const QString& part : value.split(u',')) {
        const QString name = part.trimmed();
        if (!name.isEmpty() && !zones.names.contains(name))
            zones.names << name;
    }
    return zones;
}
