#include "mapedit/ui/MapGraph3D.h"
#include "MapTestSupport.h"
#include "mapedit/MapImageBinding.h"
#include "mapedit/SurfaceMesh.h"
#include "mapedit/SurfacePalette.h"
#include "mapedit/ui/MapEditorList.h"
#include "mapedit/ui/MapEditor.h"
#include "mapedit/ui/MapToolbar.h"
#include "model/ImageDefaults.h"
#include "model/ImageValidation.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <set>

namespace {

// The advance map of the start-up settings (one curve over engine speed), 800 x 500, in 3D.
class Graph3D : public ::testing::Test {
protected:
    void SetUp() override
    {
        tab = editors.CreateProgramMap(MapKind::Advance, nullptr, 800, 500);
        ASSERT_NE(tab, nullptr);
        ParamImage image;
        image.Adrb(BIKE) = STARTUP_BIKE;
        ResetDefaults(image, PAGE_ALL);
        ValidateImage(image);
        QApplication::clipboard()->clear();
        MapImageBinding::LoadAdvanceMap(*tab, image, MAP_DIM);
        tab->RunCommand(CMD_VIEW_3D);
        tab->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(tab));
        tab->Render();
    }
    MapGraph3D& Graph() { return tab->Graph3D(); }
    // The colours of the drawing right of the panel.
    std::set<QRgb> DrawingColours() const
    {
        std::set<QRgb> colours;
        const QRect drawing = tab->Geometry().graphArea.adjusted(tab->Geometry().panelWidth, 0, 0, 0);
        for (int y = drawing.top(); y <= drawing.bottom(); ++y)
            for (int x = drawing.left(); x <= drawing.right(); ++x)
                colours.insert(tab->Picture().pixel(x, y) & 0xFFFFFF);
        return colours;
    }
    static QRgb Rgb(uint32_t bgr) { return MapEditor::Color(bgr).rgb() & 0xFFFFFF; }
    // Whether a palette entry within [first, last] is painted.
    static bool HasPaletteEntry(const std::set<QRgb>& colours, int first, int last)
    {
        for (int e = first; e <= last; ++e)
            if (colours.count(Rgb(SurfacePalette::Entry(e))))
                return true;
        return false;
    }
    void Wheel(QPoint at, int delta, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWheelEvent e(QPointF(at), QPointF(tab->mapToGlobal(at)), QPoint(), QPoint(0, delta), Qt::NoButton, modifiers,
            Qt::NoScrollPhase, false);
        QApplication::sendEvent(tab, &e);
    }
    QPoint SurfacePoint() const
    {
        return tab->Geometry().graphArea.center() + QPoint(tab->Geometry().panelWidth / 2, 0);
    }
    QPoint PanelPoint() const { return tab->Geometry().graphArea.topLeft() + QPoint(60, 200); }
    QStringList PopupTexts(QPoint at)
    {
        tab->BuildPopup(at);
        QStringList texts;
        for (QAction* action : tab->Popup()->actions())
            if (!action->isSeparator())
                texts << action->text() + (action->isChecked() ? " [x]" : "");
        return texts;
    }
    void Trigger(const QString& text)
    {
        for (QAction* action : tab->Popup()->actions())
            if (action->text() == text)
                action->trigger();
    }
    RecordingHost host;
    MapEditorList editors { &host };
    MapEditor* tab = nullptr;
};

TEST_F(Graph3D, TheStartViewShowsTheMapInColoursFromBothEndsOfThePalette)
{
    EXPECT_EQ(tab->ViewMode(), VIEW_3D);
    EXPECT_EQ(tab->Geometry().graphArea, QRect(10, 36, 800 - 37, 500 - 36 - 27)) << "the whole view below the toolbar";
    EXPECT_TRUE(tab->Geometry().Shows(CMD_3D_ISO2));
    EXPECT_EQ(tab->Geometry().surfaceMode, 4);
    const std::set<QRgb> colours = DrawingColours();
    EXPECT_GT(colours.size(), 20u) << "not blank";
    EXPECT_TRUE(HasPaletteEntry(colours, 0, 12)) << "the low advance in blue";
    EXPECT_TRUE(HasPaletteEntry(colours, 50, 61)) << "the high advance in red";
}

TEST_F(Graph3D, TheWireModelDrawsOutlinesOnly)
{
    tab->Geometry().surfaceMode = View3DState::WIRE;
    tab->Render();
    const std::set<QRgb> colours = DrawingColours();
    EXPECT_TRUE(colours.count(Rgb(SurfaceMesh::WIRE_COLOR)));
    EXPECT_FALSE(HasPaletteEntry(colours, 0, SurfacePalette::ENTRIES - 1)) << "no height colours";
    EXPECT_FALSE(colours.count(Rgb(SurfaceMesh::SINGLE_COLOR))) << "no filled triangle";

    tab->Geometry().surfaceMode = View3DState::ONE_COLOUR;
    tab->Render();
    EXPECT_TRUE(DrawingColours().count(Rgb(SurfaceMesh::SINGLE_COLOR)));
}

TEST_F(Graph3D, DraggingRightOfThePanelTurnsTheSurface)
{
    const QPoint from = SurfacePoint();
    QTest::mousePress(tab, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(tab, from + QPoint(50, 0));
    EXPECT_EQ(tab->Geometry().angleXY, 24 + 5) << "50 pixels right: five steps";
    EXPECT_TRUE(Graph().Rotating());
    QTest::mouseMove(tab, from + QPoint(100, -30));
    QTest::mouseRelease(tab, Qt::LeftButton, Qt::NoModifier, from + QPoint(100, -30));
    EXPECT_EQ(tab->Geometry().angleXY, 24 + 10);
    EXPECT_EQ(tab->Geometry().angleX, -5 + 3) << "up by 30 pixels";
    EXPECT_FALSE(Graph().Rotating());
    EXPECT_FALSE(tab->Geometry().hintFlags & View3DState::HINT_ROTATE);

    // A press on the panel turns nothing.
    const View3DState::Angles before = tab->Geometry().Current();
    QTest::mousePress(tab, Qt::LeftButton, Qt::NoModifier, PanelPoint());
    QTest::mouseMove(tab, PanelPoint() + QPoint(60, 60));
    QTest::mouseRelease(tab, Qt::LeftButton, Qt::NoModifier, PanelPoint() + QPoint(60, 60));
    EXPECT_EQ(tab->Geometry().Current(), before);
}

TEST_F(Graph3D, ThePresetButtonsStandInThePanelAndShowTheMatchingView)
{
    const MapToolbar::Button& top = tab->Toolbar().At(CMD_3D_TOP);
    const QRect area = tab->Geometry().graphArea;
    EXPECT_EQ(top.rect, QRect(area.left() + 10, area.top() + 25, 45, 17));
    EXPECT_EQ(tab->Toolbar().At(CMD_3D_ISO2).rect.left(), area.left() + 100);
    EXPECT_EQ(top.caption, "TOP");
    EXPECT_TRUE(tab->Toolbar().At(CMD_3D_ISO2).pressed);
    QTest::mouseClick(tab, Qt::LeftButton, Qt::NoModifier, top.rect.center());
    EXPECT_EQ(tab->Geometry().Current(), View3DState::TOP);
    tab->Render();
    EXPECT_TRUE(tab->Toolbar().At(CMD_3D_TOP).pressed);
    EXPECT_FALSE(tab->Toolbar().At(CMD_3D_ISO2).pressed);
    Wheel(SurfacePoint(), 120);
    tab->Render();
    for (int command : { CMD_3D_TOP, CMD_3D_ISO1, CMD_3D_ISO2 })
        EXPECT_FALSE(tab->Toolbar().At(command).pressed) << command;
    EXPECT_EQ(tab->Geometry().angleXYZ, 1);
}

TEST_F(Graph3D, TheWheelChangesTheAngleTheQualityOrTheValues)
{
    Wheel(SurfacePoint(), -120, Qt::ControlModifier);
    EXPECT_EQ(tab->Geometry().surfaceMode, 3);
    Wheel(SurfacePoint(), 240, Qt::ShiftModifier);
    EXPECT_EQ(tab->Geometry().valueMode, 3) << "two notches up from 2, held at 3";
    Wheel(SurfacePoint(), -120);
    EXPECT_EQ(tab->Geometry().angleXYZ, -1);
}

TEST_F(Graph3D, TheWheelOverThePanelStepsTheLiveCell)
{
    tab->SetEngineRpm(3000);
    tab->LocateOperatingPoint();
    const MapSheet& s = tab->Sheet();
    ASSERT_EQ(s.opState, MapSheet::OP_ACTIVE);
    ASSERT_GE(s.opColumn, 0);
    tab->SelectElement(0, s.opRow);
    const int32_t before = s.Cell(s.opColumn, s.opRow), selected = s.Cell(0, s.opRow);
    Wheel(PanelPoint(), 120);
    EXPECT_EQ(s.Cell(s.opColumn, s.opRow), before + 1);
    EXPECT_EQ(s.Cell(0, s.opRow), selected) << "the selection is not the target here";
    EXPECT_FALSE(tab->Geometry().hintFlags & View3DState::HINT_ACTUAL_VALUE);
    EXPECT_EQ(tab->Geometry().Current(), View3DState::ISO2);
}

TEST_F(Graph3D, HintsGoAwayAsTooltipsOnceUsed)
{
    QTest::mouseMove(tab, PanelPoint());
    EXPECT_TRUE(tab->HintText().startsWith("Set actual value"));
    QTest::mouseMove(tab, SurfacePoint());
    EXPECT_TRUE(tab->HintText().startsWith("Rotate: drag mouse"));
    EXPECT_TRUE(Graph().LongHint().startsWith("high graph drawing quality"));
    Wheel(SurfacePoint(), 120);
    QTest::mouseMove(tab, SurfacePoint() + QPoint(3, 3));
    EXPECT_TRUE(tab->HintText().isEmpty());
    EXPECT_TRUE(Graph().LongHint().startsWith("Rotate: drag mouse (X, XY) and wheel (XYZ) Graph quality"))
        << "one line in the status bar";
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(tab, &leave);
    EXPECT_TRUE(Graph().LongHint().isEmpty()) << "the pointer took the hint along";
}

TEST_F(Graph3D, SpaceCyclesTheValues)
{
    tab->Geometry().valueMode = View3DState::VALUES_ALL;
    tab->setFocus();
    QTest::keyClick(tab, Qt::Key_Space);
    EXPECT_EQ(tab->Geometry().valueMode, View3DState::VALUES_NONE);
    QTest::keyClick(tab, Qt::Key_Space);
    EXPECT_EQ(tab->Geometry().valueMode, View3DState::VALUES_ACTIVE);
}

TEST_F(Graph3D, ThePopupOffersTheViewsAndModesWithThePresentOnesChecked)
{
    const QStringList texts = PopupTexts(SurfacePoint());
    const QStringList expected = { "Copy the entire table", "Copy graph", "Top view", "ISO1 view", "ISO2 view [x]",
        "Wire model", "One color graph", "Height colors (grain 0)", "Height colors (grain 1)",
        "Height colors (grain 2) [x]", "Height colors (grain 3)", "No values", "Only active value",
        "Only interresting values [x]", "All values", "View as table", "View as graph 2D", "View as graph 3D [x]" };
    for (int i = 0; i < expected.size(); ++i)
        EXPECT_EQ(texts.value(i), expected[i]) << i;
    Trigger("Wire model");
    EXPECT_EQ(tab->Geometry().surfaceMode, View3DState::WIRE);
    PopupTexts(SurfacePoint());
    Trigger("All values");
    EXPECT_EQ(tab->Geometry().valueMode, View3DState::VALUES_ALL);
    PopupTexts(SurfacePoint());
    Trigger("Top view");
    EXPECT_EQ(tab->Geometry().Current(), View3DState::TOP);
    EXPECT_TRUE(PopupTexts(SurfacePoint()).contains("Top view [x]"));
}

TEST_F(Graph3D, ThePanelWritesTheAnglesInDegrees)
{
    EXPECT_EQ(Graph().AnglesText(), "X:-25°  XY:120°  XYZ:0°");
    tab->RunCommand(CMD_3D_TOP);
    EXPECT_EQ(Graph().AnglesText(), "X:-90°  XY:0°  XYZ:0°");
}

TEST_F(Graph3D, CopyGraphPutsThePictureOfTheGraphAreaOnTheClipboard)
{
    PopupTexts(SurfacePoint());
    Trigger("Copy graph");
    const QImage copy = QApplication::clipboard()->image();
    const QRect area = tab->Geometry().graphArea;
    ASSERT_EQ(copy.size(), area.size());
    const QPoint inPanel(tab->Geometry().panelWidth - 5, area.height() - 5);
    EXPECT_EQ(copy.pixel(inPanel) & 0xFFFFFF, 0xFFFFFFu) << "the panel on white";
    EXPECT_NE(tab->Picture().pixel(area.topLeft() + inPanel) & 0xFFFFFF, 0xFFFFFFu)
        << "the editor returns to its own colour";
    // The surface is in the picture as the editor shows it.
    const QImage shown = tab->Picture().copy(area);
    int same = 0;
    for (int y = 0; y < copy.height(); ++y)
        for (int x = tab->Geometry().panelWidth; x < copy.width(); ++x)
            same += copy.pixel(x, y) == shown.pixel(x, y);
    EXPECT_GT(same, (copy.width() - tab->Geometry().panelWidth) * copy.height() * 9 / 10);
}

TEST_F(Graph3D, ASwitchedOffSheetShowsNoPanel)
{
    MapEditor* servo = editors.CreateProgramMap(MapKind::Servo, nullptr, 800, 500);
    servo->RunCommand(CMD_VIEW_3D);
    servo->Sheet().enabled = 0;
    servo->Render();
    EXPECT_EQ(servo->Toolbar().ButtonAt(servo->Toolbar().At(CMD_3D_TOP).rect.center()), -1);
    servo->Sheet().enabled = 1;
    servo->Render();
    EXPECT_EQ(servo->Toolbar().ButtonAt(servo->Toolbar().At(CMD_3D_TOP).rect.center()), CMD_3D_TOP);
}

} // namespace

// The start-up advance map has one curve: nothing written on the graph covers anything else.
TEST_F(Graph3D, TheLabelsAndValuesOfAOneCurveMapStandApart)
{
    ASSERT_LE(tab->Sheet().axisY.Used(), 1) << "one curve";
    for (int preset : { CMD_3D_TOP, CMD_3D_ISO1, CMD_3D_ISO2 }) {
        tab->RunCommand(preset);
        PopupTexts(SurfacePoint());
        Trigger("All values");
        tab->Render();
        const std::vector<QRectF> labels = Graph().LabelBoxes();
        ASSERT_FALSE(labels.empty());
        for (size_t i = 0; i < labels.size(); ++i)
            for (size_t j = i + 1; j < labels.size(); ++j)
                EXPECT_FALSE(labels[i].intersects(labels[j])) << preset << ": labels " << i << " and " << j;
        EXPECT_FALSE(Graph().ValueBoxes().empty());
        for (const QRectF& value : Graph().ValueBoxes())
            for (const QRectF& label : labels)
                EXPECT_FALSE(value.intersects(label)) << preset;
    }
}
