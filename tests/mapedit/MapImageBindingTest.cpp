#include "mapedit/MapImageBinding.h"
#include "MapTestSupport.h"
#include "model/ImageDefaults.h"
#include "model/LoadGroups.h"

#include <gtest/gtest.h>

namespace {

using namespace MapImageBinding;

ParamImage AdvanceImage(int sensor, int mapa)
{
    ParamImage img;
    for (int i = 0; i < MAP_DIM; ++i) {
        img.Adrb(RPM_ADV + i) = static_cast<uint8_t>(10 * (i + 1));
        img.Adrw(ADV_IAP + i) = static_cast<unsigned>(30 + 7 * i);
        for (int c = 0; c < MAP_DIM; ++c)
            img.Adrb(ADVANCE + MAP_DIM * i + c) = static_cast<uint8_t>(100 + i + c);
    }
    img.Adrb(TPSIAP_SENSOR) = static_cast<uint8_t>(sensor);
    img.Adrb(ADV_MAPA) = static_cast<uint8_t>(mapa);
    img.Adrb(BASE_ADV) = 12;
    img.Adrb(LIMITER) = 90;
    return img;
}

TEST(MapImageBindingTest, AdvanceMapFollowsTheLoadSensor)
{
    struct Case {
        int sensor, mapa;
        const char* name;
        bool yOff;
        int row3;
    } cases[]
        = { { 0, 1, "TP", true, 3 }, { 1, 1, "TP", false, 10 }, { 1, 0, "TP", true, 10 }, { 2, 1, "IAP", false, 51 } };
    for (const Case& c : cases) {
        MapModel tab;
        DefineProgramMap(tab, MapKind::Advance);
        LoadAdvanceMap(tab, AdvanceImage(c.sensor, c.mapa), 10);
        const MapSheet& s = tab.Sheet();
        EXPECT_EQ(bool(s.axisY.off), c.yOff) << c.sensor << "/" << c.mapa;
        EXPECT_EQ(s.axisX.values[9], 100);
        EXPECT_EQ(s.Cell(4, 3), 7);
        EXPECT_EQ(tab.BaseAdvance(), 12);
        EXPECT_EQ(tab.LimiterRpm(), 9000);
        if (c.sensor) {
            EXPECT_STREQ(s.axisY.name, c.name);
            EXPECT_EQ(s.axisY.values[3], c.row3);
        }
    }
}

TEST(MapImageBindingTest, LimiterMarkersMovedInTheEditorGoBackToTheImage)
{
    for (MapKind kind : { MapKind::Advance, MapKind::Servo }) {
        MapModel tab;
        DefineProgramMap(tab, kind);
        ParamImage img = AdvanceImage(1, 1);
        img.Adrb(START_LIM) = 40;
        kind == MapKind::Advance ? LoadAdvanceMap(tab, img, 10) : LoadServoMap(tab, img, 10);
        EXPECT_EQ(tab.StartLimiterRpm(), 4000);
        tab.SetLimiterRpm(8460);
        tab.SetMovedMarkers(1);
        kind == MapKind::Advance ? void(StoreAdvanceMap(tab, img)) : void(StoreServoMap(tab, img));
        EXPECT_EQ(img.Adrb(LIMITER), 85);
        EXPECT_EQ(img.Adrb(START_LIM), 40) << "an unmoved marker stays";
    }
    MapModel unsynced;
    DefineProgramMap(unsynced, MapKind::Servo);
    ParamImage img = AdvanceImage(1, 1);
    StoreServoMap(unsynced, img);
    EXPECT_EQ(img.Adrb(LIMITER), 90) << "an editor whose markers were not moved leaves the limiter alone";
}

TEST(MapImageBindingTest, AdvanceStoreRepeatsTheLastUsedColumn)
{
    MapModel tab;
    DefineProgramMap(tab, MapKind::Advance);
    ParamImage img = AdvanceImage(2, 1);
    LoadAdvanceMap(tab, img, 6);
    tab.Sheet().Cell(5, 2) = -20;
    tab.Sheet().axisY.values[0] = 25;
    tab.SetBaseAdvance(15);
    EXPECT_EQ(StoreAdvanceMap(tab, img), 6);
    EXPECT_EQ(img.Adrb(ADVANCE + 20 + 5), 80);
    EXPECT_EQ(img.Adrb(ADVANCE + 20 + 9), 80);
    EXPECT_EQ(img.Adrb(BASE_ADV), 15);
    EXPECT_EQ(img.Adrw(ADV_IAP), 25);
    for (int i = 1; i < MAP_DIM; ++i)
        EXPECT_GT(img.Adrb(RPM_ADV + i), img.Adrb(RPM_ADV + i - 1));
    tab.UseAxes(CMD_ONLY_X);
    StoreAdvanceMap(tab, img);
    EXPECT_EQ(img.Adrb(ADV_MAPA), 0);
}

TEST(MapImageBindingTest, ServoMapKindAndPercent)
{
    MapModel tab;
    DefineProgramMap(tab, MapKind::Servo);
    ParamImage img = AdvanceImage(1, 0);
    img.Adrb(SERVO_MAPA) = 1;
    img.Adrb(SERVO_PERCENT) = 1;
    img.Adrb(SERVO_ENABLE) = 1;
    img.Adrb(SERVO_MV + 13) = 40;
    for (int i = 0; i < MAP_DIM; ++i)
        img.Adrb(SERVO_RPM + i) = static_cast<uint8_t>(20 + i);
    LoadServoMap(tab, img, 10);
    const MapSheet& s = tab.Sheet();
    EXPECT_TRUE(s.axisX.off);
    EXPECT_FALSE(s.axisY.off);
    EXPECT_EQ(s.axisData.maxValue, 100);
    EXPECT_EQ(s.Cell(3, 1), 40);
    EXPECT_EQ(s.enabled, 1);
    tab.ApplyCommand(CMD_ENABLE_SHEET);
    tab.UseAxes(CMD_BOTH);
    StoreServoMap(tab, img);
    EXPECT_EQ(img.Adrb(SERVO_ENABLE), 0);
    img.Adrb(TPSIAP_SENSOR) = 0;
    StoreServoMap(tab, img);
    EXPECT_EQ(img.Adrb(SERVO_MAPA), 0) << "without a load sensor the servo map is by speed only";
}

TEST(MapImageBindingTest, SensorsAndPowerOutputsRoundTrip)
{
    ParamImage img;
    ResetDefaults(img, -1);
    img.Adrb(POWER_OUT_CELLS + 3 + 1) = 0b1010;
    MapModel tp, iap, power;
    DefineProgramMap(tp, MapKind::TpSensor);
    DefineProgramMap(iap, MapKind::IapSensor);
    DefineProgramMap(power, MapKind::PowerOutA, 2);
    LoadTpSensor(tp, img);
    LoadIapSensor(iap, img);
    LoadPowerOutMap(power, img, 1);
    EXPECT_EQ(tp.Sheet().Cell(0, 1), 3790);
    EXPECT_EQ(iap.Sheet().axisY.values[1], 105);
    EXPECT_EQ(power.Sheet().Cell(1, 1), 1);
    EXPECT_EQ(power.Sheet().Cell(2, 1), 0);
    ParamImage copy = img;
    StoreTpSensor(tp, copy);
    StoreIapSensor(iap, copy);
    StorePowerOutMap(power, copy, 1);
    EXPECT_EQ(copy, img);
}

} // namespace
