#include "mapedit/NearestAxisEntry.h"

#include "mapedit/MapSheet.h"

int NearestAxisEntry(const MapAxis& axis, double raw, bool baseZone)
{
    if (raw < axis.values[0])
        return baseZone ? MapSheet::OP_BASE_ZONE : 0;
    for (int i = 0; i + 1 < axis.count; ++i)
        if ((axis.values[i] + static_cast<double>(axis.values[i + 1])) / 2.0 > raw)
            return i;
    return axis.count - 1;
}
