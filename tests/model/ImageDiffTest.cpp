#include "model/ImageDiff.h"
#include "model/BikePresets.h"
#include "model/FieldFacts.h"
#include "model/ImageDefaults.h"
#include "model/ImageValidation.h"
#include "model/MapFacts.h"
#include "model/SettingNames.h"

#include "lang/LangString.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

namespace {

using Kind = ImageDifference::Kind;

// The start-up image and a copy the test changes; the comparison runs from the first to the second.
struct ImageDiffTest : testing::Test {
    ParamImage first = StartupImage();
    ParamImage second = first;

    std::vector<ImageDifference> Compare(int language = LANG_ENGLISH) const
    {
        return ImageDiff::Compare(first, second, language);
    }
    // Both images with the same change, so that only what the test changes afterwards differs.
    void SetBoth(int address, int value)
    {
        first.Adrb(address) = static_cast<uint8_t>(value);
        second.Adrb(address) = static_cast<uint8_t>(value);
    }
    void SetCell(ParamImage& img, int row, int column, int degrees)
    {
        img.Adrb(ADVANCE + MAP_DIM * row + column) = static_cast<uint8_t>(degrees + 100);
    }
};

TEST_F(ImageDiffTest, EqualImagesHaveNoDifference)
{
    EXPECT_TRUE(Compare().empty());
    second.Adrb(LIMITER) = 90;
    second.Adrb(LIMITER) = first.Adrb(LIMITER);
    EXPECT_TRUE(Compare().empty());
}

TEST_F(ImageDiffTest, AChangedLimiterIsOneSettingNamedByItsCaptionWithBothValuesInRpm)
{
    ASSERT_EQ(first.Adrb(LIMITER), 110);
    second.Adrb(LIMITER) = 95;
    const auto diff = Compare();
    ASSERT_EQ(diff.size(), 1u);
    const ImageDifference& d = diff[0];
    EXPECT_EQ(d.kind, Kind::Setting);
    EXPECT_EQ(d.fact, &Fact("LIMITER"));
    EXPECT_EQ(d.byte, LIMITER);
    EXPECT_EQ(d.name, "Limiter [rpm]");
    EXPECT_EQ(d.first, "11000 rpm");
    EXPECT_EQ(d.second, "9500 rpm");
    EXPECT_EQ(d.firstRaw, 110);
    EXPECT_EQ(d.secondRaw, 95);
    EXPECT_EQ(ImageDiff::Line(d), "Limiter [rpm]: 11000 rpm -> 9500 rpm");
}

TEST_F(ImageDiffTest, AChangedAdvanceCellIsNamedByMapRowAndColumnOfTheFirstImage)
{
    SetBoth(TPSIAP_SENSOR, 1);
    SetBoth(ADV_MAPA, 1);
    SetCell(second, 4, 5, 40);
    auto diff = Compare();
    ASSERT_EQ(diff.size(), 1u);
    EXPECT_EQ(diff[0].kind, Kind::MapCell);
    EXPECT_EQ(diff[0].map, MapId::Advance);
    EXPECT_EQ(diff[0].row, 4);
    EXPECT_EQ(diff[0].column, 5);
    EXPECT_EQ(diff[0].byte, ADVANCE + 45);
    // Row 5 of the default map at 6000 rpm holds 33 degrees; the TP sensor's fifth point is 20 %.
    EXPECT_EQ(ImageDiff::Line(diff[0]), "Advance map, TP 20 %, 6000 rpm: 33° -> 40°");

    // With an IAP sensor the rows are the map's pressures; the labels follow the first image.
    SetBoth(TPSIAP_SENSOR, 2);
    second.Adrb(RPM_ADV + 5) = 65;
    diff = Compare();
    ASSERT_EQ(diff.size(), 2u);
    EXPECT_EQ(ImageDiff::Line(diff[0]), "Advance map, Speed point 6: 6000 rpm -> 6500 rpm");
    EXPECT_EQ(diff[0].kind, Kind::MapAxis);
    EXPECT_EQ(diff[0].column, 5);
    EXPECT_EQ(diff[0].row, -1);
    EXPECT_EQ(diff[1].name, "Advance map, 75 kPa, 6000 rpm");
}

TEST_F(ImageDiffTest, TheLineOfAMapKeptAsOneCurveIsNamedForAllLoads)
{
    // Without a load sensor the advance map is one curve over speed: its last row, full throttle.
    ASSERT_EQ(first.Adrb(TPSIAP_SENSOR), 0);
    SetCell(second, MAP_DIM - 1, 2, 20);
    auto diff = Compare();
    ASSERT_EQ(diff.size(), 1u);
    EXPECT_EQ(ImageDiff::Line(diff[0]), "Advance map, all loads, 3000 rpm: 15° -> 20°");
    EXPECT_EQ(diff[0].row, MAP_DIM - 1);

    // The rows the editor does not show are still kept by the unit, and listed by their row.
    SetCell(second, 0, 2, 25);
    diff = Compare();
    ASSERT_EQ(diff.size(), 2u);
    EXPECT_EQ(ImageDiff::Line(diff[0]), "Advance map, Row 1, 3000 rpm: 16° -> 25°");

    // Once one image keeps the whole map, every row is a row of its own.
    second.Adrb(TPSIAP_SENSOR) = 1;
    second.Adrb(ADV_MAPA) = 1;
    diff = Compare();
    ASSERT_EQ(diff.size(), 4u);
    EXPECT_EQ(diff[3].name, "Advance map, Row 10, 3000 rpm");
}

TEST_F(ImageDiffTest, ServoCellsShowVoltsOrPercentAsTheirImageHoldsThem)
{
    SetBoth(TPSIAP_SENSOR, 1);
    SetBoth(SERVO_MAPA, 2);
    second.Adrb(SERVO_MV + 12) = 150;
    auto diff = Compare();
    ASSERT_EQ(diff.size(), 1u);
    EXPECT_EQ(ImageDiff::Line(diff[0]), "Servo map, TP 2 %, 3000 rpm: 2.20 V -> 3.00 V");

    // A curve over load is the first column, for every speed.
    SetBoth(SERVO_MAPA, 1);
    first.Adrb(SERVO_MV + MAP_DIM * 3) = 103;
    second = first;
    second.Adrb(SERVO_MV + MAP_DIM * 3) = 50;
    second.Adrb(SERVO_PERCENT) = 1;
    diff = Compare();
    ASSERT_EQ(diff.size(), 2u);
    EXPECT_EQ(diff[0].fact, &Fact("SERVO_PERCENT"));
    EXPECT_EQ(ImageDiff::Line(diff[0]), "Servo, Percent: Off -> On");
    EXPECT_EQ(ImageDiff::Line(diff[1]), "Servo map, TP 10 %, all speeds: 2.06 V -> 50 %");
}

TEST_F(ImageDiffTest, ChangingTheBikeListsTheBikeAndEveryFieldItsPresetDrags)
{
    second.Adrb(BIKE) = 5;
    ApplyBikePreset(second, LoadGroups::All());
    ValidateImage(second);

    std::set<std::pair<const FieldFact*, int>> changed;
    for (int b = 0; b < RS_LEN_EXE; ++b)
        if (first.Adrb(b) != second.Adrb(b)) {
            const FieldFacts::Place p = FieldFacts::AtByte(b);
            ASSERT_NE(p.fact, nullptr) << "a preset writes only settings, not byte " << b;
            changed.insert({ p.fact, p.element });
        }
    ASSERT_GE(changed.size(), 3u) << "the preset moves the trigger settings along";

    const auto diff = Compare();
    std::set<std::pair<const FieldFact*, int>> listed;
    for (const ImageDifference& d : diff) {
        EXPECT_EQ(d.kind, Kind::Setting) << d.name;
        EXPECT_NE(d.first, d.second) << d.name;
        listed.insert({ d.fact, d.element });
    }
    EXPECT_EQ(listed, changed);
    EXPECT_EQ(diff.size(), changed.size()) << "one row per element";
    ASSERT_EQ(diff[0].fact, &Fact("BIKE")) << "the bike comes first, as on its page";
    EXPECT_EQ(ImageDiff::Line(diff[0]), "Motorbike type: Yamaha R6 -> Honda VT 600 Shadow");
    EXPECT_EQ(ImageDiff::Line(diff[1]),
        "Synchronization method: Short gap between lobes (inserted lobe) -> 2 pick-ups, missing lobe");
}

TEST_F(ImageDiffTest, BytesOfNoNamedSettingAreReportedAsBytes)
{
    // Unused bytes, a reserved dwell byte, and the high bits of a switching cell byte.
    for (int b : { 60, 83, 99, 160, 185 })
        second.Adrb(b) ^= 0x21;
    second.Adrb(POWER_OUT_CELLS + 4) ^= 0x80;
    const auto diff = Compare(LANG_ENGLISH);
    ASSERT_EQ(diff.size(), 6u);
    const std::vector<int> bytes { 60, 83, 99, POWER_OUT_CELLS + 4, 160, 185 };
    for (size_t i = 0; i < diff.size(); ++i) {
        EXPECT_EQ(diff[i].kind, Kind::Byte);
        EXPECT_EQ(diff[i].byte, bytes[i]);
        EXPECT_EQ(diff[i].name, "byte " + std::to_string(bytes[i]));
    }
    EXPECT_EQ(diff[2].fact, &Fact("DWELL")) << "a reserved byte still tells its field";
    EXPECT_EQ(ImageDiff::Line(diff[0]), "byte 60: 0 -> 33");
    EXPECT_EQ(Compare(LANG_CZECH)[0].name, "bajt 60");
}

// The unit keeps all 400 bytes and a Read brings every one back, so no byte may go unreported.
TEST_F(ImageDiffTest, EveryByteOfTheImageIsCompared)
{
    for (int b = 0; b < RS_LEN_EXE; ++b) {
        second = first;
        second.Adrb(b) ^= 0x01;
        const auto diff = Compare();
        ASSERT_FALSE(diff.empty()) << "byte " << b;
        const FieldFacts::Place p = FieldFacts::AtByte(b);
        const bool found = std::any_of(diff.begin(), diff.end(), [&](const ImageDifference& d) {
            return d.byte == b || (p.fact && d.fact == p.fact && d.element == p.element);
        });
        EXPECT_TRUE(found) << "byte " << b;
        for (const ImageDifference& d : diff)
            EXPECT_FALSE(d.name.empty()) << "byte " << b;
    }
}

TEST_F(ImageDiffTest, AWordFieldIsOneDifferenceWhicheverOfItsBytesChanged)
{
    second.Adrw(TPS + 1) = 3790 + 1;
    second.Adrw(ADV_IAP + 2) = 60 + 256;
    const auto diff = Compare();
    ASSERT_EQ(diff.size(), 2u);
    EXPECT_EQ(ImageDiff::Line(diff[0]), "TP sensor, point 2, Voltage: 3790 mV -> 3791 mV");
    EXPECT_EQ(ImageDiff::Line(diff[1]), "Advance map, Load point 3: 60 kPa -> 316 kPa");
}

TEST_F(ImageDiffTest, PowerOutputCellsAreNamedByTheirLoadAndSpeedRegions)
{
    // Output 2, load row 0 (below the first load point), speed column 3 (above the last rpm point).
    second.Adrb(POWER_OUT_CELLS + 3) ^= 1 << 3;
    second.Adrb(POWER_OUT_HYST + 1) = 12;
    const auto diff = Compare();
    ASSERT_EQ(diff.size(), 2u);
    EXPECT_EQ(ImageDiff::Line(diff[0]), "Power out 2, Hysteresis [RPM]: 100 rpm -> 120 rpm");
    EXPECT_EQ(diff[1].map, MapId::PowerOut2);
    EXPECT_EQ(diff[1].row, 0);
    EXPECT_EQ(diff[1].column, 3);
    EXPECT_EQ(ImageDiff::Line(diff[1]), "Power out 2, TP < 75 %, > 14000 rpm: On -> Off");
}

TEST_F(ImageDiffTest, NamesAndValuesFollowTheChosenLanguage)
{
    second.Adrb(LIMITER) = 95;
    second.Adrb(PICKUP_POLARITY + 1) = 1;
    second.Adrb(INPUT1) = 5;
    second.Adrb(CORR_ADVANCE + 2) = 103;
    struct Case {
        int language;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        { LANG_GERMAN,
            { "Geber 2, Polarität des Gebers: Auto -> Minus", "Begrenzer [rpm]: 11000 rpm -> 9500 rpm",
                "Multifunktionseingang 1 (Pin 8): Blockierung -> Spätzündung",
                "Zylinder 3, Vorzündungskorrektur: 0° -> 3°" } },
        { LANG_CZECH,
            { "Snímač 2, Polarita snímače: Auto -> Minus", "Omezovač [rpm]: 11000 rpm -> 9500 rpm",
                "Multifunkční vstup 1 (pin 8): Blokování -> Snížení předstihu",
                "Válec 3, Korekce předstihu: 0° -> 3°" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        const auto diff = Compare(c.language);
        ASSERT_EQ(diff.size(), c.lines.size());
        for (size_t i = 0; i < diff.size(); ++i)
            EXPECT_EQ(ImageDiff::Line(diff[i]), c.lines[i]);
    }

    SetBoth(TPSIAP_SENSOR, 1);
    SetBoth(ADV_MAPA, 1);
    second = first;
    SetCell(second, 9, 0, 11);
    EXPECT_EQ(ImageDiff::Line(Compare(LANG_CZECH).at(0)), "Mapa předstihu, TP 100 %, 1500 rpm: 10° -> 11°");
    EXPECT_EQ(Compare(LANG_GERMAN).at(0).name, "Vorzündungskarte, TP 100 %, 1500 rpm");
}

// Every element the window shows gets a name of its own, in every language: never the field's
// identifier, never the same name as another element.
TEST(SettingNames, EveryShownElementHasItsOwnName)
{
    for (int language = 0; language < LANG_COUNT; ++language) {
        std::set<std::string> names;
        for (const FieldFact& f : FieldFacts::All()) {
            if (f.kind == FieldKind::Reserved || MapFacts::OfCells(f) || MapFacts::OfAxis(f))
                continue;
            for (int e = 0; e < f.count; ++e) {
                const std::string name = SettingNames::Name(f, e, language);
                EXPECT_FALSE(name.empty()) << f.name << e;
                EXPECT_EQ(name.find(f.name), std::string::npos) << name;
                EXPECT_TRUE(names.insert(name).second) << name << " in language " << language;
            }
        }
    }
    EXPECT_EQ(SettingNames::Name(Fact("DWELL"), 0), "") << "reserved bytes are no settings";
}

} // namespace
