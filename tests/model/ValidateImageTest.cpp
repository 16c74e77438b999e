#include "model/FieldFacts.h"
#include "model/ImageDefaults.h"
#include "model/ImageValidation.h"
#include "model/LayoutSelfCheck.h"
#include "model/LobeByte.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> bytes(const ParamImage& img, int address, int n)
{
    std::vector<int> v;
    for (int i = 0; i < n; ++i)
        v.push_back(img.Adrb(address + i));
    return v;
}

} // namespace

TEST(ValidateImage, DefaultImageIsAlreadyValid)
{
    const ParamImage before = StartupImage();
    ParamImage after = before;
    ValidateImage(after);
    EXPECT_EQ(after, before);
}

struct SingleByteCase {
    const char* name;
    int address;
    int stored;
    int expected;
};

class ValidateSingleByte : public testing::TestWithParam<SingleByteCase> {};

TEST_P(ValidateSingleByte, ClampsToItsLimit)
{
    const SingleByteCase& c = GetParam();
    ParamImage img = StartupImage();
    img.Adrb(c.address) = static_cast<uint8_t>(c.stored);
    ValidateImage(img);
    EXPECT_EQ(img.Adrb(c.address), c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Fields, ValidateSingleByte,
    testing::Values(SingleByteCase{"channels 0", CHANNEL_COUNT, 0, 1}, SingleByteCase{"channels 7", CHANNEL_COUNT, 7, 4},
        SingleByteCase{"excitation", EXCITATION, 9, 3}, SingleByteCase{"advance cell low", ADVANCE + 37, 0, 70},
        SingleByteCase{"advance cell high", ADVANCE + 99, 200, 160}, SingleByteCase{"servo mV cell", SERVO_MV, 255, 250},
        SingleByteCase{"limiter low", LIMITER, 3, 10}, SingleByteCase{"limiter high", LIMITER, 255, 250},
        SingleByteCase{"start limiter high", START_LIM, 251, 250}, SingleByteCase{"base advance", BASE_ADV, 41, 40},
        SingleByteCase{"power out mode", POWER_OUT_MODE, 7, 3}));

TEST(ValidateImage, ServoPercentLimitsCellsTo100)
{
    ParamImage img = StartupImage();
    img.Adrb(SERVO_PERCENT) = 1;
    img.Adrb(SERVO_MV + 5) = 200;
    ValidateImage(img);
    EXPECT_EQ(img.Adrb(SERVO_MV + 5), 100);
}

TEST(ValidateImage, RpmAxisBecomesStrictlyAscending)
{
    ParamImage img = StartupImage();
    std::fill_n(&img.Adrb(RPM_ADV), 10, uint8_t{5});
    std::fill_n(&img.Adrb(SERVO_RPM), 10, uint8_t{250});
    ValidateImage(img);
    EXPECT_EQ(bytes(img, RPM_ADV, 10), (std::vector<int>{5, 6, 7, 8, 9, 10, 11, 12, 13, 14}));
    EXPECT_EQ(bytes(img, SERVO_RPM, 10), (std::vector<int>{241, 242, 243, 244, 245, 246, 247, 248, 249, 250}));
}

TEST(ValidateImage, PressureAxisIsClampedAsWords)
{
    ParamImage img = StartupImage();
    for (int i = 0; i < 10; ++i)
        img.Adrw(ADV_IAP + i) = 5000;
    ValidateImage(img);
    EXPECT_EQ(img.Adrw(ADV_IAP), 990);
    EXPECT_EQ(img.Adrw(ADV_IAP + 9), 999);
}

TEST(ValidateImage, SensorCalibrationsKeepTheirOrder)
{
    ParamImage img = StartupImage();
    img.Adrw(TPS) = 3000;
    img.Adrw(TPS + 1) = 2995;
    img.Adrw(IAP_SENSOR) = 120;
    img.Adrw(IAP_SENSOR + 2) = 100;
    ValidateImage(img);
    EXPECT_EQ(img.Adrw(TPS), 3000);
    EXPECT_EQ(img.Adrw(TPS + 1), 3010);
    EXPECT_EQ(img.Adrw(IAP_SENSOR + 2), 120);
}

TEST(ValidateImage, LobeBytesKeepFlagsAndDropSecondPickupWhereUnsupported)
{
    ParamImage img = StartupImage();
    img.Adrb(PICKUP_SYSTEM) = 5;
    img.Adrb(LOBE_COUNT) = 7;
    img.Adrb(LOBE_START) = 0xC5; // 2nd edge, 2nd pick-up, lobe 5
    img.Adrb(LOBE_END) = 0x49;   // 2nd edge, lobe 9 > lobe count
    img.Adrb(LOBE_END + 1) = 0x40; // lobe 0
    ValidateImage(img);
    EXPECT_EQ(img.Adrb(LOBE_START), 0x45);
    EXPECT_EQ(img.Adrb(LOBE_END), 0x47);
    EXPECT_EQ(img.Adrb(LOBE_END + 1), 0x41);
}

TEST(ValidateImage, WideLobeSystemStoresLobeBitSixInBitSeven)
{
    ParamImage img = StartupImage();
    img.Adrb(PICKUP_SYSTEM) = 14;
    img.Adrb(LOBE_COUNT) = 120;
    img.Adrb(LOBE_START) = LobeByte::WithNumber(0, 100, 14);
    EXPECT_EQ(img.Adrb(LOBE_START), 0xA4);
    ValidateImage(img);
    EXPECT_EQ(img.Adrb(LOBE_START), 0xA4);
    EXPECT_EQ(LobeByte::Number(img.Adrb(LOBE_START), 14), 100);

    img.Adrb(LOBE_COUNT) = 200;
    ValidateImage(img);
    EXPECT_EQ(img.Adrb(LOBE_COUNT), 120);
}

TEST(ValidateImage, NoTriggerSystemMeansOneLobe)
{
    ParamImage img = StartupImage();
    img.Adrb(PICKUP_SYSTEM) = 0;
    img.Adrb(LOBE_COUNT) = 9;
    img.Adrb(LOBE_START + 2) = 0x83;
    ValidateImage(img);
    EXPECT_EQ(img.Adrb(LOBE_COUNT), 1);
    EXPECT_EQ(img.Adrb(LOBE_START + 2), 0x81) << "system 0 keeps the 2nd pick-up flag";
}

TEST(ValidateImage, PowerOutputTables)
{
    ParamImage img = StartupImage();
    img.Adrb(TPSIAP_SENSOR) = 1;
    img.Adrb(POWER_OUT_MODE) = 2;
    std::fill_n(&img.Adrb(POWER_OUT_CELLS), 3, uint8_t{1});
    img.Adrb(POWER_OUT_RPM + 3) = 0;
    img.Adrw(POWER_OUT_TP + 2) = 150;
    img.Adrw(POWER_OUT_TP + 3) = 150;
    img.Adrb(POWER_OUT_MODE + 1) = 3;
    img.Adrb(POWER_OUT_CELLS + 3) = 1;
    ValidateImage(img);
    EXPECT_EQ(bytes(img, POWER_OUT_CELLS, 3), (std::vector<int>{14, 14, 14})) << "gear shift light cells are fixed";
    EXPECT_EQ(img.Adrb(POWER_OUT_RPM + 3), 3);
    EXPECT_EQ(img.Adrw(POWER_OUT_TP + 2), 99);
    EXPECT_EQ(img.Adrw(POWER_OUT_TP + 3), 100);
    EXPECT_EQ(img.Adrb(POWER_OUT_CELLS + 3), 1) << "a special output keeps its cells";

    img.Adrb(TPSIAP_SENSOR) = 2;
    img.Adrw(POWER_OUT_TP + 2) = 500;
    img.Adrw(POWER_OUT_TP + 3) = 700;
    ValidateImage(img);
    EXPECT_EQ(img.Adrw(POWER_OUT_TP + 3), 700) << "kPa allow up to 999";
}

TEST(ValidateImage, OutsideSettings)
{
    struct Case {
        OutsideSettings in, out;
    } cases[] = {
        {{2, 255, 255}, {2, 255, 255}},
        {{3, 256, 256}, {0, -1, 1}},
        {{-1, -2, 0}, {0, -1, 1}},
        {{1, -1, 1}, {1, -1, 1}},
    };
    for (const Case& c : cases) {
        ParamImage img = StartupImage();
        OutsideSettings s = c.in;
        ValidateImage(img, &s);
        EXPECT_EQ(s.language, c.out.language);
        EXPECT_EQ(s.forcedPort, c.out.forcedPort);
        EXPECT_EQ(s.nextScanPort, c.out.nextScanPort);
    }
}

// Every field that validation clamps as a plain range lands exactly on the bound its field-fact
// row gives (in the reading the image selects), from just beyond the bound and from the far end
// of the raw field. Series are looked at in their first element for the lower bound and in their
// last for the upper, where ascending order leaves room.
TEST(ValidateImage, ClampsEachRangedFieldToItsRowsRange)
{
    enum Bounds { Both, UpperOnly };
    struct Case {
        const char* name;
        Bounds bounds;
        bool switched = false;
    };
    const Case cases[] = {
        { "CHANNEL_COUNT", Both }, { "EXCITATION", UpperOnly }, { "ADV_IAP", UpperOnly }, { "SERVO_IAP", UpperOnly },
        { "RPM_ADV", Both }, { "SERVO_RPM", Both }, { "ADVANCE", Both }, { "SERVO_MV", UpperOnly },
        { "SERVO_MV", UpperOnly, true }, { "LOBE_COUNT", UpperOnly }, { "LOBE_COUNT", UpperOnly, true },
        { "POWER_OUT_MODE", UpperOnly }, { "POWER_OUT1_RPM", Both }, { "POWER_OUT2_RPM", Both },
        { "POWER_OUT1_TP", UpperOnly }, { "POWER_OUT2_TP", UpperOnly, true }, { "LIMITER", Both },
        { "START_LIM", Both }, { "BASE_ADV", UpperOnly },
    };
    for (const Case& c : cases) {
        const FieldFact* f = FieldFacts::Find(c.name);
        ASSERT_NE(f, nullptr) << c.name;
        SCOPED_TRACE(std::string(c.name) + (c.switched ? " switched" : ""));
        ParamImage start = StartupImage();
        if (c.switched)
            start.Adrb(f->other.flagAddress)
                = static_cast<uint8_t>(f->other.flagValue == FieldUnitSwitch::ANY_NONZERO ? 1 : f->other.flagValue);
        ASSERT_EQ(f->Switched(start), c.switched);
        const int rawTop = f->view == FieldRef::Word ? 0xFFFF : 0xFF;
        const int last = f->count - 1;
        const auto validatedFrom = [&](auto fill, int element) {
            ParamImage img = start;
            for (int e = 0; e < f->count; ++e)
                fill(img, e);
            ValidateImage(img);
            return f->UserValue(img, element);
        };
        const int high = f->MaximumIn(start);
        EXPECT_EQ(validatedFrom([&](ParamImage& img, int e) { f->StoreUser(img, e, high + f->step); }, last), high);
        EXPECT_EQ(validatedFrom([&](ParamImage& img, int e) { f->Ref(e).Write(img, rawTop); }, last), high);
        if (c.bounds == UpperOnly)
            continue;
        EXPECT_EQ(validatedFrom([&](ParamImage& img, int e) { f->StoreUser(img, e, f->minimum - f->step); }, 0),
            f->minimum);
        EXPECT_EQ(validatedFrom([&](ParamImage& img, int e) { f->Ref(e).Write(img, 0); }, 0), f->minimum);
    }
}

TEST(ValidateImage, LobeCountHasNoLowerBoundOfItsOwn)
{
    ParamImage img = StartupImage();
    ASSERT_NE(img.Adrb(PICKUP_SYSTEM), 0);
    img.Adrb(LOBE_COUNT) = 0;
    ValidateImage(img);
    EXPECT_EQ(img.Adrb(LOBE_COUNT), 0);
    EXPECT_EQ(LobeByte::Number(img.Adrb(LOBE_START), img.Adrb(PICKUP_SYSTEM)), 1) << "lobe numbers are raised to 1";
}

TEST(ClampSeries, DescendingAndSignedModes)
{
    ParamImage img;
    std::fill_n(&img.Adrb(SERVO_RPM), 4, uint8_t{50});
    ClampSeries(img, ClampWidth::Bytes, -1, SERVO_RPM, 4, 10, 40, 1);
    EXPECT_EQ(bytes(img, SERVO_RPM, 4), (std::vector<int>{40, 39, 38, 37}));

    img.Adrb(SERVO_RPM) = 0xF0; // -16 signed
    img.Adrb(SERVO_RPM + 1) = 0x05;
    ClampSeries(img, ClampWidth::Bytes, 100, SERVO_RPM, 2, -10, 10, 1);
    EXPECT_EQ(static_cast<int8_t>(img.Adrb(SERVO_RPM)), -10);
    EXPECT_EQ(img.Adrb(SERVO_RPM + 1), 5);

    for (int i = 0; i < 3; ++i)
        img.Adrw(ADV_IAP + i) = 100;
    ClampSeries(img, ClampWidth::Words, 1, ADV_IAP, 3, 0, 999, 10);
    EXPECT_EQ(img.Adrw(ADV_IAP + 1), 110) << "words honour the step";
    EXPECT_EQ(img.Adrw(ADV_IAP + 2), 120);
}

TEST(LayoutSelfCheck, SilentForThisLayout)
{
    EXPECT_TRUE(LayoutSelfCheck().empty());
    int shown = 0;
    LayoutSelfCheck([&](const std::string&) { ++shown; });
    EXPECT_EQ(shown, 0);
}
