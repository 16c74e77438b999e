#include "mapedit/MapReference.h"
#include "MapTestSupport.h"
#include "mapedit/MapImageBinding.h"
#include "mapedit/ReferenceDifference.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace {

struct MapReferenceTest : testing::Test {
    ParamImage screenImage = ThrottleMapImage();
    ParamImage referenceImage = ThrottleMapImage();
    MapModel screen;

    void SetUp() override { DefineProgramMap(screen, MapKind::Advance); }
    void Load() { MapImageBinding::LoadProgramMap(screen, MapKind::Advance, screenImage); }
    std::shared_ptr<const MapReference> Reference() const
    {
        return MapReference::Load(MapKind::Advance, referenceImage);
    }
    static uint8_t& AdvanceCell(ParamImage& img, int column, int row)
    {
        return img.Adrb(ADVANCE + MAP_DIM * row + column);
    }
    // Every element of the table (headers as -1) whose value differs from the reference.
    static std::set<std::pair<int, int>> Marked(const MapModel& tab, const MapReference& reference)
    {
        std::set<std::pair<int, int>> marked;
        for (int row = HEADER; row < MAP_DIM; ++row)
            for (int column = HEADER; column < MAP_DIM; ++column)
                if (reference.Differs(tab, column, row))
                    marked.insert({ column, row });
        return marked;
    }
};

} // namespace

TEST_F(MapReferenceTest, MarksExactlyTheElementsThatDiffer)
{
    AdvanceCell(referenceImage, 2, 3) += 5;
    AdvanceCell(referenceImage, 9, 9) -= 1;
    ASSERT_LT(referenceImage.Adrb(RPM_ADV + 9), 250);
    referenceImage.Adrb(RPM_ADV + 9) += 1;
    Load();
    const auto reference = Reference();
    ASSERT_TRUE(reference);
    const std::set<std::pair<int, int>> expected { { 2, 3 }, { 9, 9 }, { 9, HEADER } };
    EXPECT_EQ(Marked(screen, *reference), expected);

    int32_t value = 0;
    ASSERT_TRUE(reference->ValueOf(0, 2, 3, value));
    EXPECT_EQ(value, screen.Sheet().Cell(2, 3) + 5);
    EXPECT_FALSE(reference->ValueOf(0, MAP_DIM, 0, value)) << "outside the reference's table";
    EXPECT_FALSE(reference->Differs(screen, MAP_DIM, 0)) << "outside the screen's table: nothing to mark";
}

TEST_F(MapReferenceTest, TheSameConfigurationMarksNothing)
{
    Load();
    EXPECT_TRUE(Marked(screen, *Reference()).empty());
}

TEST_F(MapReferenceTest, MapsNoImageLoadsHaveNoReference)
{
    EXPECT_FALSE(MapReference::Load(MapKind::Lambda, referenceImage));
    EXPECT_FALSE(MapReference::Load(MapKind::PowerOutB, referenceImage));
    for (MapKind kind : { MapKind::Advance, MapKind::Servo, MapKind::TpSensor, MapKind::IapSensor, MapKind::PowerOutA })
        EXPECT_TRUE(MapReference::Load(kind, referenceImage)) << int(kind);
}

TEST_F(MapReferenceTest, DifferenceHoldsMapMinusReferenceAndPutsTheMapBack)
{
    AdvanceCell(referenceImage, 2, 3) += 5;
    AdvanceCell(referenceImage, 4, 1) -= 3;
    referenceImage.Adrb(BASE_ADV) = static_cast<uint8_t>(screenImage.Adrb(BASE_ADV) + 2);
    Load();
    const auto reference = Reference();
    const MapSheet before = screen.Sheet();
    const int32_t base = screen.BaseAdvance();
    {
        const ReferenceDifference difference(screen, reference.get(), true);
        ASSERT_TRUE(difference.Active());
        const MapSheet& s = screen.Sheet();
        EXPECT_EQ(s.Cell(2, 3), -5);
        EXPECT_EQ(s.Cell(4, 1), 3);
        EXPECT_EQ(s.Cell(0, 0), 0);
        EXPECT_EQ(screen.BaseAdvance(), -2);
        EXPECT_LT(s.axisData.minValue, 0) << "a difference may fall below zero";
        EXPECT_FALSE(s.axisData.fullRange3D);
    }
    const MapSheet& after = screen.Sheet();
    EXPECT_EQ(after.axisData.values, before.axisData.values);
    EXPECT_EQ(after.axisData.minValue, before.axisData.minValue);
    EXPECT_EQ(after.axisData.maxValue, before.axisData.maxValue);
    EXPECT_EQ(after.axisData.fullRange3D, before.axisData.fullRange3D);
    EXPECT_EQ(screen.BaseAdvance(), base);

    const ReferenceDifference off(screen, reference.get(), false);
    const ReferenceDifference none(screen, nullptr, true);
    EXPECT_FALSE(off.Active());
    EXPECT_FALSE(none.Active());
    EXPECT_EQ(screen.Sheet().axisData.values, before.axisData.values);
}
