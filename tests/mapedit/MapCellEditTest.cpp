#include "MapTestSupport.h"
#include "mapedit/MapImageBinding.h"
#include "mapedit/SheetClipboard.h"
#include "model/ParamImage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

namespace {

// A hand-made file: a two-dimensional advance map (TP sensor) whose cell (c, r) holds r + c
// degrees, and a servo map in volts (steps of 0.02 V) holding 2 V everywhere.
ParamImage HandMadeImage()
{
    ParamImage img;
    for (int i = 0; i < MAP_DIM; ++i) {
        img.Adrb(RPM_ADV + i) = static_cast<uint8_t>(10 * (i + 1));
        img.Adrb(SERVO_RPM + i) = static_cast<uint8_t>(10 * (i + 1));
        for (int c = 0; c < MAP_DIM; ++c) {
            img.Adrb(ADVANCE + MAP_DIM * i + c) = static_cast<uint8_t>(100 + i + c);
            img.Adrb(SERVO_MV + MAP_DIM * i + c) = 100;
        }
    }
    img.Adrb(TPSIAP_SENSOR) = 1;
    img.Adrb(ADV_MAPA) = 1;
    img.Adrb(SERVO_MAPA) = 0;
    img.Adrb(SERVO_ENABLE) = 1;
    return img;
}

struct CellEdit : testing::Test {
    MapModel advance, servo;
    RecordingHost host;

    void SetUp() override
    {
        const ParamImage img = HandMadeImage();
        DefineProgramMap(advance, MapKind::Advance);
        MapImageBinding::LoadAdvanceMap(advance, img, MAP_DIM);
        DefineProgramMap(servo, MapKind::Servo);
        MapImageBinding::LoadServoMap(servo, img, MAP_DIM);
        advance.SetHost(&host);
        servo.SetHost(&host);
    }

    // The value a paste of text into the cell leaves there, on a fresh copy of the map.
    static int32_t PastedRaw(MapKind kind, int column, int row, double value)
    {
        MapModel tab;
        DefineProgramMap(tab, kind);
        const ParamImage img = HandMadeImage();
        if (kind == MapKind::Advance)
            MapImageBinding::LoadAdvanceMap(tab, img, MAP_DIM);
        else
            MapImageBinding::LoadServoMap(tab, img, MAP_DIM);
        tab.SelectElement(column, row);
        char text[64];
        std::snprintf(text, sizeof text, "%.4f", value);
        PasteSelectionText(tab, text);
        return tab.Sheet().Cell(column, row);
    }
};

TEST_F(CellEdit, SetRoundsAndClampsExactlyAsAPasteDoes)
{
    const struct {
        MapKind kind;
        double value;
    } cases[] = {
        { MapKind::Advance, 12.0 },
        { MapKind::Advance, 12.4 },
        { MapKind::Advance, -45.0 },
        { MapKind::Advance, 99.0 },
        { MapKind::Servo, 3.03 },
        { MapKind::Servo, 3.011 },
        { MapKind::Servo, 7.5 },
        { MapKind::Servo, -1.0 },
    };
    for (const auto& c : cases) {
        MapModel& tab = c.kind == MapKind::Advance ? advance : servo;
        ASSERT_TRUE(tab.SelectShownCells(1, 0, 1, 0));
        ASSERT_TRUE(tab.CanEditSelectedCells());
        tab.EditSelectedCells(MapModel::EDIT_SET, c.value);
        const int row = tab.Sheet().axisY.EntryAt(0);
        EXPECT_EQ(tab.Sheet().Cell(1, row), PastedRaw(c.kind, 1, row, c.value)) << c.value;
    }
}

TEST_F(CellEdit, AddingOneStepIsWhatThePlusKeyDoesAndStopsAtTheRange)
{
    MapModel keyed;
    DefineProgramMap(keyed, MapKind::Servo);
    MapImageBinding::LoadServoMap(keyed, HandMadeImage(), MAP_DIM);
    for (MapModel* tab : { &servo, &keyed })
        ASSERT_TRUE(tab->SelectShownCells(2, 0, 4, 0));
    const int row = servo.Sheet().axisY.EntryAt(0);
    servo.EditSelectedCells(MapModel::EDIT_ADD, 0.02);
    keyed.StepValues(1);
    for (int c = 0; c < MAP_DIM; ++c)
        EXPECT_EQ(servo.Sheet().Cell(c, row), keyed.Sheet().Cell(c, row)) << c;
    EXPECT_EQ(servo.Sheet().Cell(3, row), 101);

    servo.EditSelectedCells(MapModel::EDIT_ADD, 10.0);
    EXPECT_EQ(servo.Sheet().Cell(3, row), 250) << "held at 5 V, the top of the servo's range";
    servo.EditSelectedCells(MapModel::EDIT_ADD, -0.05);
    EXPECT_EQ(servo.Sheet().Cell(3, row), 248) << "-2.5 steps round to the nearest step";
}

TEST_F(CellEdit, ScaleTakesAPercentageOfEachCellWithinTheRange)
{
    advance.SelectShownCells(0, 0, 9, 9);
    advance.EditSelectedCells(MapModel::EDIT_SCALE, 150.0);
    const MapSheet& s = advance.Sheet();
    EXPECT_EQ(s.Cell(0, 0), 0);
    EXPECT_EQ(s.Cell(3, 0), 5) << "3 x 1.5 = 4.5 rounds away from zero";
    EXPECT_EQ(s.Cell(9, 9), 27);
    advance.EditSelectedCells(MapModel::EDIT_SCALE, 500.0);
    EXPECT_EQ(s.Cell(9, 9), 60) << "held at the map's 60 degrees";
    advance.EditSelectedCells(MapModel::EDIT_SCALE, -100.0);
    EXPECT_EQ(s.Cell(9, 9), -30) << "held at the map's -30 degrees";
}

TEST_F(CellEdit, SmoothKeepsTheSelectionsEdgesAndAveragesInside)
{
    MapSheet& s = advance.Sheet();
    s.Cell(2, 2) = 40; // a spike among cells of 3 .. 6 degrees
    advance.SelectShownCells(1, 1, 4, 4);
    ASSERT_TRUE(advance.EditSelectedCells(MapModel::EDIT_SMOOTH));
    for (int i = 1; i <= 4; ++i) {
        EXPECT_EQ(s.Cell(i, 1), i + 1) << "top edge";
        EXPECT_EQ(s.Cell(i, 4), i + 4) << "bottom edge";
        EXPECT_EQ(s.Cell(1, i), i + 1) << "left edge";
        EXPECT_EQ(s.Cell(4, i), i + 4) << "right edge";
    }
    // (2,2): the 3 x 3 around it held 2 3 4 / 3 40 5 / 4 5 6 = 72, a mean of 8.
    EXPECT_EQ(s.Cell(2, 2), 8);
    // (3,2): 3 4 5 / 40 5 6 / 5 6 7 = 81; (2,3): 3 40 5 / 4 5 6 / 5 6 7 = 81; (3,3): 90.
    EXPECT_EQ(s.Cell(3, 2), 9);
    EXPECT_EQ(s.Cell(2, 3), 9);
    EXPECT_EQ(s.Cell(3, 3), 10);
    EXPECT_EQ(s.Cell(0, 0), 0) << "outside the selection";
    EXPECT_EQ(s.Cell(5, 5), 10);
}

TEST_F(CellEdit, SmoothAlongAOneRowMapKeepsOnlyItsEnds)
{
    MapSheet& s = servo.Sheet();
    ASSERT_TRUE(s.axisY.off) << "the servo map of the file runs over engine speed only";
    const int row = s.axisY.offIndex;
    s.Cell(1, row) = 10;
    s.Cell(2, row) = 40;
    s.Cell(3, row) = 10;
    servo.SelectShownCells(1, 0, 3, 0);
    servo.EditSelectedCells(MapModel::EDIT_SMOOTH);
    EXPECT_EQ(s.Cell(1, row), 10);
    EXPECT_EQ(s.Cell(2, row), 20);
    EXPECT_EQ(s.Cell(3, row), 10);
}

TEST_F(CellEdit, EachEditIsOneCommitAndNothingWithoutCells)
{
    advance.SelectShownCells(0, 0, 3, 3);
    for (auto edit : { MapModel::EDIT_SET, MapModel::EDIT_ADD, MapModel::EDIT_SCALE, MapModel::EDIT_SMOOTH }) {
        host.commits.clear();
        advance.EditSelectedCells(edit, edit == MapModel::EDIT_SCALE ? 120.0 : 7.0);
        EXPECT_EQ(host.commits, std::vector<int> { AXIS_DATA }) << edit;
    }
    host.commits.clear();
    advance.SelectAllHeaders(true);
    EXPECT_FALSE(advance.CanEditSelectedCells()) << "a selection of engine speeds has no cells";
    EXPECT_FALSE(advance.EditSelectedCells(MapModel::EDIT_SET, 5.0));
    advance.SelectShownCells(0, 0, 0, 0);
    EXPECT_FALSE(advance.EditSelectedCells(MapModel::EDIT_ADD, std::nan("")));
    EXPECT_TRUE(host.commits.empty());
}

TEST_F(CellEdit, ShownPositionsFollowASwitchedOffAxis)
{
    const MapSheet& s = servo.Sheet();
    EXPECT_FALSE(servo.SelectShownCells(0, 0, 0, 1)) << "a one-row map shows one row";
    EXPECT_FALSE(servo.SelectShownCells(0, 0, s.axisX.count, 0));
    EXPECT_FALSE(servo.SelectShownCells(3, 0, 2, 0));
    ASSERT_TRUE(servo.SelectShownCells(0, 0, 0, 0));
    EXPECT_TRUE(s.selection.IsSelected(0, s.axisY.offIndex));
}

} // namespace
