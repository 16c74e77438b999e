#include "model/MapFacts.h"

#include "lang/LangString.h"
#include "model/FieldFacts.h"
#include "model/SettingNames.h"

#include <algorithm>
#include <cstdio>

namespace {

// The rows are data, laid out by hand.
// clang-format off
constexpr MapFact MAPS[] = {
    {.id = MapId::Advance, .name = "###Advance map##Vorzündungskarte##Mapa předstihu", .cells = &Fact("ADVANCE"),
        .rows = MAP_DIM, .columns = MAP_DIM, .speedPoints = &Fact("RPM_ADV"), .loadPoints = &Fact("ADV_IAP"),
        .kindAddress = ADV_MAPA, .kind = MapKindByte::CurveOrGrid, .curveRow = MAP_DIM - 1},
    {.id = MapId::Servo, .name = "###Servo map##Servo-Kennfeld##Mapa serva", .cells = &Fact("SERVO_MV"),
        .rows = MAP_DIM, .columns = MAP_DIM, .speedPoints = &Fact("SERVO_RPM"), .loadPoints = &Fact("SERVO_IAP"),
        .kindAddress = SERVO_MAPA, .kind = MapKindByte::SpeedLoadOrGrid, .curveRow = MAP_DIM - 1},
    {.id = MapId::PowerOut1, .name = POWER_OUT_NAME, .number = 1, .layout = MapLayout::Switching,
        .cells = &Fact("POWER_OUT1_CELLS"), .rows = 3, .columns = POUT_COLUMNS, .speedPoints = &Fact("POWER_OUT1_RPM"),
        .loadPoints = &Fact("POWER_OUT1_TP")},
    {.id = MapId::PowerOut2, .name = POWER_OUT_NAME, .number = 2, .layout = MapLayout::Switching,
        .cells = &Fact("POWER_OUT2_CELLS"), .rows = 3, .columns = POUT_COLUMNS, .speedPoints = &Fact("POWER_OUT2_RPM"),
        .loadPoints = &Fact("POWER_OUT2_TP")},
};
// clang-format on

// The throttle points of the load rows with a TP sensor, in percent.
constexpr int TP_LOAD_POINTS[MAP_DIM] = { 0, 2, 5, 10, 20, 30, 40, 60, 80, 100 };
constexpr int TP_SENSOR = 1;
constexpr int IAP_SENSOR_KIND = 2;

int LoadSensor(const ParamImage& img) { return img.Adrb(TPSIAP_SENSOR); }
bool HasLoadSensor(const ParamImage& img) { return LoadSensor(img) == TP_SENSOR || LoadSensor(img) == IAP_SENSOR_KIND; }

// The kind of a grid as its editor keeps it: 0 a curve over speed, 1 a curve over load, 2 the grid.
int GridKind(const MapFact& m, const ParamImage& img)
{
    constexpr int SPEED_CURVE = 0, GRID = 2;
    const int kind = m.kindAddress < 0 ? GRID : img.Adrb(m.kindAddress);
    switch (m.kind) {
    case MapKindByte::None:
        return GRID;
    case MapKindByte::CurveOrGrid:
        return HasLoadSensor(img) && kind == 1 ? GRID : SPEED_CURVE;
    case MapKindByte::SpeedLoadOrGrid:
        return HasLoadSensor(img) ? std::min(kind, GRID) : SPEED_CURVE;
    }
    return GRID;
}

std::string PointText(const FieldFact& points, const ParamImage& img, int point)
{
    return SettingNames::NumberText(points.UserValue(img, point), points.UnitIn(img, point));
}

// Region k of the regions between count points: "< p0", "p0..p1", ..., "> p(count-1)".
std::string RegionText(const FieldFact& points, const ParamImage& img, int region)
{
    const std::string unit = points.UnitIn(img);
    const auto value = [&](int k) { return std::to_string(points.UserValue(img, k)); };
    const std::string text = region == 0 ? "< " + value(0)
        : region >= points.count         ? "> " + value(points.count - 1)
                                         : value(region - 1) + ".." + value(region);
    return text + " " + unit;
}

std::string OnOffText(int bit, int language)
{
    for (const CodedItem& item : OnOffList())
        if (item.code == bit)
            return LangText(item.text, language);
    return std::to_string(bit);
}

std::string LoadName(const FieldFact& points, const ParamImage& img) { return points.Switched(img) ? "IAP" : "TP"; }

} // namespace

std::span<const MapFact> MapFacts::All() { return MAPS; }

const MapFact* MapFacts::Find(MapId id)
{
    const auto m = std::find_if(std::begin(MAPS), std::end(MAPS), [&](const MapFact& f) { return f.id == id; });
    return m == std::end(MAPS) ? nullptr : m;
}

const MapFact* MapFacts::OfCells(const FieldFact& f)
{
    const auto m = std::find_if(std::begin(MAPS), std::end(MAPS), [&](const MapFact& map) { return map.cells == &f; });
    return m == std::end(MAPS) ? nullptr : m;
}

const MapFact* MapFacts::OfAxis(const FieldFact& f, bool* speedAxis)
{
    for (const MapFact& m : MAPS)
        if (m.speedPoints == &f || m.loadPoints == &f) {
            if (speedAxis)
                *speedAxis = m.speedPoints == &f;
            return &m;
        }
    return nullptr;
}

std::string MapFacts::Name(const MapFact& m, int language)
{
    return SettingNames::Numbered(m.name, m.number, language);
}

std::string MapFacts::AxisPointName(const MapFact& m, bool speedAxis, int point, int language)
{
    const char* axis = speedAxis ? "###Speed point %d##Drehzahlpunkt %d##Bod otáček %d"
                                 : "###Load point %d##Lastpunkt %d##Bod zatížení %d";
    return Name(m, language) + ", " + SettingNames::Numbered(axis, point + 1, language);
}

std::string MapFacts::RowLabel(const MapFact& m, const ParamImage& img, int row, int language)
{
    if (m.layout == MapLayout::Switching)
        return LoadName(*m.loadPoints, img) + " " + RegionText(*m.loadPoints, img, row);
    if (LoadSensor(img) == TP_SENSOR)
        return "TP " + std::to_string(TP_LOAD_POINTS[row]) + " %";
    if (LoadSensor(img) == IAP_SENSOR_KIND)
        return PointText(*m.loadPoints, img, row);
    return SettingNames::Numbered("###Row %d##Zeile %d##Řádek %d", row + 1, language);
}

std::string MapFacts::ColumnLabel(const MapFact& m, const ParamImage& img, int column, int)
{
    if (m.layout == MapLayout::Switching)
        return RegionText(*m.speedPoints, img, column);
    return PointText(*m.speedPoints, img, column);
}

int MapFacts::CellElement(const MapFact& m, int row, int column)
{
    return m.layout == MapLayout::Grid ? m.columns * row + column : row;
}

int MapFacts::CellValue(const MapFact& m, const ParamImage& img, int row, int column)
{
    const int raw = m.cells->Ref(CellElement(m, row, column)).Read(img);
    return m.layout == MapLayout::Grid ? raw : (raw >> column) & 1;
}

std::string MapFacts::CellText(const MapFact& m, const ParamImage& img, int row, int column, int language)
{
    if (m.layout == MapLayout::Switching)
        return OnOffText(CellValue(m, img, row, column), language);
    const FieldFact& cells = *m.cells;
    const int element = CellElement(m, row, column);
    const int value = cells.UserValue(img, element);
    const std::string unit = cells.UnitIn(img, element);
    // The editor shows millivolts as volts.
    if (unit == "mV") {
        char text[32];
        std::snprintf(text, sizeof text, "%.2f V", value / 1000.0);
        return text;
    }
    return SettingNames::NumberText(value, unit);
}

bool MapFacts::IsSpeedCurve(const MapFact& m, const ParamImage& img)
{
    return m.layout == MapLayout::Grid && GridKind(m, img) == 0;
}

bool MapFacts::IsLoadCurve(const MapFact& m, const ParamImage& img)
{
    return m.layout == MapLayout::Grid && GridKind(m, img) == 1;
}
