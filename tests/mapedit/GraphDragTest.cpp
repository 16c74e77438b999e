#include "mapedit/GraphDrag.h"
#include "MapTestSupport.h"
#include "mapedit/DisplayRange.h"

#include <gtest/gtest.h>

namespace {

// The advance map with both axes in use; every cell of column c holds 10 + c.
class PointDrag : public ::testing::Test {
protected:
    void SetUp() override
    {
        DefineProgramMap(tab, MapKind::Advance);
        tab.SetHost(&host);
        FillSheet(tab, AdvanceRpm, TpPoints);
        tab.Sheet().axisY.off = 0;
        for (int r = 0; r < 10; ++r)
            for (int c = 0; c < 10; ++c)
                tab.Sheet().Cell(c, r) = 10 + c;
        tab.RebuildLayout();
        ranges = DisplayRange::Compute(tab);
    }
    int32_t Cell(int c, int r) const { return tab.Sheet().Cell(c, r); }
    int32_t X(int c) const { return tab.Sheet().axisX.values[c]; }
    // Drags a point from where it is to a new speed (raw) and advance.
    void Drag(int element, int32_t across, int32_t data, bool shift = false, bool ctrl = false)
    {
        ASSERT_TRUE(drag.Begin(tab, ranges, element));
        drag.Move(tab, ranges, across, data, shift, ctrl);
        drag.End(tab);
    }
    MapModel tab;
    RecordingHost host;
    GraphRanges ranges;
    GraphDrag drag;
};

TEST_F(PointDrag, ThePointTakesTheValuesUnderThePointerAndCommitsOnce)
{
    ASSERT_TRUE(drag.Begin(tab, ranges, GraphDrag::PointId(4, 2)));
    EXPECT_TRUE(tab.Sel().dragKind & DRAG_GRAPH_POINT);
    drag.Move(tab, ranges, 47, 20, false, false);
    drag.Move(tab, ranges, 53, 25, false, false);
    EXPECT_TRUE(host.commits.empty()) << "nothing reaches the owner while dragging";
    for (int i = 0; i < 20; ++i)
        tab.TabTick();
    EXPECT_TRUE(host.commits.empty()) << "the drag keeps its bracket open across ticks";
    drag.End(tab);
    EXPECT_EQ(Cell(4, 2), 25);
    EXPECT_EQ(X(4), 53);
    EXPECT_EQ(X(5), 60) << "the neighbour was not pushed";
    EXPECT_EQ(Cell(4, 1), 14) << "other curves stay";
    ASSERT_EQ(host.commits.size(), 1u);
    EXPECT_EQ(host.commits[0], AXIS_X | AXIS_DATA);
    EXPECT_FALSE(tab.Sel().dragKind & DRAG_GRAPH_POINT);
}

TEST_F(PointDrag, DraggingPastANeighbourPushesItAndItSpringsBack)
{
    ASSERT_TRUE(drag.Begin(tab, ranges, GraphDrag::PointId(4, 0)));
    drag.Move(tab, ranges, 65, 14, false, false);
    EXPECT_EQ(X(4), 65);
    EXPECT_EQ(X(5), 66);
    drag.Move(tab, ranges, 52, 14, false, false);
    EXPECT_EQ(X(5), 60);
    drag.End(tab);
}

TEST_F(PointDrag, ValuesAreClampedByTheNormalization)
{
    Drag(GraphDrag::PointId(0, 0), -50, 200);
    EXPECT_EQ(Cell(0, 0), 60);
    EXPECT_EQ(X(0), 3);
}

TEST_F(PointDrag, ShiftMovesTheWholeCurveAndCtrlTheWholeColumn)
{
    Drag(GraphDrag::PointId(3, 5), 30, 20, true, false);
    for (int c = 0; c < 10; ++c)
        EXPECT_EQ(Cell(c, 5), 10 + c + 7) << c;
    EXPECT_EQ(Cell(3, 4), 13);

    Drag(GraphDrag::PointId(6, 1), 70, 6, false, true);
    for (int r = 0; r < 10; ++r)
        EXPECT_EQ(Cell(6, r), (r == 5 ? 23 : 16) - 10) << r;
    EXPECT_EQ(Cell(5, 1), 15);
}

TEST_F(PointDrag, SelectedPointsMoveTogetherAndEachColumnOnce)
{
    tab.Sel().SetMark(2, 2, MARK_DRAG);
    tab.Sel().SetMark(2, 3, MARK_DRAG);
    tab.Sel().SetMark(7, 3, MARK_DRAG);
    tab.Sel().Commit();
    Drag(GraphDrag::PointId(2, 2), 32, 15);
    EXPECT_EQ(Cell(2, 2), 15);
    EXPECT_EQ(Cell(2, 3), 15);
    EXPECT_EQ(Cell(7, 3), 20);
    EXPECT_EQ(Cell(2, 4), 12) << "an unselected point stays";
    EXPECT_EQ(X(2), 32);
    EXPECT_EQ(X(7), 82) << "column 7 moved once, by the same 2";
}

TEST_F(PointDrag, AnUnselectedPointMovesAlone)
{
    tab.Sel().SetMark(5, 5, MARK_DRAG);
    tab.Sel().Commit();
    Drag(GraphDrag::PointId(2, 2), 30, 18);
    EXPECT_EQ(Cell(2, 2), 18);
    EXPECT_EQ(Cell(5, 5), 15);
}

TEST_F(PointDrag, AnAxisThatIsNotEditableKeepsItsValues)
{
    tab.Sheet().axisX.editable = 0;
    Drag(GraphDrag::PointId(1, 1), 45, 20);
    EXPECT_EQ(X(1), 20);
    EXPECT_EQ(Cell(1, 1), 20);
    tab.Sheet().axisData.editable = 0;
    EXPECT_FALSE(GraphDrag::Draggable(tab, ranges, GraphDrag::PointId(1, 1)));
    EXPECT_FALSE(drag.Begin(tab, ranges, GraphDrag::PointId(1, 1)));
}

TEST_F(PointDrag, TheBaseAdvanceAndTheLimitersFollowThePointer)
{
    tab.SetBaseAdvance(10);
    tab.SetLimiterRpm(9000);
    tab.SetStartLimiterRpm(3000);
    Drag(GraphDrag::BASE_ADVANCE, 0, 17);
    EXPECT_EQ(tab.BaseAdvance(), 17);
    Drag(GraphDrag::BASE_ADVANCE, 0, 99);
    EXPECT_EQ(tab.BaseAdvance(), 60) << "clamped to the data limits";
    EXPECT_EQ(tab.MovedMarkers(), 0);
    Drag(GraphDrag::LIMITER, 95, 0);
    EXPECT_EQ(tab.LimiterRpm(), 9500);
    EXPECT_EQ(tab.MovedMarkers(), 1);
    Drag(GraphDrag::START_LIMITER, 1, 0);
    EXPECT_EQ(tab.StartLimiterRpm(), 300) << "clamped to the speed limits";
    EXPECT_EQ(host.commits.size(), 4u);
}

TEST_F(PointDrag, ADragThatChangesNothingCommitsNothing)
{
    Drag(GraphDrag::PointId(4, 2), 50, 14);
    EXPECT_TRUE(host.commits.empty());
    EXPECT_EQ(tab.PendingMask(), 0);
}

} // namespace
