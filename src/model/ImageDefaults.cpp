#include "model/ImageDefaults.h"

#include "model/BikePresets.h"
#include "model/ImageValidation.h"

#include <algorithm>

const std::array<std::array<int, MAP_DIM>, MAP_DIM> DefaultAdvanceDegrees = {{
    {10, 13, 16, 25, 28, 32, 33, 33, 33, 33},
    {10, 16, 22, 31, 33, 35, 35, 35, 35, 35},
    {10, 24, 35, 44, 45, 45, 43, 41, 41, 41},
    {10, 19, 32, 39, 45, 47, 46, 43, 43, 43},
    {10, 12, 15, 25, 31, 33, 32, 32, 32, 31},
    {10, 12, 16, 25, 28, 30, 33, 32, 32, 32},
    {10, 12, 16, 25, 28, 30, 33, 31, 33, 31},
    {10, 12, 15, 25, 28, 30, 32, 32, 32, 32},
    {10, 12, 15, 25, 28, 30, 32, 32, 32, 32},
    {10, 12, 15, 25, 28, 30, 32, 32, 32, 32},
}};

namespace {

constexpr uint8_t GEAR_SHIFT_CELLS = 14; // speed columns 1..3 on, column 0 off
constexpr uint8_t PLAIN_CELLS = 2;       // speed column 1 on

void writeBytes(ParamImage& img, int address, std::initializer_list<int> values)
{
    for (int v : values)
        img.Adrb(address++) = static_cast<uint8_t>(v);
}

void writeWords(ParamImage& img, int address, std::initializer_list<int> values)
{
    for (int v : values)
        img.Adrw(address++) = static_cast<uint16_t>(v);
}

void setPowerOutTable(ParamImage& img, int n, int firstRpm, uint8_t cells)
{
    writeBytes(img, POWER_OUT_RPM + 3 * n, {firstRpm, 125, 140});
    writeWords(img, POWER_OUT_TP + 2 * n, {75, 90});
    std::fill_n(&img.Adrb(POWER_OUT_CELLS + 3 * n), 3, cells);
    img.Adrb(POWER_OUT_HYST + n) = 10;
}

bool inRange(int v, int lo, int hi) { return v >= lo && v <= hi; }

int tachoPulsesForBike(int bike, int current)
{
    if (bike == 4)
        return 4;
    if (inRange(bike, 7, 14) || bike == 21 || bike == 23 || bike == 26 || inRange(bike, 28, 30) || inRange(bike, 34, 38))
        return 1;
    if (bike == 22 || bike >= 41)
        return current;
    return 2;
}

int input1ForBike(int bike)
{
    switch (bike) {
    case 0: case 2: case 15: case 18: case 19: case 20: case 21: case 24: case 25: case 27:
        return 2;
    case 17:
        return 1;
    default:
        return 0;
    }
}

void servoDefaults(ParamImage& img)
{
    static constexpr std::array<int, MAP_DIM> rpmA{1200, 2000, 3000, 4000, 6000, 8000, 10000, 12000, 14000, 16000};
    static constexpr std::array<int, MAP_DIM> mvA{2000, 2100, 2200, 2300, 2400, 2500, 2600, 2700, 2800, 2900};
    static constexpr std::array<int, MAP_DIM> rpmB{300, 400, 4100, 4600, 6500, 7000, 7500, 8300, 9000, 10500};
    static constexpr std::array<int, MAP_DIM> mvB{600, 900, 900, 1220, 1220, 1290, 1360, 1610, 1860, 1860};
    const bool setB = img.Adrb(BIKE) == 19;
    const auto& rpm = setB ? rpmB : rpmA;
    const auto& mv = setB ? mvB : mvA;
    for (int c = 0; c < MAP_DIM; ++c) {
        img.Adrb(SERVO_RPM + c) = static_cast<uint8_t>(rpm[c] / 100);
        for (int r = 0; r < MAP_DIM; ++r)
            img.Adrb(SERVO_MV + MAP_DIM * r + c) = static_cast<uint8_t>(mv[c] / 20);
    }
}

void advanceDefaults(ParamImage& img)
{
    writeBytes(img, RPM_ADV, {15, 20, 30, 40, 50, 60, 70, 80, 90, 100});
    for (int r = 0; r < MAP_DIM; ++r)
        for (int c = 0; c < MAP_DIM; ++c)
            img.Adrb(ADVANCE + MAP_DIM * r + c) = static_cast<uint8_t>(DefaultAdvanceDegrees[r][c] + 100);
}

} // namespace

void PowerOutDefaults(ParamImage& img, int n, PowerOutDefaultForm form)
{
    const int mode = img.Adrb(POWER_OUT_MODE + n);
    switch (form) {
    case PowerOutDefaultForm::CellsOnly:
        std::fill_n(&img.Adrb(POWER_OUT_CELLS + 3 * n), 3, GEAR_SHIFT_CELLS);
        break;
    case PowerOutDefaultForm::ModeChanged:
        if (mode == POWER_OUT_GEAR_SHIFT_LIGHT)
            setPowerOutTable(img, n, 90, GEAR_SHIFT_CELLS);
        break;
    case PowerOutDefaultForm::Reset:
        if (mode == POWER_OUT_GEAR_SHIFT_LIGHT)
            setPowerOutTable(img, n, 90, GEAR_SHIFT_CELLS);
        else if (mode <= 3)
            setPowerOutTable(img, n, 40, PLAIN_CELLS);
        break;
    }
}

void ResetDefaults(ParamImage& img, int group)
{
    const LoadGroups groups(group);
    const int bike = img.Adrb(BIKE);

    if (groups[PAGE_ADVANCE])
        img.Adrb(BASE_ADV) = 10;
    if (groups[PAGE_BIKE]) {
        writeBytes(img, PICKUP_POLARITY, {2, 2});
        for (int a : {PICKUPS_INTERCHANGE, NO_LOBE_CHECK, SPARK_BEFORE_LOBE, SPECIAL_START, START_EXCITATION})
            img.Adrb(a) = 0;
    }
    if (groups[PAGE_MISC]) {
        img.Adrb(LIMITER) = 110;
        img.Adrb(START_LIM) = 100;
    }
    if (groups[PAGE_SENSORS])
        writeWords(img, TPS, {700, 3790});
    if (groups[PAGE_ADVANCE])
        img.Adrb(ADV_MAPA) = 0;
    if (groups[PAGE_SERVO])
        writeBytes(img, SERVO_ENABLE, {0, 0, 20, 0});
    if (groups[PAGE_BIKE])
        img.Adrb(RPM_CORR) = 100;
    if (groups[PAGE_ADVANCE])
        advanceDefaults(img);
    if (groups[PAGE_SERVO])
        servoDefaults(img);
    if (groups[PAGE_MISC])
        img.Adrb(START_LIM_DELAY) = 0;
    if (groups[PAGE_BIKE]) {
        img.Adrb(REV_WO_IGNITION) = img.Adrb(PICKUP_SYSTEM) == 0 ? 1 : 0;
        writeBytes(img, COMPENSATION, {6, 6, 6, 6});
    }
    if (groups[PAGE_ADVANCE])
        writeBytes(img, CORR_ADVANCE, {100, 100, 100, 100});
    if (groups[PAGE_MISC])
        writeBytes(img, CLUTCH_TIME, {10, 50, 6});
    if (groups[PAGE_POWER_OUT]) {
        writeBytes(img, POWER_OUT_MODE, {1, 2});
        for (int n = 0; n < POWER_OUT_COUNT; ++n)
            PowerOutDefaults(img, n, PowerOutDefaultForm::Reset);
    }
    if (groups[PAGE_BIKE])
        img.Adrb(RPM_PULSES) = static_cast<uint8_t>(tachoPulsesForBike(bike, img.Adrb(RPM_PULSES)));
    if (groups[PAGE_MISC]) {
        img.Adrb(INPUT2) = 0;
        img.Adrb(INPUT1) = static_cast<uint8_t>(input1ForBike(bike));
    }
    if (groups[PAGE_TEST])
        writeBytes(img, TEST_RPM, {50, 50});
    if (groups[PAGE_ADVANCE])
        writeWords(img, ADV_IAP, {30, 50, 60, 70, 75, 80, 85, 90, 95, 100});
    if (groups[PAGE_SERVO])
        writeWords(img, SERVO_IAP, {30, 50, 60, 70, 75, 80, 85, 90, 95, 100});
    if (groups[PAGE_SENSORS]) {
        writeWords(img, IAP_SENSOR, {55, 2305, 105, 3756});
        img.Adrb(TPSIAP_SENSOR) = 0;
    }

    if (bike != BIKE_SPECIAL_SETTING) {
        if (groups[PAGE_BIKE])
            std::fill_n(&img.Adrb(LOBE_START), 2 * CHANNELS, uint8_t{0});
        if (groups[PAGE_MISC])
            img.Adrb(GEBER_MODE) = 1;
    }
    ApplyBikePreset(img, groups);
    if (groups[PAGE_BIKE])
        img.Adrb(CHANNEL_COUNT) = std::clamp<uint8_t>(img.Adrb(CHANNEL_COUNT), 1, CHANNELS);
}

ParamImage StartupImage()
{
    ParamImage img;
    img.Adrb(BIKE) = STARTUP_BIKE;
    ResetDefaults(img, PAGE_ALL);
    ValidateImage(img);
    return img;
}
