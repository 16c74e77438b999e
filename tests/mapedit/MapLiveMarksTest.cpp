#include "MapTestSupport.h"
#include "mapedit/ui/MapEditor.h"
#include "mapedit/ui/MapEditorList.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

// The live marks are redrawn only where they were and are; the picture has to come out as a full
// repaint paints it. Two advance maps with the same data: one follows the engine tick by tick as
// the window drives it, the other is painted whole at every step and is the reference.
struct Layout {
    int view;
    bool loadAxis; // without it the table is one row high and its graph stands below
    bool sideGraph;
};

class LiveMarks : public ::testing::TestWithParam<Layout> {
protected:
    void SetUp() override
    {
        live = Create();
        reference = Create();
    }
    MapEditor* Create()
    {
        MapEditor* tab = editors.CreateProgramMap(MapKind::Advance, nullptr, 800, 500);
        EXPECT_NE(tab, nullptr);
        FillSheet(*tab, AdvanceRpm, TpPoints);
        // Curves that cross the grid and each other, so rings and the speed line lie on drawing.
        for (int r = 0; r < TAB_MAX_Y; ++r)
            for (int c = 0; c < TAB_MAX_X; ++c)
                tab->Sheet().Cell(c, r) = 10 + 3 * c + 2 * r;
        tab->SetBaseAdvance(12);
        tab->SetLimiterRpm(9000);
        tab->SetStartLimiterRpm(3000);
        tab->Sheet().axisY.off = GetParam().loadAxis ? 0 : 1;
        tab->SetViewMode(GetParam().view);
        tab->RebuildLayout();
        tab->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(tab));
        tab->RequestRepaint(MapModel::REPAINT_LAYOUT);
        tab->Render();
        return tab;
    }
    // The engine as the monitor reports it; the ticks let the editor locate the operating point.
    static void Drive(MapEditor& tab, int rpm, int throttle)
    {
        tab.SetEngineRpm(rpm);
        tab.SetThrottle(throttle);
        for (int tick = 0; tick < 4; ++tick)
            tab.TabTick();
    }
    QImage FullRepaint(int rpm, int throttle)
    {
        Drive(*reference, rpm, throttle);
        reference->RequestRepaint(MapModel::REPAINT);
        reference->Render();
        return reference->Picture();
    }
    RecordingHost host;
    MapEditorList editors { &host };
    MapEditor* live = nullptr;
    MapEditor* reference = nullptr;
};

TEST_P(LiveMarks, ThePictureAfterEveryMoveEqualsAFullRepaint)
{
    struct Step {
        int rpm, throttle;
        const char* what;
    };
    const Step steps[] = {
        { 2500, 15, "the engine starts: the marks appear" },
        { 2500, 45, "the load moves the operating point a row down" },
        { 6100, 45, "the speed moves it several columns across" },
        { 6150, 45, "the speed line moves within the same cell" },
        { 9800, 100, "to the last cell" },
        { 300, 100, "into the base zone below the first speed" },
        { 0, 100, "the engine stops: the marks go" },
        { 4000, 0, "it runs again in the first row" },
    };
    ASSERT_EQ(!live->Geometry().graphArea.isNull(), GetParam().sideGraph) << "the layout under test";
    int shown = 0;
    for (const Step& step : steps) {
        const QImage before = live->Picture().copy();
        Drive(*live, step.rpm, step.throttle);
        shown += live->Picture() != before;
        EXPECT_TRUE(live->Picture() == FullRepaint(step.rpm, step.throttle)) << step.what;
    }
    // Not every move shows in every layout (a row the graph has no curve for, a line with no graph).
    EXPECT_GE(shown, 5) << "the moves should be seen";
}

TEST_P(LiveMarks, EditsBetweenMovesStillRepaintEverything)
{
    Drive(*live, 3000, 30);
    live->Sheet().Cell(2, 2) += 7;
    reference->Sheet().Cell(2, 2) += 7;
    live->RequestRepaint(MapModel::REPAINT);
    Drive(*live, 5000, 30);
    EXPECT_TRUE(live->Picture() == FullRepaint(5000, 30));
}

INSTANTIATE_TEST_SUITE_P(TableAndGraph, LiveMarks,
    ::testing::Values(Layout { VIEW_TABLE, true, false }, Layout { VIEW_TABLE, false, true }, Layout { VIEW_2D, true, true }));

} // namespace
