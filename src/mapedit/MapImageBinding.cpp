#include "mapedit/MapImageBinding.h"

#include "mapedit/MapModel.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace MapImageBinding {

const int TpLoadPoints[MAP_DIM] = { 0, 2, 5, 10, 20, 30, 40, 60, 80, 100 };

namespace {

void SetText(char* target, size_t size, const char* text)
{
    std::strncpy(target, text, size - 1);
    target[size - 1] = 0;
}

// The load axis follows the sensor kind: none, TP (fixed points) or IAP (pressures from words).
void LoadLoadAxis(MapAxis& y, const ParamImage& img, int sensor, int pressureWords)
{
    if (sensor == 1) {
        SetText(y.name, sizeof y.name, "TP");
        SetText(y.unit, sizeof y.unit, "%");
        y.maxValue = 100;
        y.editable = 0;
        y.offMode = MapAxis::OFF_SWITCHABLE;
        for (int i = 0; i < MAP_DIM; ++i)
            y.values[i] = TpLoadPoints[i];
    } else if (sensor == 2) {
        SetText(y.name, sizeof y.name, "IAP");
        SetText(y.unit, sizeof y.unit, "kPa");
        y.maxValue = 999;
        y.editable = 1;
        y.offMode = MapAxis::OFF_SWITCHABLE;
        for (int i = 0; i < MAP_DIM; ++i)
            y.values[i] = img.Adrw(pressureWords + i);
    } else {
        y.offMode = MapAxis::OFF_ALWAYS;
        y.off = 1;
    }
    y.count = std::min(MAP_DIM, y.maxCount);
}

void LoadSpeedAxis(MapAxis& x, const ParamImage& img, int address, int usedColumns)
{
    x.count = std::clamp(usedColumns, x.minCount, std::min(MAP_DIM, x.maxCount));
    for (int i = 0; i < MAP_DIM; ++i)
        x.values[i] = img.Adrb(address + i);
}

// Columns beyond the used ones continue ascending so the image stays ordered.
void StoreSpeedAxis(const MapAxis& x, ParamImage& img, int address)
{
    for (int i = 0; i < MAP_DIM; ++i) {
        const int value = i < x.count ? x.values[i] : x.values[x.count - 1] + (i - x.count + 1);
        img.Adrb(address + i) = static_cast<uint8_t>(std::clamp(value, 3, 250 - (MAP_DIM - 1 - i)));
    }
}

// The arrays go back as they are; a row shorter than ten columns repeats its last used value.
void StoreCells(const MapSheet& s, ParamImage& img, int address, int offset)
{
    for (int r = 0; r < MAP_DIM; ++r)
        for (int c = 0; c < MAP_DIM; ++c) {
            const int value = s.Cell(std::min(c, s.axisX.count - 1), std::min(r, s.axisY.count - 1)) + offset;
            img.Adrb(address + MAP_DIM * r + c) = static_cast<uint8_t>(std::clamp(value, 0, 255));
        }
}

// The limiter markers as the editor shows them; the graph lets the user drag them.
void LoadMarkers(MapModel& tab, const ParamImage& img)
{
    tab.SetLimiterRpm(img.Adrb(LIMITER) * 100);
    tab.SetStartLimiterRpm(img.Adrb(START_LIM) * 100);
    tab.SetMovedMarkers(0);
}

// A marker dragged in the graph goes back to the image; the others belong to their own pages.
void StoreMarkers(const MapModel& tab, ParamImage& img)
{
    const std::pair<int32_t, int> markers[] = { { tab.LimiterRpm(), LIMITER }, { tab.StartLimiterRpm(), START_LIM } };
    for (int k = 0; k < 2; ++k)
        if (tab.MovedMarkers() & (1 << k))
            img.Adrb(markers[k].second) = static_cast<uint8_t>(std::clamp((markers[k].first + 50) / 100, 0, 255));
}

void Finish(MapModel& tab)
{
    tab.RememberValues();
    tab.NormalizeSheet(0, AXIS_ALL | NORMALIZE_RESTART);
    tab.SelectSheet(tab.ActiveSheet());
}

} // namespace

void LoadAdvanceMap(MapModel& tab, const ParamImage& img, int usedColumns)
{
    MapSheet& s = tab.SheetAt(0);
    const int sensor = img.Adrb(TPSIAP_SENSOR);
    LoadSpeedAxis(s.axisX, img, RPM_ADV, usedColumns);
    LoadLoadAxis(s.axisY, img, sensor, ADV_IAP);
    s.axisY.off = !(sensor == 1 || sensor == 2) || img.Adrb(ADV_MAPA) != 1;
    for (int r = 0; r < MAP_DIM; ++r)
        for (int c = 0; c < MAP_DIM; ++c)
            s.Cell(c, r) = img.Adrb(ADVANCE + MAP_DIM * r + c) - 100;
    tab.SetBaseAdvance(img.Adrb(BASE_ADV));
    LoadMarkers(tab, img);
    Finish(tab);
}

int StoreAdvanceMap(const MapModel& tab, ParamImage& img)
{
    const MapSheet& s = tab.SheetAt(0);
    img.Adrb(BASE_ADV) = static_cast<uint8_t>(std::clamp(tab.BaseAdvance(), 0, 255));
    StoreMarkers(tab, img);
    // Only a pressure axis belongs in ADV_IAP; the fixed TP points must not overwrite it.
    if (img.Adrb(ADV_MAPA) == 1 && img.Adrb(TPSIAP_SENSOR) == 2)
        for (int i = 0; i < MAP_DIM; ++i)
            img.Adrw(ADV_IAP + i) = static_cast<unsigned>(std::clamp(s.axisY.values[i], 0, 999));
    img.Adrb(ADV_MAPA) = s.axisY.off ? 0 : 1;
    StoreSpeedAxis(s.axisX, img, RPM_ADV);
    StoreCells(s, img, ADVANCE, 100);
    return s.axisX.count;
}

void LoadServoMap(MapModel& tab, const ParamImage& img, int usedColumns)
{
    MapSheet& s = tab.SheetAt(0);
    const int sensor = img.Adrb(TPSIAP_SENSOR);
    const int mapa = (sensor == 1 || sensor == 2) ? img.Adrb(SERVO_MAPA) : 0;
    LoadSpeedAxis(s.axisX, img, SERVO_RPM, usedColumns);
    LoadLoadAxis(s.axisY, img, sensor, SERVO_IAP);
    s.axisX.off = mapa == 1;
    s.axisY.off = mapa == 0;
    const bool percent = img.Adrb(SERVO_PERCENT) != 0;
    SetText(s.axisData.label, sizeof s.axisData.label, percent ? "STPS [%]" : "STPS [V]");
    SetText(s.axisData.unit, sizeof s.axisData.unit, percent ? "%" : "V");
    s.axisData.maxValue = percent ? 100 : 250;
    s.axisData.scale = percent ? 1.0 : 0.02;
    for (int r = 0; r < MAP_DIM; ++r)
        for (int c = 0; c < MAP_DIM; ++c)
            s.Cell(c, r) = img.Adrb(SERVO_MV + MAP_DIM * r + c);
    s.enabled = img.Adrb(SERVO_ENABLE) ? 1 : 0;
    LoadMarkers(tab, img);
    Finish(tab);
}

int StoreServoMap(const MapModel& tab, ParamImage& img)
{
    const MapSheet& s = tab.SheetAt(0);
    const int sensor = img.Adrb(TPSIAP_SENSOR);
    img.Adrb(SERVO_ENABLE) = s.enabled ? 1 : 0;
    StoreMarkers(tab, img);
    if (img.Adrb(SERVO_MAPA) != 0 && sensor == 2)
        for (int i = 0; i < MAP_DIM; ++i)
            img.Adrw(SERVO_IAP + i) = static_cast<unsigned>(std::clamp(s.axisY.values[i], 0, 999));
    const int mapa = (sensor == 1 || sensor == 2) ? (s.axisY.off ? 0 : s.axisX.off ? 1 : 2) : 0;
    img.Adrb(SERVO_MAPA) = static_cast<uint8_t>(mapa);
    StoreSpeedAxis(s.axisX, img, SERVO_RPM);
    StoreCells(s, img, SERVO_MV, 0);
    return s.axisX.count;
}

void LoadTpSensor(MapModel& tab, const ParamImage& img)
{
    MapSheet& s = tab.SheetAt(0);
    s.axisY.values[0] = 0;
    s.axisY.values[1] = 100;
    s.Cell(s.axisX.offIndex, 0) = img.Adrw(TPS);
    s.Cell(s.axisX.offIndex, 1) = img.Adrw(TPS + 1);
    Finish(tab);
}

void StoreTpSensor(const MapModel& tab, ParamImage& img)
{
    const MapSheet& s = tab.SheetAt(0);
    img.Adrw(TPS) = static_cast<unsigned>(s.Cell(s.axisX.offIndex, 0));
    img.Adrw(TPS + 1) = static_cast<unsigned>(s.Cell(s.axisX.offIndex, 1));
}

void LoadIapSensor(MapModel& tab, const ParamImage& img)
{
    MapSheet& s = tab.SheetAt(0);
    for (int k = 0; k < 2; ++k) {
        s.axisY.values[k] = img.Adrw(IAP_SENSOR + 2 * k);
        s.Cell(s.axisX.offIndex, k) = img.Adrw(IAP_SENSOR + 2 * k + 1);
    }
    Finish(tab);
}

void StoreIapSensor(const MapModel& tab, ParamImage& img)
{
    const MapSheet& s = tab.SheetAt(0);
    for (int k = 0; k < 2; ++k) {
        img.Adrw(IAP_SENSOR + 2 * k) = static_cast<unsigned>(s.axisY.values[k]);
        img.Adrw(IAP_SENSOR + 2 * k + 1) = static_cast<unsigned>(s.Cell(s.axisX.offIndex, k));
    }
}

void LoadPowerOutMap(MapModel& tab, const ParamImage& img, int output)
{
    MapSheet& s = tab.SheetAt(0);
    const int sensor = img.Adrb(TPSIAP_SENSOR);
    SetText(s.axisY.name, sizeof s.axisY.name, sensor == 2 ? "IAP" : "TP");
    SetText(s.axisY.unit, sizeof s.axisY.unit, sensor == 2 ? "kPa" : "%");
    s.axisY.maxValue = sensor == 2 ? 999 : 100;
    for (int i = 0; i < 3; ++i)
        s.axisX.values[i] = img.Adrb(POWER_OUT_RPM + 3 * output + i);
    for (int j = 0; j < 2; ++j)
        s.axisY.values[j] = img.Adrw(POWER_OUT_TP + 2 * output + j);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < POUT_COLUMNS; ++j)
            s.Cell(j, i) = (img.Adrb(POWER_OUT_CELLS + 3 * output + i) >> j) & 1;
    Finish(tab);
}

void StorePowerOutMap(const MapModel& tab, ParamImage& img, int output)
{
    const MapSheet& s = tab.SheetAt(0);
    for (int i = 0; i < 3; ++i)
        img.Adrb(POWER_OUT_RPM + 3 * output + i) = static_cast<uint8_t>(std::clamp(s.axisX.values[i], 0, 255));
    for (int j = 0; j < 2; ++j)
        img.Adrw(POWER_OUT_TP + 2 * output + j) = static_cast<unsigned>(std::clamp(s.axisY.values[j], 0, 999));
    for (int i = 0; i < 3; ++i) {
        int bits = 0;
        for (int j = 0; j < POUT_COLUMNS; ++j)
            bits |= (s.Cell(j, i) == 1 ? 1 : 0) << j;
        img.Adrb(POWER_OUT_CELLS + 3 * output + i) = static_cast<uint8_t>(bits);
    }
}

bool LoadProgramMap(MapModel& tab, MapKind kind, const ParamImage& img, int output)
{
    switch (kind) {
    case MapKind::Advance:
        LoadAdvanceMap(tab, img, MAP_DIM);
        return true;
    case MapKind::Servo:
        LoadServoMap(tab, img, MAP_DIM);
        return true;
    case MapKind::TpSensor:
        LoadTpSensor(tab, img);
        return true;
    case MapKind::IapSensor:
        LoadIapSensor(tab, img);
        return true;
    case MapKind::PowerOutA:
        LoadPowerOutMap(tab, img, output);
        return true;
    default:
        return false;
    }
}

} // namespace MapImageBinding
