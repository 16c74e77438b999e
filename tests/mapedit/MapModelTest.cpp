#include "MapTestSupport.h"
#include "mapedit/FormatAxisValue.h"

#include <gtest/gtest.h>

namespace {

class AdvanceMap : public ::testing::Test {
protected:
    void SetUp() override
    {
        DefineProgramMap(tab, MapKind::Advance);
        tab.SetHost(&host);
        FillSheet(tab, AdvanceRpm, TpPoints);
    }
    std::vector<int> X() const
    {
        const MapAxis& a = tab.Sheet().axisX;
        return std::vector<int>(a.values.begin(), a.values.begin() + a.count);
    }
    void SetX(int index, int value)
    {
        tab.NoteChange(0, 0);
        tab.Sheet().axisX.values[index] = value;
        tab.NoteChange(AXIS_X, 0);
    }
    void Tick(int n)
    {
        for (int i = 0; i < n; ++i) {
            tab.TabTick();
            ui.Tick();
        }
    }
    MapModel tab;
    MapInteraction ui { tab };
    RecordingHost host;
};

TEST_F(AdvanceMap, DraggedValuePushesNeighboursAsideAndTheySpringBack)
{
    SetX(2, 45);
    EXPECT_EQ(X(), (std::vector<int> { 10, 20, 45, 46, 50, 60, 70, 80, 90, 100 }));
    SetX(2, 62);
    EXPECT_EQ(X(), (std::vector<int> { 10, 20, 62, 63, 64, 65, 70, 80, 90, 100 }));
    SetX(2, 25);
    EXPECT_EQ(X(), (std::vector<int> { 10, 20, 25, 40, 50, 60, 70, 80, 90, 100 }));
    SetX(2, 5);
    EXPECT_EQ(X(), (std::vector<int> { 3, 4, 5, 40, 50, 60, 70, 80, 90, 100 }));
    SetX(2, 30);
    EXPECT_EQ(X(), AdvanceRpm);
}

TEST_F(AdvanceMap, SeveralChangedValuesAreOrderedUpward)
{
    tab.NoteChange(0, 0);
    for (int i = 0; i < 10; ++i)
        tab.Sheet().axisX.values[i] = 50;
    tab.NoteChange(AXIS_X, 0);
    EXPECT_EQ(X(), (std::vector<int> { 50, 51, 52, 53, 54, 55, 56, 57, 58, 59 }));
}

TEST_F(AdvanceMap, UpperBoundLeavesRoomForTheFollowingColumns)
{
    for (int i : { 0, 4, 9 }) {
        FillSheet(tab, AdvanceRpm, TpPoints);
        tab.NoteChange(0, 0);
        tab.Sheet().axisX.values[9] = 250;
        tab.NoteChange(AXIS_X, 0);
        SetX(i, 1000);
        EXPECT_EQ(tab.Sheet().axisX.values[i], 250 - (9 - i)) << i;
        EXPECT_EQ(tab.Sheet().axisX.values[9], 250);
    }
}

TEST_F(AdvanceMap, DataIsClampedToItsLimits)
{
    tab.NoteChange(0, 0);
    tab.Sheet().Cell(3, 3) = 100;
    tab.Sheet().Cell(4, 3) = -100;
    tab.NoteChange(AXIS_DATA, 0);
    EXPECT_EQ(tab.Sheet().Cell(3, 3), 60);
    EXPECT_EQ(tab.Sheet().Cell(4, 3), -30);
}

TEST_F(AdvanceMap, UseOnlyRpmShowsTheLastRow)
{
    EXPECT_TRUE(tab.UseAxes(CMD_ONLY_X));
    EXPECT_TRUE(tab.Sheet().axisY.off);
    EXPECT_EQ(tab.Sheet().axisY.offIndex, 9);
    EXPECT_EQ(tab.ShownRows(), 1);
    EXPECT_FALSE(tab.UseAxes(CMD_ONLY_Y)) << "the advance map's engine-speed axis cannot be switched off";
    EXPECT_TRUE(tab.UseAxes(CMD_BOTH));
    EXPECT_FALSE(tab.Sheet().axisY.off);
    EXPECT_EQ(host.commits, (std::vector<int> { 7, 7 }));
}

TEST_F(AdvanceMap, RepeatedStepsOnOneTargetCommitOnceFiveTicksLater)
{
    tab.SetEngineRpm(2500);
    tab.SetThrottle(40);
    tab.LocateOperatingPoint();
    ASSERT_EQ(tab.Sheet().opState, 1);
    tab.StepValues(1);
    Tick(2);
    tab.StepValues(1);
    Tick(4);
    EXPECT_TRUE(host.commits.empty());
    Tick(1);
    EXPECT_EQ(host.commits, (std::vector<int> { AXIS_DATA }));
    EXPECT_EQ(tab.Sheet().Cell(tab.Sheet().opColumn, tab.Sheet().opRow), 2);
}

TEST_F(AdvanceMap, AStepOnAnotherTargetCommitsTheEarlierAtOnce)
{
    tab.SetEngineRpm(2500);
    tab.SetThrottle(40);
    tab.LocateOperatingPoint();
    tab.StepValues(1);
    tab.SelectElement(0, 0);
    tab.StepValues(1);
    EXPECT_EQ(host.commits.size(), 1u);
    Tick(5);
    EXPECT_EQ(host.commits.size(), 2u);
}

TEST_F(AdvanceMap, LiveStepFindsTheOperatingCellOrTheBaseAdvance)
{
    tab.SetEngineRpm(2500);
    tab.SetThrottle(40);
    tab.LocateOperatingPoint();
    EXPECT_EQ(tab.Sheet().opColumn, 2) << "2500 rpm is the midpoint of 2000 and 3000 and goes to the upper";
    EXPECT_EQ(tab.Sheet().opRow, 6);
    tab.StepValues(-1);
    EXPECT_EQ(tab.Sheet().Cell(2, 6), -1);

    tab.SetEngineRpm(800);
    tab.LocateOperatingPoint();
    EXPECT_EQ(tab.Sheet().opColumn, -1);
    tab.SetBaseAdvance(10);
    tab.StepValues(1);
    EXPECT_EQ(tab.BaseAdvance(), 11);
}

TEST_F(AdvanceMap, OperatingStateFollowsTheMonitorStatus)
{
    tab.SetEngineRpm(3000);
    tab.SetThrottle(50);
    struct Case {
        int status;
        int state;
    } cases[] = { { 0, 1 }, { 1, 2 }, { 0x10, -1 }, { 0x20, 1 } };
    for (const Case& c : cases) {
        tab.SetMonitorStatus(c.status);
        tab.LocateOperatingPoint();
        EXPECT_EQ(tab.Sheet().opState, c.state) << c.status;
    }
    tab.SetMonitorStatus(0);
    tab.SetEngineRpm(0);
    tab.LocateOperatingPoint();
    EXPECT_EQ(tab.Sheet().opState, 0);
}

TEST(ServoMap, BelowTheFirstColumnIsColumnZero)
{
    MapModel tab;
    DefineProgramMap(tab, MapKind::Servo);
    FillSheet(tab, AdvanceRpm, TpPoints);
    EXPECT_EQ(tab.Sheet().axisX.count, 10) << "15 columns are clamped to the 10 the map holds";
    tab.SetEngineRpm(500);
    tab.SetThrottle(0);
    tab.LocateOperatingPoint();
    EXPECT_EQ(tab.Sheet().opColumn, 0);
    EXPECT_EQ(tab.Sheet().opState, 1);
}

TEST_F(AdvanceMap, InsertedColumnTakesTheAveragesTruncatedTowardZero)
{
    tab.Sheet().axisX.count = 4;
    FillSheet(tab, { 10, 20, 30, 40 }, TpPoints);
    tab.Sheet().Cell(1, 0) = -3;
    tab.Sheet().Cell(2, 0) = 4;
    tab.Sheet().Cell(1, 1) = 7;
    tab.Sheet().Cell(2, 1) = 10;
    ASSERT_TRUE(tab.InsertLine(true, 2));
    EXPECT_EQ(X(), (std::vector<int> { 10, 20, 25, 30, 40 }));
    EXPECT_EQ(tab.Sheet().Cell(2, 0), 0);
    EXPECT_EQ(tab.Sheet().Cell(2, 1), 8);
    EXPECT_EQ(tab.Sheet().Cell(3, 1), 10);
    EXPECT_TRUE(tab.Sel().IsSelected(2, 5));
    EXPECT_EQ(host.commits, (std::vector<int> { AXIS_X | AXIS_DATA }));

    tab.Sheet().Cell(4, 1) = 12;
    ASSERT_TRUE(tab.InsertLine(true, 5));
    EXPECT_EQ(X(), (std::vector<int> { 10, 20, 25, 30, 40, 41 })) << "a copy of the last column, pushed into order";
    EXPECT_EQ(tab.Sheet().Cell(5, 1), 12);
}

TEST_F(AdvanceMap, InsertOnAFullAxisShowsTheMessage)
{
    EXPECT_FALSE(tab.InsertLine(true, 3));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].rfind("Column count is on maximum !", 0), 0u);
    EXPECT_FALSE(tab.InsertLine(false, 3)) << "the load axis is not resizable";
    EXPECT_EQ(host.messages.size(), 1u);
}

TEST_F(AdvanceMap, DeletingStopsAtOneColumn)
{
    for (int i = 0; i < 12; ++i)
        tab.ApplyCommand(CMD_REMOVE_COLUMN);
    EXPECT_EQ(tab.Sheet().axisX.count, 1);
    EXPECT_EQ(host.commits.size(), 9u);
}

TEST_F(AdvanceMap, DeleteSelectedLinesRemovesWholeColumnsOnly)
{
    tab.Sheet().Cell(4, 0) = 44;
    ui.BeginBand(SEL_WHOLE_COLUMNS, 1, 0, false, false);
    ui.DragBand(2, 0);
    ui.EndBand();
    EXPECT_EQ(tab.CountDeletableLines(true), 2);
    EXPECT_TRUE(tab.DeleteSelectedLines(true));
    EXPECT_EQ(X(), (std::vector<int> { 10, 40, 50, 60, 70, 80, 90, 100 }));
    EXPECT_EQ(tab.Sheet().Cell(2, 0), 44);
    EXPECT_EQ(tab.Sel().count, 0);
}

TEST_F(AdvanceMap, InterpolationWeighsByProportionalAxisValues)
{
    FillSheet(tab, { 10, 15, 30, 40, 50, 60, 70, 80, 90, 100 }, TpPoints);
    tab.Sheet().Cell(0, 0) = 10;
    tab.Sheet().Cell(2, 0) = 20;
    ui.BeginBand(SEL_CELLS, 0, 0, false, false);
    ui.DragBand(2, 0);
    ui.EndBand();
    ASSERT_TRUE(tab.Sel().interpolable);
    EXPECT_TRUE(tab.Sel().Mark(0, 0) & MARK_CORNER);
    ASSERT_TRUE(tab.InterpolateSelection());
    EXPECT_EQ(tab.Sheet().Cell(0, 0), 10);
    EXPECT_EQ(tab.Sheet().Cell(1, 0), 13);
    EXPECT_EQ(tab.Sheet().Cell(2, 0), 20);
}

TEST_F(AdvanceMap, TwoBySelectionIsNotInterpolable)
{
    ui.BeginBand(SEL_CELLS, 0, 0, false, false);
    ui.DragBand(1, 1);
    ui.EndBand();
    EXPECT_FALSE(tab.Sel().interpolable);
    EXPECT_EQ(tab.Sel().count, 4);
}

TEST_F(AdvanceMap, TypedValuesRoundHalfAwayFromZero)
{
    struct Case {
        const char* typed;
        int stored;
    } cases[] = { { "-2,5", -3 }, { "2.4", 2 }, { "2.5", 3 }, { " 1 2", 12 }, { "abc", 5 }, { "", 5 } };
    for (const Case& c : cases) {
        tab.Sheet().Cell(1, 1) = 5;
        tab.SelectElement(1, 1);
        ASSERT_TRUE(ui.BeginCellEdit(1, 1, true));
        for (const char* p = c.typed; *p; ++p)
            ui.EditKey(*p);
        ui.EditKey(KEY_ENTER);
        EXPECT_EQ(tab.Sheet().Cell(1, 1), c.stored) << c.typed;
        EXPECT_FALSE(tab.Editing());
    }
}

TEST_F(AdvanceMap, KeysStartEditsAndStepOutsideThem)
{
    tab.SelectElement(2, 2);
    ui.OnKey('7', false, false);
    ASSERT_TRUE(tab.Editing());
    ui.OnKey('-', false, false);
    EXPECT_EQ(tab.EditText(), "7-");
    ui.OnKey(KEY_BACKSPACE, false, false);
    ui.OnKey('+', false, false);
    EXPECT_EQ(tab.EditText(), "7") << "plus is ignored while editing";
    ui.OnKey(KEY_ENTER, false, false);
    EXPECT_EQ(tab.Sheet().Cell(2, 2), 7);
    ui.OnKey('-', false, false);
    EXPECT_EQ(tab.Sheet().Cell(2, 2), 6) << "outside an edit minus steps the selection";
    ui.OnKey(KEY_ESC, false, false);
    EXPECT_EQ(tab.Sel().count, 0);
}

TEST_F(AdvanceMap, EditAcceptsSixteenCharactersAndReplacesTheSelection)
{
    ASSERT_TRUE(ui.BeginCellEdit(0, 0, true));
    for (int i = 0; i < 20; ++i)
        ui.EditKey('1');
    EXPECT_EQ(tab.EditText().size(), 16u);
    ui.SetModifiers(true, false);
    ui.EditKey(KEY_HOME);
    ui.SetModifiers(false, false);
    ui.EditKey('4');
    EXPECT_EQ(tab.EditText(), "4");
    ui.EditKey(KEY_ESC);
    EXPECT_EQ(tab.Sheet().Cell(0, 0), 0);
}

TEST_F(AdvanceMap, CaretBlinksEveryEightTicksAndShowsAgainOnAKey)
{
    ASSERT_TRUE(ui.BeginCellEdit(1, 1, true));
    Tick(7);
    EXPECT_TRUE(ui.CaretVisible());
    Tick(1);
    EXPECT_FALSE(ui.CaretVisible());
    EXPECT_TRUE(ui.CaretBlinked()) << "the caret is redrawn when it goes";
    ui.EditKey('5');
    EXPECT_TRUE(ui.CaretVisible()) << "typing shows the caret at once";
    Tick(8);
    EXPECT_FALSE(ui.CaretVisible());
    Tick(8);
    EXPECT_TRUE(ui.CaretVisible());
}

TEST_F(AdvanceMap, HeaderEditStoresRawAxisUnits)
{
    ASSERT_TRUE(ui.BeginCellEdit(4, -1, false));
    EXPECT_EQ(tab.EditText(), "5 000");
    tab.SetEditText("5449");
    tab.CommitCellEdit();
    EXPECT_EQ(tab.Sheet().axisX.values[4], 54);
    EXPECT_FALSE(ui.BeginCellEdit(-1, 4, false)) << "the TP axis of the advance map is fixed";
}

TEST_F(AdvanceMap, CursorCyclesThroughTheHeaders)
{
    struct Case {
        int fromColumn, fromRow, key, toColumn, toRow;
    } cases[] = {
        { 9, 3, KEY_RIGHT, -1, 3 },
        { -1, 3, KEY_RIGHT, 0, 3 },
        { 0, 3, KEY_LEFT, -1, 3 },
        { -1, 3, KEY_LEFT, 9, 3 },
        { 9, -1, KEY_RIGHT, 0, -1 },
        { 4, 9, KEY_DOWN, 4, -1 },
        { 4, -1, KEY_UP, 4, 9 },
        { 4, 9, KEY_ENTER, 5, -1 },
        { 4, 4, KEY_HOME, 0, 4 },
        { 4, 4, KEY_PAGE_DOWN, 4, 9 },
    };
    for (const Case& c : cases) {
        tab.SelectElement(c.fromColumn, c.fromRow);
        ui.MoveCursor(c.key);
        EXPECT_EQ(tab.Sel().startColumn, c.toColumn) << c.fromColumn << "," << c.fromRow << " key " << c.key;
        EXPECT_EQ(tab.Sel().startRow, c.toRow) << c.fromColumn << "," << c.fromRow << " key " << c.key;
    }
}

TEST_F(AdvanceMap, ShiftExtendsFromTheStartElement)
{
    tab.SelectElement(1, 1);
    ui.SetModifiers(true, false);
    ui.MoveCursor(KEY_RIGHT);
    ui.MoveCursor(KEY_DOWN);
    EXPECT_EQ(tab.Sel().count, 4);
    EXPECT_TRUE(tab.Sel().IsSelected(2, 2));
    EXPECT_EQ(tab.Sel().startColumn, 1);
}

TEST_F(AdvanceMap, HeldArrowStepsOnReleaseOrRepeatsFromTheSixteenthTick)
{
    ui.SetHovered(true, 3, 3);
    ui.PressArrow(true);
    Tick(10);
    ui.ReleaseArrow();
    EXPECT_EQ(tab.Sheet().Cell(3, 3), 1);

    ui.PressArrow(true);
    Tick(15);
    EXPECT_EQ(tab.Sheet().Cell(3, 3), 1);
    Tick(1);
    EXPECT_EQ(tab.Sheet().Cell(3, 3), 2);
    Tick(3);
    ui.ReleaseArrow();
    EXPECT_EQ(tab.Sheet().Cell(3, 3), 5) << "no extra step on release after repeating";
}

TEST_F(AdvanceMap, FastRepeatStepsByTenOnMarkedAxes)
{
    tab.Sheet().flags |= SF_FAST_DATA;
    tab.Sheet().axisData.maxValue = 1000;
    ui.SetHovered(true, 3, 3);
    ui.PressArrow(true);
    Tick(35);
    EXPECT_EQ(tab.Sheet().Cell(3, 3), 20);
    Tick(4);
    EXPECT_EQ(tab.Sheet().Cell(3, 3), 40);
    ui.ReleaseArrow();
}

TEST_F(AdvanceMap, FillDragExtendsRowsLinearly)
{
    for (int c = 0; c < 10; ++c)
        tab.Sheet().Cell(c, 0) = 0;
    tab.Sheet().Cell(2, 0) = 4;
    tab.Sheet().Cell(3, 0) = 6;
    ui.BeginBand(SEL_CELLS, 2, 0, false, false);
    ui.DragBand(3, 0);
    ui.EndBand();
    ASSERT_TRUE(ui.BeginBlockDrag(1, 3, 0));
    ui.UpdateBlockDrag(6, 2);
    ui.FinishBlockDrag();
    const int expected[] = { 0, 0, 4, 6, 8, 10, 12, 0 };
    for (int c = 0; c < 8; ++c)
        for (int r = 0; r <= 2; ++r)
            EXPECT_EQ(tab.Sheet().Cell(c, r), c < 2 || c > 6 ? 0 : expected[c]) << c << "," << r;
    EXPECT_EQ(tab.Sel().count, 15);
    EXPECT_EQ(host.commits, (std::vector<int> { AXIS_DATA }));
}

TEST_F(AdvanceMap, FillOfOneElementCopiesIt)
{
    tab.Sheet().Cell(1, 1) = 9;
    tab.SelectElement(1, 1);
    ASSERT_TRUE(ui.BeginBlockDrag(1, 1, 1));
    ui.UpdateBlockDrag(0, 3);
    ui.FinishBlockDrag();
    EXPECT_EQ(tab.Sheet().Cell(0, 3), 9);
    EXPECT_EQ(tab.Sheet().Cell(1, 2), 9);
}

TEST_F(AdvanceMap, MoveDragCopiesTheBlockAndStaysInsideTheTable)
{
    tab.Sheet().Cell(0, 0) = 1;
    tab.Sheet().Cell(1, 0) = 2;
    ui.BeginBand(SEL_CELLS, 0, 0, false, false);
    ui.DragBand(1, 0);
    ui.EndBand();
    ASSERT_TRUE(ui.BeginBlockDrag(2, 0, 0));
    ui.UpdateBlockDrag(20, 1);
    ui.FinishBlockDrag();
    EXPECT_EQ(tab.Sheet().Cell(8, 1), 1);
    EXPECT_EQ(tab.Sheet().Cell(9, 1), 2);
    EXPECT_EQ(tab.Sheet().Cell(0, 0), 1) << "the source stays";
}

TEST_F(AdvanceMap, TabWalksSheetsAndCtrlTabReturns)
{
    MapModel two;
    MapInteraction twoUi(two);
    DefineProgramMap(two, MapKind::Advance);
    two.AddSheet("B", "RPM", "TP", "ADV", 10, 10, 1);
    two.AddSheet("C", "RPM", "TP", "ADV", 10, 10, 1);
    two.SheetAt(1).hidden = 1;
    twoUi.OnKey(KEY_TAB, false, false);
    EXPECT_EQ(two.ActiveSheet(), 2);
    twoUi.OnKey(KEY_TAB, true, false);
    EXPECT_EQ(two.ActiveSheet(), 0);
    twoUi.OnKey(KEY_TAB, false, true);
    EXPECT_EQ(two.ActiveSheet(), 2);
}

TEST(MapModelLimits, NinthSheetIsRefused)
{
    MapModel tab;
    for (int i = 0; i < TAB_MAX_SHEETS; ++i)
        EXPECT_EQ(tab.AddSheet("s", "x", "y", "d", 99, 99, 0), i);
    EXPECT_EQ(tab.AddSheet("s", "x", "y", "d", 5, 5, 0), -1);
    EXPECT_EQ(tab.SheetAt(0).axisX.maxCount, TAB_MAX_X);
    EXPECT_EQ(tab.SheetAt(0).axisY.maxCount, TAB_MAX_Y);
}

TEST(ServoMap, DisablingTheSheetCommitsAndBlocksUseOnly)
{
    MapModel tab;
    RecordingHost host;
    DefineProgramMap(tab, MapKind::Servo);
    tab.SetHost(&host);
    tab.ApplyCommand(CMD_ENABLE_SHEET);
    EXPECT_EQ(tab.Sheet().enabled, 0);
    EXPECT_EQ(host.commits, (std::vector<int> { 7 }));
    EXPECT_FALSE(tab.UseAxes(CMD_ONLY_Y));
    tab.ApplyCommand(CMD_ENABLE_SHEET);
    EXPECT_TRUE(tab.UseAxes(CMD_ONLY_Y));
    EXPECT_EQ(tab.Sheet().axisX.offIndex, 0);
}

TEST(FormatAxisValueTest, DecimalsGroupsAndUnits)
{
    struct Case {
        int raw;
        double scale;
        const char* unit;
        bool withUnit;
        const char* text;
    } cases[] = {
        { 125, 100, "", true, "12 500" },
        { 25, 100, "", false, "2 500" },
        { -125, 100, "", false, "-12 500" },
        { 125, 0.1, "", false, "12.5" },
        { 120, 0.1, "", false, "12" },
        { 125, 0.02, "V", true, "2.5 V" },
        { 3500, 0.001, "V", true, "3.5 V" },
        { 1234567, 1, "", false, "1 234 567" },
        { -5, 1, "°", true, "-5 °" },
        { 0, 0.001, "V", false, "0" },
        { 40, 1, "%", true, "40 %" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatAxisValue(c.raw, c.scale, c.unit, c.withUnit), c.text) << c.raw << " x " << c.scale;
}

} // namespace
