#include "EngineRecording.h"
#include "MapTestSupport.h"
#include "TempDir.h"
#include "mapedit/DisplayRange.h"
#include "mapedit/ui/MapEditor.h"
#include "mapedit/ui/MapEditorList.h"
#include "mapedit/ui/MapGraph2D.h"
#include "mapedit/ui/MapTableView.h"
#include "monitor/IgnlogFile.h"

#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

// An advance editor over speed (1000 .. 10000 rpm) and throttle, with a recording that spent two
// thirds of its time at 3000 rpm and 20 % and one third at 6000 rpm and 40 %.
class HitsOnMaps : public ::testing::Test {
protected:
    void SetUp() override
    {
        tab = editors.CreateProgramMap(MapKind::Advance, nullptr, 900, 500);
        ASSERT_NE(tab, nullptr);
        FillSheet(*tab, AdvanceRpm, TpPoints);
        for (int r = 0; r < 10; ++r)
            for (int c = 0; c < 10; ++c)
                tab->Sheet().Cell(c, r) = 20 + 2 * c;
        std::vector<EngineReading> ride(4, { 3000, 20 });
        ride.insert(ride.end(), 2, { 6000, 40 });
        ASSERT_TRUE(WriteEngineRecording("ride.ignlog", ride));
        auto log = std::make_shared<IgnlogFile>();
        ASSERT_EQ(log->Load("ride.ignlog"), "");
        recording = log;
        tab->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(tab));
        tab->Render();
    }
    // A pixel of a cell away from its text and its borders.
    QRgb CellPixel(int column, int row) const
    {
        const QRect r = tab->Table().ElementRect(column, row);
        return tab->Picture().pixel(r.left() + 3, r.top() + 3);
    }
    QRgb Pixel(QPointF at) const { return tab->Picture().pixel(at.toPoint()); }

    ScopedWorkDir dir; // the recordings are written here
    RecordingHost host;
    MapEditorList editors { &host };
    MapEditor* tab = nullptr;
    std::shared_ptr<const IgnlogFile> recording;
};

TEST_F(HitsOnMaps, CellsAreShadedByTheirShareAndClearedWithTheRecording)
{
    const QRgb plain = CellPixel(2, 4), unvisited = CellPixel(7, 1);
    tab->ShowRecording(recording);
    tab->Render();
    const QColor most(CellPixel(2, 4)), less(CellPixel(5, 6));
    EXPECT_NE(most.rgb(), plain);
    EXPECT_GT(most.red(), most.blue() + 60) << "shaded orange";
    EXPECT_LT(most.blue(), less.blue()) << "the cell with the larger share is shaded stronger";
    EXPECT_EQ(CellPixel(7, 1), unvisited);

    tab->ShowRecording(nullptr);
    tab->Render();
    EXPECT_EQ(CellPixel(2, 4), plain);
}

TEST_F(HitsOnMaps, TheHintOfACellGivesItsShareAndRecords)
{
    tab->ShowRecording(recording);
    tab->Render();
    struct Case {
        int column, row;
        const char* hint;
    };
    const Case cases[] = {
        { 2, 4, "Engine ran here: 66.7 % of the time (4 records)" },
        { 5, 6, "Engine ran here: 33.3 % of the time (2 records)" },
        { 0, 0, "Engine did not run here" },
    };
    for (const Case& c : cases) {
        QTest::mouseMove(tab, tab->Table().ElementRect(c.column, c.row).center());
        EXPECT_EQ(tab->toolTip().toStdString(), c.hint);
    }
}

TEST_F(HitsOnMaps, TheCountFollowsAnEditedAxis)
{
    tab->ShowRecording(recording);
    ASSERT_EQ(tab->Hits()->Records(2, 4), 4);
    // 3000 rpm now lies nearer the fourth column.
    tab->Sheet().axisX.values[2] = 28;
    tab->Sheet().axisX.values[3] = 31;
    EXPECT_EQ(tab->Hits()->Records(3, 4), 4);
    EXPECT_EQ(tab->Hits()->Records(2, 4), 0);
}

TEST_F(HitsOnMaps, TheGraphPutsEachOperatingPointOnItsCurve)
{
    tab->RunCommand(CMD_VIEW_2D);
    tab->Render();
    MapGraph2D& graph = tab->Graph2D();
    ASSERT_EQ(graph.Geometry().ranges.across, AXIS_X);
    // The curve of 20 %: at 3500 rpm the dot sits on it halfway between its points at 3000 and
    // 4000 rpm.
    int curve = 0;
    for (int r = 0; r < graph.Geometry().ranges.curves; ++r) {
        int column = 0, row = 0;
        DisplayRange::PointCell(tab->Sheet(), AXIS_X, 2, r, column, row);
        if (row == 4)
            curve = r;
    }
    const QPointF at = (graph.PointPosition(2, curve) + graph.PointPosition(3, curve)) / 2;
    const QRgb before = Pixel(at);
    ASSERT_TRUE(WriteEngineRecording("between.ignlog", { { 3500, 20 } }));
    auto between = std::make_shared<IgnlogFile>();
    ASSERT_EQ(between->Load("between.ignlog"), "");
    tab->ShowRecording(between);
    tab->Render();
    EXPECT_NE(Pixel(at), before);
    EXPECT_GT(QColor(Pixel(at)).red(), 150) << "an orange dot";
    tab->ShowRecording(nullptr);
    tab->Render();
    EXPECT_EQ(Pixel(at), before);
}

} // namespace
