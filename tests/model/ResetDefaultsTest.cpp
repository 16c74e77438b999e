#include "model/ImageDefaults.h"
#include "model/ImageValidation.h"

#include <gtest/gtest.h>

#include <set>

namespace {

ParamImage filled(uint8_t value, int bike = 20)
{
    ParamImage img;
    img.bytes().fill(value);
    img.Adrb(BIKE) = static_cast<uint8_t>(bike);
    return img;
}

std::set<int> changedBytes(const ParamImage& a, const ParamImage& b)
{
    std::set<int> out;
    for (int i = 0; i < RS_LEN_EXE; ++i)
        if (a.Adrb(i) != b.Adrb(i))
            out.insert(i);
    return out;
}

std::set<int> range(int from, int count)
{
    std::set<int> s;
    for (int i = 0; i < count; ++i)
        s.insert(from + i);
    return s;
}

} // namespace

TEST(ResetDefaults, AllGroupsGiveTheDocumentedDefaults)
{
    ParamImage img;
    img.Adrb(BIKE) = STARTUP_BIKE;
    ResetDefaults(img, PAGE_ALL);
    EXPECT_EQ(img.Adrw(TPS), 700);
    EXPECT_EQ(img.Adrw(TPS + 1), 3790);
    EXPECT_EQ(img.Adrw(IAP_SENSOR + 3), 3756);
    EXPECT_EQ(img.Adrw(ADV_IAP + 9), 100);
    EXPECT_EQ(img.Adrw(SERVO_IAP + 4), 75);
    EXPECT_EQ(img.Adrb(LIMITER), 110);
    EXPECT_EQ(img.Adrb(START_LIM), 100);
    EXPECT_EQ(img.Adrb(BASE_ADV), 10);
    EXPECT_EQ(img.Adrb(RPM_CORR), 100);
    EXPECT_EQ(img.Adrb(SERVO_HYSTER), 20);
    EXPECT_EQ(img.Adrb(CLUTCH_TIME), 10);
    EXPECT_EQ(img.Adrb(CLUTCH_PAUSE), 50);
    EXPECT_EQ(img.Adrb(RETARD), 6);
    EXPECT_EQ(img.Adrb(TEST_RPM), 50);
    EXPECT_EQ(img.Adrb(INPUT1), 2) << "bike 20 uses input 1 for blocking";
    EXPECT_EQ(img.Adrb(RPM_PULSES), 2);
    EXPECT_EQ(img.Adrb(GEBER_MODE), 1);
    EXPECT_EQ(img.Adrb(PICKUP_SYSTEM), 1) << "Yamaha R6 preset";
    EXPECT_EQ(img.Adrb(LOBE_START), 65);
    EXPECT_EQ(img.Adrb(LOBE_START + 2), 0) << "lobes the preset leaves alone are cleared";
    for (int r = 0; r < MAP_DIM; ++r)
        for (int c = 0; c < MAP_DIM; ++c)
            ASSERT_EQ(img.Adrb(ADVANCE + 10 * r + c), DefaultAdvanceDegrees[r][c] + 100);
    EXPECT_EQ(img.Adrb(ADVANCE + 23), 144) << "row 3, column 4 is 44 degrees";
    EXPECT_EQ(img.Adrb(SERVO_RPM), 12);
    EXPECT_EQ(img.Adrb(SERVO_MV + 10 * 7 + 9), 2900 / 20);
    EXPECT_EQ(img.Adrb(POWER_OUT_MODE), 1);
    EXPECT_EQ(img.Adrb(POWER_OUT_RPM), 40);
    EXPECT_EQ(img.Adrb(POWER_OUT_CELLS), 2);
    EXPECT_EQ(img.Adrb(POWER_OUT_MODE + 1), 2);
    EXPECT_EQ(img.Adrb(POWER_OUT_RPM + 3), 90);
    EXPECT_EQ(img.Adrb(POWER_OUT_CELLS + 5), 14);
    EXPECT_EQ(img.Adrw(POWER_OUT_TP + 3), 90);
}

TEST(ResetDefaults, EachGroupTouchesOnlyItsFields)
{
    struct Case {
        int group;
        std::set<int> allowed;
    };
    std::set<int> powerOut = range(POWER_OUT_MODE, 16);
    for (int b : range(2 * POWER_OUT_TP, 8))
        powerOut.insert(b);
    std::set<int> test = {TEST_RPM, TEST_SERVO};
    std::set<int> misc = {LIMITER, START_LIM, START_LIM_DELAY, CLUTCH_TIME, CLUTCH_PAUSE, RETARD, INPUT1, INPUT2,
        GEBER_MODE, TPSIAP_SENSOR};
    for (int b : range(2 * TPS, 12))
        misc.insert(b);

    for (const Case& c : {Case{PAGE_POWER_OUT, powerOut}, Case{PAGE_TEST, test}, Case{PAGE_MISC, misc}}) {
        const ParamImage before = filled(0x77);
        ParamImage after = before;
        ResetDefaults(after, c.group);
        for (int b : changedBytes(before, after))
            EXPECT_TRUE(c.allowed.count(b)) << "group " << c.group << " changed byte " << b;
    }
}

TEST(ResetDefaults, MiscGroupAlsoResetsSensorCalibrations)
{
    ParamImage img = filled(0x77);
    ResetDefaults(img, PAGE_MISC);
    EXPECT_EQ(img.Adrw(TPS), 700);
    EXPECT_EQ(img.Adrw(IAP_SENSOR), 55);
    EXPECT_EQ(img.Adrb(TPSIAP_SENSOR), 0);
    EXPECT_EQ(img.Adrb(GEBER_MODE), 1);
}

TEST(ResetDefaults, ServoSetDependsOnBike)
{
    ParamImage img = filled(0, 19);
    ResetDefaults(img, PAGE_SERVO);
    EXPECT_EQ(img.Adrb(SERVO_RPM), 3);
    EXPECT_EQ(img.Adrb(SERVO_RPM + 9), 105);
    EXPECT_EQ(img.Adrb(SERVO_MV + 3), 1220 / 20);
    EXPECT_EQ(img.Adrb(SERVO_ENABLE), 1) << "the R1 preset enables the servo";
}

TEST(ResetDefaults, TachoPulsesByBike)
{
    struct Case {
        int bike, expected;
    } cases[] = {{4, 4}, {7, 1}, {14, 1}, {21, 1}, {23, 1}, {26, 1}, {28, 1}, {30, 1}, {34, 1}, {38, 1}, {20, 2}, {0, 2},
        {15, 2}, {31, 2}, {39, 2}, {22, 0x33}, {41, 0x33}, {42, 0x33}};
    for (const Case& c : cases) {
        ParamImage img = filled(0x33, c.bike);
        ResetDefaults(img, PAGE_BIKE);
        EXPECT_EQ(img.Adrb(RPM_PULSES), c.expected) << "bike " << c.bike;
    }
}

TEST(ResetDefaults, SpecialSettingKeepsLobesAndGeberMode)
{
    ParamImage img = filled(0x33, 22);
    ResetDefaults(img, PAGE_ALL);
    EXPECT_EQ(img.Adrb(LOBE_START), 0x33);
    EXPECT_EQ(img.Adrb(GEBER_MODE), 0x33);
    EXPECT_EQ(img.Adrb(PICKUP_SYSTEM), 0x33);
}

TEST(ResetDefaults, RevolutionsWithoutIgnitionFollowTheTriggerSystem)
{
    ParamImage img = filled(0, 22);
    ResetDefaults(img, PAGE_BIKE);
    EXPECT_EQ(img.Adrb(REV_WO_IGNITION), 1);
    img.Adrb(PICKUP_SYSTEM) = 3;
    ResetDefaults(img, PAGE_BIKE);
    EXPECT_EQ(img.Adrb(REV_WO_IGNITION), 0);
}

TEST(PowerOutDefaults, Forms)
{
    ParamImage img;
    img.Adrb(POWER_OUT_MODE + 1) = 0;
    PowerOutDefaults(img, 1, PowerOutDefaultForm::Reset);
    EXPECT_EQ(img.Adrb(POWER_OUT_RPM + 3), 40);
    EXPECT_EQ(img.Adrb(POWER_OUT_CELLS + 4), 2);
    EXPECT_EQ(img.Adrb(POWER_OUT_HYST + 1), 10);

    img.Adrb(POWER_OUT_MODE + 1) = 5;
    ParamImage before = img;
    PowerOutDefaults(img, 1, PowerOutDefaultForm::Reset);
    EXPECT_EQ(img, before) << "modes 4 and above change nothing";

    img.Adrb(POWER_OUT_MODE + 1) = 1;
    before = img;
    PowerOutDefaults(img, 1, PowerOutDefaultForm::ModeChanged);
    EXPECT_EQ(img, before) << "a fuel pump keeps its table";

    img.Adrb(POWER_OUT_MODE + 1) = 2;
    PowerOutDefaults(img, 1, PowerOutDefaultForm::ModeChanged);
    EXPECT_EQ(img.Adrb(POWER_OUT_RPM + 3), 90);
    EXPECT_EQ(img.Adrb(POWER_OUT_CELLS + 3), 14);
    EXPECT_EQ(img.Adrw(POWER_OUT_TP + 2), 75);

    img.Adrb(POWER_OUT_RPM) = 33;
    PowerOutDefaults(img, 0, PowerOutDefaultForm::CellsOnly);
    EXPECT_EQ(img.Adrb(POWER_OUT_RPM), 33);
    EXPECT_EQ(img.Adrb(POWER_OUT_CELLS + 2), 14);
}
