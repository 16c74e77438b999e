#include "mapedit/ProgramMaps.h"

#include "mapedit/MapModel.h"

#include <cstring>

namespace {

using namespace AxisRanges;

constexpr uint32_t ADVANCE_COLOR = 0xFCE2F4;
constexpr uint32_t SENSOR_COLOR = 0xA0E0C0;
constexpr uint32_t SERVO_COLOR = 0xCEDBFF;
const char* const VOLTAGE = "###Voltage##Spannung##Napětí";

const MapAxisDef OffX = { "", "", 0, 1, 1.0, nullptr, 0, 0, 0, 2, 2, 1, -1, SENSOR_COLOR };
const MapAxisDef SensorVolts = { "U", "V", 0, 5000, 0.001, Volts, 1, 1, 0, 1, 0, 0, -1, SENSOR_COLOR };

const ProgramMapDef Maps[] = {
    { MapKind::Advance, 0, 0x71, "###Advance##Vorzündung##Předstih", "RPM", "TP", "###Advance##Vorzündung##Předstih",
        10, 10, 0x701, 15, 10, 256, 0, 0, 0, 0, nullptr,
        { "RPM", "", 3, 250, 100, RpmMap, 1, 1, 1, 10, 0, 0, -1, ADVANCE_COLOR },
        { "TP", "%", 0, 100, 1, SensorLoad, 0, 1, 0, 10, 1, 0, -2, ADVANCE_COLOR },
        { "ADV", "°", -30, 60, 1, Degrees, 1, 1, 0, 1, 0, 0, -1, ADVANCE_COLOR } },
    { MapKind::TpSensor, 41, 0x130, "TP sensor", "", "TP", VOLTAGE, 2, 2, 0x7A2, 2, 2, 0, 9, 9, 0, 1, nullptr, OffX,
        { "TP", "%", 0, 100, 1, SensorLoad, 0, 1, 0, 2, 0, 0, -1, SENSOR_COLOR }, SensorVolts },
    { MapKind::IapSensor, 42, 0x130, "###IAP sensor##IAP sensor##Snímač IAP", "", "###Pressure##Druck##Tlak", VOLTAGE,
        2, 2, 0x7A2, 2, 2, 0, 9, 9, 0, 1, nullptr, OffX,
        { "P", "kPa", 0, 999, 1, SensorLoad, 1, 1, 0, 2, 0, 0, -1, SENSOR_COLOR }, SensorVolts },
    { MapKind::Lambda, 44, 0x130, "Lambda sensor", "", "AFR", "Voltage", 1, 6, 0x3, 2, 6, 0, 9, 9, 0, 1, nullptr,
        { "", "", 0, 20000, 1, nullptr, 0, 0, 0, 1, 2, 1, -1, 0xFCF2E4 },
        { "AFR", "", 0, 250, 0.1, SensorLoad, 1, 1, 0, 6, 0, 0, -1, 0xECD2F4 },
        { "U", "V", 0, 5000, 0.001, Volts, 1, 1, 0, 1, 0, 0, -1, 0xECD2F4 } },
    { MapKind::PowerOutA, 25, 0x2030, "", "RPM", "TP", "Pout1", 3, 2, 0x1, 4, 3, 0, 0, 0, 0, 0, nullptr,
        { "RPM", "", 3, 250, 100, RpmPowerA, 1, 1, 0, 3, 0, 0, -1, ADVANCE_COLOR },
        { "TP", "%", 0, 100, 1, ThrottlePowerA, 1, 1, 0, 2, 1, 0, -1, ADVANCE_COLOR },
        { "PO", "", 0, 2, 1, Degrees, 0, 1, 0, 1, 0, 0, -1, ADVANCE_COLOR } },
    { MapKind::PowerOutB, 33, 0x0030, "", "RPM", "TP", "Pout1", 6, 4, 0x1, 6, 4, 0, 0, 8, 8, 1, "%",
        { "RPM", "", 3, 250, 100, RpmMap, 1, 1, 0, 6, 0, 0, -1, ADVANCE_COLOR },
        { "TP", "%", 0, 100, 1, SensorLoad, 1, 1, 0, 4, 1, 0, -1, ADVANCE_COLOR },
        { "PO", "", 0, 100, 1, Degrees, 1, 1, 0, 1, 0, 0, -1, ADVANCE_COLOR } },
    { MapKind::Servo, 1, 0x71, "Servo", "RPM", "TP", "STPS[V]", 10, 10, 0x609, 15, 10, 0, 0, 0, 0, 0, nullptr,
        { "RPM", "", 3, 250, 100, RpmMap, 1, 1, 1, 15, 1, 0, -1, SERVO_COLOR },
        { "TP", "%", 0, 100, 1, SensorLoad, 0, 0, 0, 10, 1, 0, -2, SERVO_COLOR },
        { "U", "V", 0, 250, 0.02, Volts, 1, 1, 0, 1, 0, 0, -1, SERVO_COLOR } },
};

void Define(MapModel& tab, int sheet, int which, const MapAxisDef& a, int group)
{
    tab.DefineAxis(sheet, which, a.name, a.unit, a.minValue, a.maxValue, a.scale, 1, a.ranges, a.editable,
        a.proportional, 1, a.count, a.offMode, a.off, a.resizable, a.offPosition, group, a.color);
}

} // namespace

ProgramMapDef ProgramMap(MapKind kind, int output)
{
    for (const ProgramMapDef& map : Maps)
        if (map.kind == kind) {
            ProgramMapDef def = map;
            if (kind == MapKind::PowerOutA || kind == MapKind::PowerOutB)
                def.ownerId += (output >= 1 && output <= 4 ? output : 1) - 1;
            return def;
        }
    return Maps[0];
}

int DefineProgramMap(MapModel& tab, MapKind kind, int output, const char* label)
{
    const ProgramMapDef def = ProgramMap(kind, output);
    tab.SetOwnerId(def.ownerId);
    tab.SetOptions(def.options);
    tab.SetVisibleColumns(def.visibleColumns);
    tab.SetVisibleRows(def.visibleRows);
    const int sheet = tab.AddSheet(
        label ? label : def.label, def.labelX, def.labelY, def.labelData, def.maxX, def.maxY, def.sheetFlags);
    if (sheet < 0)
        return -1;
    Define(tab, sheet, AXIS_X, def.x, def.group);
    Define(tab, sheet, AXIS_Y, def.y, def.group);
    Define(tab, sheet, AXIS_DATA, def.data, def.group);
    MapSheet& s = tab.SheetAt(static_cast<size_t>(sheet));
    if (def.fontSize)
        s.fontSize = def.fontSize;
    if (def.headerFontSize)
        s.headerFontSize = def.headerFontSize;
    if (def.axisFontSize)
        s.axisX.axisFontSize = s.axisY.axisFontSize = s.axisData.axisFontSize = def.axisFontSize;
    s.axisData.showUnit = def.dataShowUnit;
    if (def.dataUnit) {
        std::strncpy(s.axisData.unit, def.dataUnit, sizeof s.axisData.unit - 1);
    }
    tab.NormalizeSheet(sheet, AXIS_ALL | NORMALIZE_RESTART);
    tab.SelectSheet(0);
    return sheet;
}
