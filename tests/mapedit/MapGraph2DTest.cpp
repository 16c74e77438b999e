#include "mapedit/ui/MapGraph2D.h"
#include "MapTestSupport.h"
#include "mapedit/ui/MapEditorList.h"
#include "mapedit/ui/MapEditor.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The advance map over engine speed only (one curve), 800 x 500, in the 2D view.
class Graph2D : public ::testing::Test {
protected:
    void SetUp() override
    {
        tab = editors.CreateProgramMap(MapKind::Advance, nullptr, 800, 500);
        ASSERT_NE(tab, nullptr);
        FillSheet(*tab, { 10, 15, 20, 30, 40, 50, 60, 70, 75, 80 }, TpPoints);
        for (int r = 0; r < 10; ++r)
            for (int c = 0; c < 10; ++c)
                tab->Sheet().Cell(c, r) = 30;
        tab->Sheet().axisY.off = 1;
        tab->SetBaseAdvance(30);
        tab->SetLimiterRpm(9000);
        tab->SetStartLimiterRpm(3000);
        tab->RunCommand(CMD_VIEW_2D);
        tab->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(tab));
        tab->Render();
    }
    MapGraph2D& Graph() { return tab->Graph2D(); }
    QRgb Pixel(double x, double y) const { return tab->Picture().pixel(int(std::lround(x)), int(std::lround(y))); }
    // Whether a colour appears within a pixel of a point.
    bool Near(QPointF at, QRgb colour) const
    {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (Pixel(at.x() + dx, at.y() + dy) == colour)
                    return true;
        return false;
    }
    QStringList PopupTexts(QPoint at)
    {
        QTest::mouseClick(tab, Qt::RightButton, Qt::NoModifier, at);
        QStringList texts;
        for (QAction* action : tab->Popup()->actions())
            if (!action->isSeparator())
                texts << action->text() + (action->isChecked() ? " [x]" : "");
        tab->Popup()->close();
        return texts;
    }
    RecordingHost host;
    MapEditorList editors { &host };
    MapEditor* tab = nullptr;
};

TEST_F(Graph2D, ThePlotFollowsTheViewArea)
{
    // Toolbar row: the view starts 36 pixels down; one curve gets 15 pixels more width.
    const QRect plot = Graph().Plot();
    EXPECT_EQ(plot.left(), 10 + 45);
    EXPECT_EQ(plot.width(), (800 - 37) - 75 + 15);
    EXPECT_EQ(plot.top() + plot.height(), 500 - 27 - 18);
    EXPECT_EQ(plot.height(), (500 - 36 - 27) - 26);
    EXPECT_EQ(tab->Sheet().axisX.viewMin, 0) << "room for the base advance";
    EXPECT_EQ(tab->Sheet().axisX.viewMax, 100) << "the limiter at 9000 rpm past 8000 widens the axis to 10 000";
}

TEST_F(Graph2D, TheLimiterZoneIsGreyRightOfTheLimiter)
{
    const double x = Graph().MarkerX(GraphDrag::LIMITER);
    const QRect plot = Graph().Plot();
    EXPECT_NEAR(x, plot.left() + 90.0 * plot.width() / 100, 0.01);
    // Half-way between two horizontal grid lines (every degree), far below the curve at 30.
    const double y = Graph().Geometry().UpPixel(26.5, 0);
    const QRgb grey = qRgb(0xDD, 0xDD, 0xDD), white = qRgb(0xFF, 0xFF, 0xFF);
    EXPECT_EQ(Pixel(x + 5, y), grey);
    EXPECT_EQ(Pixel(plot.right() - 2, y), grey);
    EXPECT_EQ(Pixel(x - 5, y), white);
    // The start limiter is a light yellow band 20 pixels wide around 3000 rpm.
    const double start = Graph().MarkerX(GraphDrag::START_LIMITER);
    EXPECT_EQ(Pixel(start + 5, y), qRgb(0xFF, 0xFF, 0xC0));
    EXPECT_EQ(Pixel(start + 15, y), white);
}

TEST_F(Graph2D, ACurvePixelSitsAtTheComputedPointPosition)
{
    tab->Sheet().Cell(4, 9) = 40;
    tab->Render();
    // Worked out by hand: 0..10 000 rpm over 703 pixels, 25..45 degrees over 411 pixels.
    ASSERT_EQ(tab->Sheet().axisData.viewMin, 25);
    ASSERT_EQ(tab->Sheet().axisData.viewMax, 45);
    const QPointF expected(55 + 40 * 703.0 / 100, 455 - (40 - 25) * 411.0 / 20);
    const QPointF at = Graph().PointPosition(4, 0);
    EXPECT_NEAR(at.x(), expected.x(), 0.01);
    EXPECT_NEAR(at.y(), expected.y(), 0.01);
    const QRgb yellow = qRgb(0xFF, 0xFF, 0x00), red = qRgb(0xFF, 0x00, 0x00);
    EXPECT_EQ(Pixel(at.x(), at.y()), yellow) << "the points of the selected curve are yellow";
    const QPointF next = Graph().PointPosition(5, 0);
    EXPECT_TRUE(Near((at + next) / 2, red)) << "the selected curve is red between its points";
    const QPointF base = Graph().BasePosition(0);
    EXPECT_EQ(base.x(), 55);
    EXPECT_TRUE(Near(QPointF((base.x() + Graph().PointPosition(0, 0).x()) / 2, base.y()), red))
        << "the curve starts level at the base advance";
}

TEST_F(Graph2D, ADraggedPointLandsOnTheValueUnderThePointerAndCommitsOnce)
{
    const QPoint from = Graph().PointPosition(4, 0).toPoint();
    const GraphGeometry& geo = Graph().Geometry();
    const QPoint to(int(std::lround(geo.AcrossPixel(45))), int(std::lround(geo.UpPixel(36, 0))));
    QTest::mouseMove(tab, from);
    EXPECT_EQ(Graph().HotElement(), GraphDrag::PointId(4, 0));
    QTest::mousePress(tab, Qt::LeftButton, Qt::NoModifier, from);
    EXPECT_TRUE(Graph().Dragging());
    QTest::mouseMove(tab, to);
    EXPECT_TRUE(tab->toolTip().startsWith("Dragging: RPM = 4 500")) << tab->toolTip().toStdString();
    EXPECT_TRUE(host.commits.empty());
    QTest::mouseRelease(tab, Qt::LeftButton, Qt::NoModifier, to);
    EXPECT_EQ(tab->Sheet().Cell(4, 9), 36);
    EXPECT_EQ(tab->Sheet().axisX.values[4], 45);
    EXPECT_EQ(tab->Sheet().Cell(4, 8), 30) << "hidden curves stay";
    ASSERT_EQ(host.commits.size(), 1u);
    EXPECT_EQ(host.commits[0], AXIS_X | AXIS_DATA);
}

TEST_F(Graph2D, TheLimiterMarkerIsDraggedAcross)
{
    const QPoint from(int(std::lround(Graph().MarkerX(GraphDrag::LIMITER))), Graph().Plot().center().y());
    QTest::mouseMove(tab, from);
    EXPECT_EQ(Graph().HotElement(), GraphDrag::LIMITER);
    EXPECT_EQ(tab->toolTip(), "Limiter = 9 000");
    QTest::mousePress(tab, Qt::LeftButton, Qt::NoModifier, from);
    const QPoint to(int(std::lround(Graph().Geometry().AcrossPixel(85))), from.y());
    QTest::mouseMove(tab, to);
    QTest::mouseRelease(tab, Qt::LeftButton, Qt::NoModifier, to);
    EXPECT_EQ(tab->LimiterRpm(), 8500);
    EXPECT_EQ(host.commits.size(), 1u);
}

TEST_F(Graph2D, ARubberBandSelectsThePointsInsideIt)
{
    const QPointF a = Graph().PointPosition(2, 0), b = Graph().PointPosition(5, 0);
    const QPoint from = (a + QPointF(-8, -20)).toPoint(), to = (b + QPointF(8, 20)).toPoint();
    QTest::mousePress(tab, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(tab, to);
    QTest::mouseRelease(tab, Qt::LeftButton, Qt::NoModifier, to);
    EXPECT_EQ(tab->Sel().count, 4);
    for (int c = 2; c <= 5; ++c)
        EXPECT_TRUE(tab->Sel().IsSelected(c, 9)) << c;
    EXPECT_TRUE(tab->Sel().interpolable);
    tab->Render();
    EXPECT_TRUE(Near(Graph().PointPosition(3, 0), qRgb(0, 0, 0xFF))) << "selected points are blue";
}

TEST_F(Graph2D, ARubberBandStartsInTheLabelMargins)
{
    const QRect plot = Graph().Plot();
    ASSERT_GT(plot.left() - Graph().Area().left(), 20) << "a margin for the labels";
    const QPointF b = Graph().PointPosition(3, 0);
    const QPoint from(Graph().Area().left() + 10, plot.bottom() + 10), to = (b + QPointF(8, -20)).toPoint();
    QTest::mousePress(tab, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(tab, to);
    QTest::mouseRelease(tab, Qt::LeftButton, Qt::NoModifier, to);
    EXPECT_EQ(tab->Sel().count, 4) << "from the plot's corner to the fourth point";
    for (int c = 0; c <= 3; ++c)
        EXPECT_TRUE(tab->Sel().IsSelected(c, 9)) << c;
}

TEST_F(Graph2D, AnInterpolationCornerPreviewsAndInterpolatesOnAPress)
{
    tab->Sheet().Cell(2, 9) = 20;
    tab->Sheet().Cell(5, 9) = 35;
    for (int c = 2; c <= 5; ++c)
        tab->Sel().SetMark(c, 9, MARK_DRAG);
    tab->Sel().Commit();
    tab->Render();
    ASSERT_TRUE(tab->Sel().interpolable);
    const QPoint corner = Graph().PointPosition(5, 0).toPoint();
    QTest::mouseMove(tab, corner);
    EXPECT_TRUE(Graph().InterpolationPreview());
    EXPECT_EQ(tab->toolTip(), "Interpolation");
    tab->Render();
    // The previewed point of column 3 (30..50: a third of the way) stands yellow at 25 degrees.
    const QPointF previewed(Graph().PointPosition(3, 0).x(), Graph().Geometry().UpPixel(25, 0));
    EXPECT_EQ(Pixel(previewed.x(), previewed.y()), qRgb(0xFF, 0xFF, 0x00));
    QTest::mouseClick(tab, Qt::LeftButton, Qt::NoModifier, corner);
    EXPECT_EQ(tab->Sheet().Cell(3, 9), 25);
    EXPECT_EQ(tab->Sheet().Cell(4, 9), 30);
    EXPECT_EQ(tab->Sel().count, 0);
    EXPECT_EQ(host.commits.size(), 1u);
}

TEST_F(Graph2D, TheWheelStepsTheHoveredPointOrTheSelection)
{
    auto wheel = [&](QPoint at, int delta) {
        QWheelEvent e(QPointF(at), QPointF(tab->mapToGlobal(at)), QPoint(), QPoint(0, delta), Qt::NoButton,
            Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(tab, &e);
    };
    const QPoint point = Graph().PointPosition(6, 0).toPoint();
    QTest::mouseMove(tab, point);
    wheel(point, 120);
    EXPECT_EQ(tab->Sheet().Cell(6, 9), 31);
    tab->SelectElement(2, 9);
    wheel(Graph().Plot().center(), -120);
    EXPECT_EQ(tab->Sheet().Cell(2, 9), 29) << "over the graph with a selection the selection steps";
    EXPECT_EQ(tab->Sheet().Cell(6, 9), 31);
}

TEST_F(Graph2D, ThePopupOffersTheViewsWithThePresentOneChecked)
{
    QStringList texts = PopupTexts(Graph().Plot().center());
    EXPECT_TRUE(texts.contains("Copy graph"));
    EXPECT_TRUE(texts.contains("Copy the entire table"));
    EXPECT_TRUE(texts.contains("View as graph 2D [x]"));
    EXPECT_TRUE(texts.contains("View as table"));
    EXPECT_TRUE(texts.contains("View as graph 3D"));
    EXPECT_FALSE(texts.contains("Wire model")) << "the 3D entries belong to the 3D view";
    QTest::mouseClick(tab, Qt::RightButton, Qt::NoModifier, Graph().Plot().center());
    for (QAction* action : tab->Popup()->actions())
        if (action->text() == "View as table")
            action->trigger();
    tab->Popup()->close();
    EXPECT_EQ(tab->ViewMode(), VIEW_TABLE);
    tab->Render();
    EXPECT_TRUE(tab->ViewBits() & VIEW_2D) << "the one-row table keeps its curve below it";
    EXPECT_EQ(tab->Geometry().graphArea, tab->Geometry().sideGraph);
    texts = PopupTexts(tab->Geometry().sideGraph.center());
    EXPECT_TRUE(texts.contains("View as table [x]"));
    EXPECT_TRUE(texts.contains("Copy graph"));
}

TEST_F(Graph2D, AHotPointOfACurveThatGoesAwayIsForgotten)
{
    for (int r = 0; r < 10; ++r)
        for (int c = 0; c < 10; ++c)
            tab->Sheet().Cell(c, r) = 40 - 2 * r;
    tab->RunCommand(CMD_BOTH);
    tab->Render();
    ASSERT_EQ(Graph().Geometry().ranges.curves, 10);
    QTest::mouseMove(tab, Graph().PointPosition(7, 6).toPoint());
    ASSERT_EQ(Graph().HotElement(), GraphDrag::PointId(7, 6));
    tab->RunCommand(CMD_ONLY_X);
    tab->Render();
    EXPECT_EQ(Graph().HotElement(), GraphDrag::NONE);
    EXPECT_EQ(Graph().SelectedCurve(), 0);
}

TEST_F(Graph2D, AFewColumnsLeaveRoomForTheGraphRightOfTheTable)
{
    tab->Sheet().axisY.off = 0;
    tab->RunCommand(CMD_VIEW_TABLE);
    while (tab->Sheet().axisX.count > 3)
        tab->DeleteLine(true, tab->Sheet().axisX.count - 1);
    tab->Render();
    ASSERT_TRUE(tab->ViewBits() & VIEW_2D);
    EXPECT_GT(tab->Geometry().graphArea.left(), tab->Geometry().Grid().right());
    EXPECT_EQ(Graph().Geometry().ranges.points, 3);
    EXPECT_EQ(Graph().Geometry().ranges.curves, 10);
    EXPECT_TRUE(tab->Geometry().graphArea.contains(Graph().PointPosition(2, 0).toPoint()));
}

TEST_F(Graph2D, CopyGraphPutsThePictureOfTheGraphOnWhiteOnTheClipboard)
{
    tab->RunCommand(CMD_COPY_GRAPH);
    const QImage copy = QApplication::clipboard()->image();
    ASSERT_EQ(copy.size(), tab->Geometry().graphArea.size());
    EXPECT_EQ(copy.pixel(1, 1), qRgb(255, 255, 255));
    EXPECT_NE(tab->Picture().pixel(tab->Geometry().graphArea.topLeft() + QPoint(1, 1)), qRgb(255, 255, 255))
        << "the editor returns to its own colour";
}

TEST_F(Graph2D, SeveralCurvesAreStackedAndLabelled)
{
    tab->Sheet().axisY.off = 0;
    for (int r = 0; r < 10; ++r)
        for (int c = 0; c < 10; ++c)
            tab->Sheet().Cell(c, r) = 40 - r;
    tab->Sheet().Cell(3, 5) = 40;
    tab->RebuildLayout();
    tab->Render();
    EXPECT_EQ(Graph().Geometry().ranges.curves, 10);
    EXPECT_EQ(Graph().Geometry().ranges.stackStep, 4) << "row 5 rises 4 above row 4 at column 3";
    EXPECT_EQ(Pixel(Graph().Plot().center().x() + 3, Graph().Plot().top() + 3), qRgb(0xFF, 0xFB, 0xF0));
    for (int r = 1; r < 10; ++r)
        EXPECT_LE(Graph().PointPosition(3, r - 1).y(), Graph().PointPosition(3, r).y()) << "curves never cross";
}

} // namespace
