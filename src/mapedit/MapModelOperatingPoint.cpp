#include "mapedit/MapModel.h"
#include "mapedit/NearestAxisEntry.h"

#include <cstring>

namespace {

// monitorStatus bits: the unit runs on its second advance map; map 1 (map 2) takes manifold
// pressure as its load.
constexpr int MON_SECOND_MAP = 0x1;
constexpr int MON_MAP1_PRESSURE_LOAD = 0x10;
constexpr int MON_MAP2_PRESSURE_LOAD = 0x20;

// The live value of an axis in its raw units, by the quantity the axis names.
bool LiveValue(const MapModel& tab, const MapAxis& axis, double& raw)
{
    if (std::strcmp(axis.name, "RPM") == 0)
        raw = tab.EngineRpm() / axis.scale;
    else if (std::strcmp(axis.name, "TP") == 0)
        raw = tab.Throttle() / axis.scale;
    else if (std::strcmp(axis.name, "IAP") == 0)
        raw = tab.Pressure() / axis.scale;
    else
        return false;
    return true;
}

// The unit reports which of its two advance maps it runs on and which load input each one uses.
int AdvanceMapState(const MapSheet& s, int index, int monitorStatus)
{
    int state = (monitorStatus & MON_SECOND_MAP) == index ? MapSheet::OP_ACTIVE : MapSheet::OP_OTHER_MAP;
    const int pressureLoad = index == 0 ? MON_MAP1_PRESSURE_LOAD : MON_MAP2_PRESSURE_LOAD;
    if (!s.axisY.off && std::strcmp(s.axisY.name, "TP") == 0 && (monitorStatus & pressureLoad))
        state = MapSheet::OP_OTHER_LOAD;
    if (!s.axisY.off && std::strcmp(s.axisY.name, "IAP") == 0 && !(monitorStatus & pressureLoad))
        state = MapSheet::OP_OTHER_LOAD;
    return state;
}

} // namespace

void MapModel::LocateOperatingPoint()
{
    if (sheetCount_ == 0)
        return;
    for (int index = 0; index < sheetCount_; ++index) {
        MapSheet& s = SheetAt(index);
        if (!(s.flags & SF_OPERATING_POINT))
            continue;
        int state = MapSheet::OP_ACTIVE;
        int position[2] = { NO_ELEMENT, NO_ELEMENT };
        for (int k = 0; k < 2; ++k) {
            const MapAxis& a = k == 0 ? s.axisX : s.axisY;
            if (a.off) {
                position[k] = a.offIndex;
                continue;
            }
            double live;
            if (!LiveValue(*this, a, live)) {
                state = MapSheet::OP_NONE;
                continue;
            }
            const bool baseZone = k == 0 && (s.flags & SF_BASE_ADVANCE) && std::strcmp(a.name, "RPM") == 0;
            position[k] = NearestAxisEntry(a, live, baseZone);
        }
        // A stopped engine has no operating point on an engine-speed map.
        if (std::strcmp(s.axisX.name, "RPM") == 0 && engineRpm_ == 0)
            state = MapSheet::OP_NONE;
        if (state != MapSheet::OP_NONE && std::strcmp(s.axisData.name, "ADV") == 0)
            state = AdvanceMapState(s, index, monitorStatus_);
        if (position[0] == s.opColumn && position[1] == s.opRow && state == s.opState)
            continue;
        s.opColumn = position[0];
        s.opRow = position[1];
        s.opState = state;
        if (index == activeSheet_ && autoscroll_ && *autoscroll_ && state != MapSheet::OP_NONE)
            ScrollTo(s.opColumn, s.opRow);
        RequestRepaint(REPAINT_LIVE);
    }
}
