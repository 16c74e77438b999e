#include "MapTestSupport.h"
#include "mapedit/ui/MapEditor.h"
#include "mapedit/ui/MapEditorList.h"
#include "mapedit/ui/MapPointView.h"
#include "mapedit/ui/MapTableView.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QInputDialog>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

class TableWidget : public ::testing::Test {
protected:
    void SetUp() override
    {
        tab = editors.CreateProgramMap(MapKind::Advance, nullptr, 900, 400);
        ASSERT_NE(tab, nullptr);
        FillSheet(*tab, AdvanceRpm, TpPoints);
        for (int r = 0; r < 10; ++r)
            for (int c = 0; c < 10; ++c)
                tab->Sheet().Cell(c, r) = c + r;
        tab->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(tab));
        tab->Render();
    }
    QPoint CellCentre(int column, int row) const { return tab->Table().ElementRect(column, row).center(); }
    void Wheel(QPoint at, int delta)
    {
        QWheelEvent wheel(QPointF(at), QPointF(tab->mapToGlobal(at)), QPoint(), QPoint(0, delta), Qt::NoButton,
            Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(tab, &wheel);
    }
    QStringList PopupTexts() const
    {
        QStringList texts;
        for (QAction* action : tab->Popup()->actions())
            if (!action->isSeparator())
                texts << action->text();
        return texts;
    }
    RecordingHost host;
    MapEditorList editors { &host };
    MapEditor* tab = nullptr;
};

TEST_F(TableWidget, AClickSelectsTheCell)
{
    QTest::mouseClick(tab, Qt::LeftButton, Qt::NoModifier, CellCentre(3, 2));
    EXPECT_EQ(tab->Sel().count, 1);
    EXPECT_TRUE(tab->Sel().IsSelected(3, 2));
    QTest::mouseClick(tab, Qt::LeftButton, Qt::ShiftModifier, CellCentre(4, 4));
    EXPECT_EQ(tab->Sel().count, 6);
    QTest::mouseClick(tab, Qt::LeftButton, Qt::NoModifier,
        tab->Geometry().corner.topLeft() + QPoint(tab->Geometry().corner.width() - 3, 3));
    EXPECT_EQ(tab->Sel().kind, SEL_COLUMNS);
    EXPECT_EQ(tab->Sel().count, 10);
}

TEST_F(TableWidget, SelectAllBoxSelectsAndThenClears)
{
    QTest::mouseClick(tab, Qt::LeftButton, Qt::NoModifier, tab->Geometry().selectAll.center());
    EXPECT_EQ(tab->Sel().count, 100);
    QTest::mouseClick(tab, Qt::LeftButton, Qt::NoModifier, tab->Geometry().selectAll.center());
    EXPECT_EQ(tab->Sel().count, 0);
}

TEST_F(TableWidget, TypingANumberAndEnterCommitsIt)
{
    QTest::mouseClick(tab, Qt::LeftButton, Qt::NoModifier, CellCentre(5, 5));
    QTest::keyClicks(tab, "12");
    EXPECT_TRUE(tab->Editing());
    QTest::keyClick(tab, Qt::Key_Return);
    EXPECT_FALSE(tab->Editing());
    EXPECT_EQ(tab->Sheet().Cell(5, 5), 12);
    EXPECT_EQ(host.commits, (std::vector<int> { AXIS_DATA }));
    QTest::keyClick(tab, Qt::Key_Down);
    EXPECT_TRUE(tab->Sel().IsSelected(5, 6));
}

TEST_F(TableWidget, DoubleClickOpensAPrefilledEditWithItsTextSelected)
{
    QTest::mouseDClick(tab, Qt::LeftButton, Qt::NoModifier, CellCentre(4, -1));
    ASSERT_TRUE(tab->Editing());
    EXPECT_EQ(tab->EditText(), "5 000");
    EXPECT_EQ(tab->Interaction().TextSelEnd() - tab->Interaction().TextSelStart(), 5);
    QTest::keyClicks(tab, "5100");
    QTest::keyClick(tab, Qt::Key_Escape);
    EXPECT_EQ(tab->Sheet().axisX.values[4], 50);
}

TEST_F(TableWidget, AFillDragFills)
{
    tab->Sheet().Cell(1, 1) = 7;
    QTest::mouseClick(tab, Qt::LeftButton, Qt::NoModifier, CellCentre(1, 1));
    const QRect cell = tab->Table().ElementRect(1, 1);
    const QPoint grip = cell.bottomRight() + QPoint(2, 2);
    QTest::mousePress(tab, Qt::LeftButton, Qt::NoModifier, grip);
    ASSERT_EQ(tab->Interaction().BlockDrag(), 1);
    QTest::mouseMove(tab, CellCentre(3, 1));
    QTest::mouseRelease(tab, Qt::LeftButton, Qt::NoModifier, CellCentre(3, 1));
    EXPECT_EQ(tab->Sheet().Cell(2, 1), 7);
    EXPECT_EQ(tab->Sheet().Cell(3, 1), 7);
    EXPECT_EQ(tab->Sel().count, 3);
    EXPECT_EQ(host.commits, (std::vector<int> { AXIS_DATA }));
}

TEST_F(TableWidget, RubberBandSelectsARectangle)
{
    QTest::mousePress(tab, Qt::LeftButton, Qt::NoModifier, CellCentre(1, 1));
    QTest::mouseMove(tab, CellCentre(3, 2));
    QTest::mouseRelease(tab, Qt::LeftButton, Qt::NoModifier, CellCentre(3, 2));
    EXPECT_EQ(tab->Sel().count, 6);
    EXPECT_TRUE(tab->Sel().interpolable);
}

// The step arrows sit at the right end of a selected cell: the press that selects a cell never
// steps it, and an unselected cell under the wheel keeps its value.
TEST_F(TableWidget, TheFirstPressOnACellOnlySelectsIt)
{
    const QPoint arrowZone = tab->Table().ArrowRect(2, 2, true).intersected(tab->Table().ElementRect(2, 2)).center();
    QTest::mouseMove(tab, arrowZone);
    Wheel(arrowZone, 120);
    QTest::mouseClick(tab, Qt::LeftButton, Qt::NoModifier, arrowZone);
    EXPECT_EQ(tab->Sheet().Cell(2, 2), 4) << "selecting changes nothing";
    EXPECT_TRUE(tab->Sel().IsSelected(2, 2));
    EXPECT_TRUE(host.commits.empty());
    QTest::mouseClick(tab, Qt::LeftButton, Qt::NoModifier, arrowZone);
    EXPECT_EQ(tab->Sheet().Cell(2, 2), 5) << "the arrow of the selected cell steps it";

    // A selection moved away by the keyboard takes the arrows with it.
    QTest::keyClick(tab, Qt::Key_Left);
    QTest::mouseClick(tab, Qt::LeftButton, Qt::NoModifier, arrowZone);
    EXPECT_EQ(tab->Sheet().Cell(2, 2), 5);
}

TEST_F(TableWidget, TheWheelOverAStepArrowSteps)
{
    QTest::mouseClick(tab, Qt::LeftButton, Qt::NoModifier, CellCentre(2, 2));
    QTest::mouseMove(tab, CellCentre(2, 2));
    ASSERT_TRUE(tab->Interaction().HoverValid());
    const QRect up = tab->Table().ArrowRect(2, 2, true);
    QTest::mouseMove(tab, up.center());
    Wheel(up.center(), 120);
    Wheel(up.center(), 120);
    EXPECT_EQ(tab->Sheet().Cell(2, 2), 6);
    EXPECT_TRUE(host.commits.empty()) << "steps on one target are gathered";
    for (int i = 0; i < 5; ++i)
        editors.TabTick(MapLiveValues {});
    EXPECT_EQ(host.commits, (std::vector<int> { AXIS_DATA }));
}

TEST_F(TableWidget, ArrowPressAndReleaseStepsOnce)
{
    QTest::mouseClick(tab, Qt::LeftButton, Qt::NoModifier, CellCentre(2, 2));
    QTest::mouseMove(tab, CellCentre(2, 2));
    const QRect down = tab->Table().ArrowRect(2, 2, false);
    QTest::mouseMove(tab, down.center());
    QTest::mousePress(tab, Qt::LeftButton, Qt::NoModifier, down.center());
    for (int i = 0; i < 17; ++i)
        editors.TabTick(MapLiveValues {});
    QTest::mouseRelease(tab, Qt::LeftButton, Qt::NoModifier, down.center());
    EXPECT_EQ(tab->Sheet().Cell(2, 2), 2) << "two repeated steps from the sixteenth tick, none on release";
}

TEST_F(TableWidget, PopupOffersTheTableEntries)
{
    QTest::mouseClick(tab, Qt::RightButton, Qt::NoModifier, QPoint(tab->width() - 5, tab->height() - 5));
    ASSERT_NE(tab->Popup(), nullptr);
    QStringList texts = PopupTexts();
    EXPECT_FALSE(texts.contains("Copy")) << "nothing selected, nothing to copy";
    EXPECT_EQ(texts,
        (QStringList { "Colour cells by value", "View as table", "View as graph 2D", "View as graph 3D", "Use only RPM",
            "Use RPM and TP" }));
    // The heat colours are one switch for every editor of the list.
    for (QAction* action : tab->Popup()->actions())
        if (action->text() == "Colour cells by value")
            action->trigger();
    EXPECT_EQ(editors.heatColours, 1);
    EXPECT_TRUE(tab->HeatColours());
    tab->Popup()->close();

    QTest::mousePress(tab, Qt::LeftButton, Qt::NoModifier, CellCentre(0, 0));
    QTest::mouseMove(tab, CellCentre(2, 0));
    QTest::mouseRelease(tab, Qt::LeftButton, Qt::NoModifier, CellCentre(2, 0));
    QTest::mouseClick(tab, Qt::RightButton, Qt::NoModifier, CellCentre(1, 0));
    texts = PopupTexts();
    EXPECT_EQ(texts,
        (QStringList { "Copy", "Copy the entire table", "Interpolate", "Set to value...", "Add value...",
            "Scale by percent...", "Smooth", "Colour cells by value", "View as table", "View as graph 2D",
            "View as graph 3D", "Use only RPM", "Use RPM and TP" }));
    tab->Popup()->close();

    QTest::mouseClick(tab, Qt::RightButton, Qt::NoModifier, tab->Geometry().columnBoxes[4].center());
    texts = PopupTexts();
    EXPECT_TRUE(texts.contains("Insert column here"));
    EXPECT_TRUE(texts.contains("Delete column"));
    for (QAction* action : tab->Popup()->actions())
        if (action->text() == "Use only RPM")
            action->trigger();
    EXPECT_TRUE(tab->Sheet().axisY.off);
    tab->Popup()->close();
}

TEST_F(TableWidget, CellEditDialogAsksInTheMapsUnitAndCancelChangesNothing)
{
    ASSERT_TRUE(tab->SelectShownCells(1, 0, 3, 0));
    const int row = tab->Sheet().axisY.EntryAt(0);
    const int before = tab->Sheet().Cell(2, row);
    // The dialog runs its own loop: the answer is given from inside it.
    auto answer = [](double value, bool accept) {
        QTimer::singleShot(0, [value, accept] {
            auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            EXPECT_TRUE(dialog->labelText().endsWith(QString::fromUtf8("[°]"))) << dialog->labelText().toStdString();
            dialog->setDoubleValue(value);
            accept ? dialog->accept() : dialog->reject();
        });
    };
    answer(4, true);
    EXPECT_TRUE(tab->AskCellEdit(MapModel::EDIT_ADD));
    EXPECT_EQ(tab->Sheet().Cell(2, row), before + 4);
    answer(-20, false);
    EXPECT_FALSE(tab->AskCellEdit(MapModel::EDIT_SET));
    EXPECT_EQ(tab->Sheet().Cell(2, row), before + 4);
}

TEST_F(TableWidget, PopupOfTheServoMapOffersEnablingAndEveryUseOnlyChoice)
{
    MapEditor* servo = editors.CreateProgramMap(MapKind::Servo, nullptr, 900, 400);
    servo->BuildPopup(QPoint(1, 1));
    QStringList texts;
    for (QAction* action : servo->Popup()->actions())
        if (!action->isSeparator())
            texts << action->text();
    EXPECT_EQ(texts,
        (QStringList { "Disable Servo", "Colour cells by value", "View as table", "View as graph 2D",
            "View as graph 3D", "Use only RPM", "Use only TP", "Use RPM and TP" }));
    servo->RunCommand(CMD_ENABLE_SHEET);
    servo->BuildPopup(QPoint(1, 1));
    texts.clear();
    for (QAction* action : servo->Popup()->actions())
        if (!action->isSeparator())
            texts << action->text();
    EXPECT_EQ(texts,
        (QStringList {
            "Enable Servo", "Copy the entire table", "View as table", "View as graph 2D", "View as graph 3D" }))
        << "a switched-off sheet keeps copying and the views, nothing that edits it";
    for (QAction* action : servo->Popup()->actions())
        if (action->text() == "View as graph 2D")
            action->trigger();
    EXPECT_EQ(servo->ViewMode(), VIEW_2D);
}

TEST_F(TableWidget, ClipboardCarriesTheSheetFormatBetweenEditors)
{
    QApplication::clipboard()->clear();
    EXPECT_EQ(tab->ClipboardFormats(), 0);
    tab->RunCommand(CMD_COPY_TABLE);
    // What an editor knows of the clipboard follows every change, also one made elsewhere.
    EXPECT_EQ(tab->ClipboardFormats(), 3);
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    EXPECT_TRUE(mime->hasFormat(MapEditor::SheetMimeType));
    EXPECT_TRUE(mime->text().startsWith("\t1 000\t2 000"));
    MapEditor* other = editors.CreateProgramMap(MapKind::Advance, nullptr, 900, 400);
    FillSheet(*other, AdvanceRpm, TpPoints);
    other->RunCommand(CMD_PASTE);
    EXPECT_EQ(other->Sheet().Cell(9, 9), 18);

    QApplication::clipboard()->setText("4\t5");
    EXPECT_EQ(tab->ClipboardFormats(), 1);
    EXPECT_EQ(other->ClipboardFormats(), 1);
    tab->SelectElement(0, 0);
    tab->RunCommand(CMD_PASTE);
    EXPECT_EQ(tab->Sheet().Cell(1, 0), 5);
}

TEST_F(TableWidget, EventsArrivingWhileAnotherEditorHandlesOneAreDropped)
{
    {
        const MapEditor::InputMessage anotherEditorsMessage;
        QTest::mouseClick(tab, Qt::LeftButton, Qt::NoModifier, CellCentre(3, 2));
    }
    EXPECT_EQ(tab->Sel().count, 0);
    QTest::mouseClick(tab, Qt::LeftButton, Qt::NoModifier, CellCentre(3, 2));
    EXPECT_EQ(tab->Sel().count, 1) << "once that message is handled, input reaches the editors again";
}

TEST_F(TableWidget, RenderedTableShowsTheOperatingRingAroundItsCell)
{
    MapLiveValues live;
    live.engineRpm = 4000;
    live.throttle = 20;
    for (int i = 0; i < 4; ++i)
        editors.TabTick(live);
    ASSERT_EQ(tab->Sheet().opColumn, 3);
    ASSERT_EQ(tab->Sheet().opRow, 4);
    tab->Render();
    const QImage& image = tab->Picture();
    ASSERT_EQ(image.format(), QImage::Format_RGB32);
    const QRgb ring = qRgb(0x44, 0xF4, 0x44);
    auto countRing = [&](const QRect& r) {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                n += image.pixel(x, y) == ring;
        return n;
    };
    EXPECT_GT(countRing(tab->Table().ElementRect(3, 4)), 20);
    EXPECT_GT(countRing(tab->Table().ElementRect(3, -1)), 10);
    EXPECT_EQ(countRing(tab->Table().ElementRect(6, 7)), 0);
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3)
            colours.insert(image.pixel(x, y));
    EXPECT_GT(colours.size(), 5) << "the table is painted, not blank";

    tab->SetPrintMode(true);
    EXPECT_EQ(tab->Picture().pixel(2, 2), qRgb(255, 255, 255));
    tab->SetPrintMode(false);
}

// The live values arrive on every tick; the picture is painted again only when what it shows
// changes (here the operating cell), and a map on a page not shown waits until it is shown.
TEST_F(TableWidget, TicksRepaintOnlyAShownMapWhoseOperatingCellMoved)
{
    MapLiveValues live;
    live.engineRpm = 4000;
    live.throttle = 20;
    for (int i = 0; i < 4; ++i)
        editors.TabTick(live);
    const QImage atFirstCell = tab->Picture().copy();
    live.engineRpm = 4010; // the same cell
    for (int i = 0; i < 4; ++i)
        editors.TabTick(live);
    EXPECT_EQ(tab->RepaintFlags(), 0);
    EXPECT_EQ(tab->Picture(), atFirstCell);

    tab->hide();
    live.engineRpm = 7000;
    for (int i = 0; i < 4; ++i)
        editors.TabTick(live);
    ASSERT_NE(tab->Sheet().opColumn, 3);
    EXPECT_NE(tab->RepaintFlags(), 0) << "the request waits";
    EXPECT_EQ(tab->Picture(), atFirstCell) << "nothing is painted while the map is not shown";

    tab->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(tab));
    editors.TabTick(live);
    EXPECT_EQ(tab->RepaintFlags(), 0);
    EXPECT_NE(tab->Picture(), atFirstCell);
}

// The graph's live engine-speed line moves with the speed even where the operating cell stays.
TEST_F(TableWidget, TheGraphRepaintsWhenItsLiveSpeedLineMoves)
{
    tab->SetViewMode(VIEW_2D);
    MapLiveValues live;
    live.engineRpm = 4000;
    live.throttle = 20;
    for (int i = 0; i < 4; ++i)
        editors.TabTick(live);
    const int column = tab->Sheet().opColumn;
    const QImage before = tab->Picture().copy();
    live.engineRpm = 4150;
    editors.TabTick(live);
    ASSERT_EQ(tab->Sheet().opColumn, column);
    EXPECT_EQ(tab->RepaintFlags(), 0);
    EXPECT_NE(tab->Picture(), before);
}

TEST_F(TableWidget, ScrollBarsAppearOnlyWhenTheMapIsLarger)
{
    EXPECT_TRUE(tab->Geometry().horizontalBar.isNull()) << "10 columns in a view of 15";
    EXPECT_TRUE(tab->Geometry().sideGraph.isNull()) << "five empty columns give less than 100 pixels per column";
    tab->UseAxes(CMD_ONLY_X);
    EXPECT_FALSE(tab->Geometry().sideGraph.isNull()) << "a one-row table leaves room below it";
    EXPECT_GT(tab->Geometry().sideGraph.top(), tab->Geometry().Grid().bottom());
    tab->UseAxes(CMD_BOTH);
    tab->SetVisibleColumns(4);
    tab->RebuildLayout();
    ASSERT_FALSE(tab->Geometry().horizontalBar.isNull());
    const QRect bar = tab->Geometry().horizontalBar;
    QTest::mousePress(tab, Qt::LeftButton, Qt::NoModifier, QPoint(bar.right() - 3, bar.center().y()));
    EXPECT_EQ(tab->Sheet().axisX.firstVisible, 1);
    for (int i = 0; i < 3; ++i)
        editors.TabTick(MapLiveValues {});
    EXPECT_EQ(tab->Sheet().axisX.firstVisible, 2) << "repeats from the third tick after the press";
    QTest::mouseRelease(tab, Qt::LeftButton, Qt::NoModifier, QPoint(bar.right() - 3, bar.center().y()));
    tab->ScrollTo(9, -1);
    EXPECT_EQ(tab->Sheet().axisX.firstVisible, 6);
}

TEST_F(TableWidget, LoadOnlyByEngineSpeedShowsOneRowTheLast)
{
    tab->UseAxes(CMD_ONLY_X);
    EXPECT_EQ(tab->Geometry().shownRows, 1);
    EXPECT_FALSE(tab->Table().ElementRect(0, 9).isNull());
    EXPECT_TRUE(tab->Table().ElementRect(0, 0).isNull());
    QTest::mouseClick(tab, Qt::LeftButton, Qt::NoModifier, tab->Geometry().Cell(2, 0).center());
    EXPECT_TRUE(tab->Sel().IsSelected(2, 9));
}

TEST_F(TableWidget, PrintModeShowsNoSelection)
{
    tab->SelectAllCells();
    const QRgb overlay = qRgb(0xEC, 0xEE, 0xF4);
    auto overlayPixels = [&] {
        const QImage& image = tab->Picture();
        const QRect cell = tab->Table().ElementRect(4, 4);
        int n = 0;
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x)
                n += image.pixel(x, y) == overlay;
        return n;
    };
    tab->Render();
    EXPECT_GT(overlayPixels(), 50);
    tab->SetPrintMode(true);
    EXPECT_EQ(overlayPixels(), 0);
    tab->SetPrintMode(false);
}

TEST_F(TableWidget, AutoscrollFollowsTheOperatingCellWhileSwitchedOn)
{
    tab->SetVisibleColumns(4);
    tab->RebuildLayout();
    MapLiveValues live;
    live.engineRpm = 9000;
    live.throttle = 50;
    for (int i = 0; i < 4; ++i)
        editors.TabTick(live);
    EXPECT_EQ(tab->Sheet().axisX.firstVisible, 5);
    editors.autoscroll = 0;
    live.engineRpm = 1000;
    for (int i = 0; i < 4; ++i)
        editors.TabTick(live);
    EXPECT_EQ(tab->Sheet().axisX.firstVisible, 5);
    QTest::mouseClick(tab, Qt::RightButton, Qt::NoModifier, CellCentre(6, 3));
    EXPECT_TRUE(PopupTexts().contains("Disable autoscroll"));
    tab->Popup()->close();
}

TEST_F(TableWidget, AnEditKeepsItsTextWhileTheValueChanges)
{
    QTest::mouseClick(tab, Qt::LeftButton, Qt::NoModifier, CellCentre(1, 1));
    QTest::keyClicks(tab, "33");
    tab->Sheet().Cell(1, 1) = 44;
    tab->Render();
    EXPECT_EQ(tab->EditText(), "33");
    EXPECT_FALSE(tab->Table().CaretRect().isNull());
    QTest::mouseClick(tab, Qt::LeftButton, Qt::NoModifier, CellCentre(5, 5));
    EXPECT_EQ(tab->Sheet().Cell(1, 1), 33) << "a click elsewhere commits the edit";
}

TEST_F(TableWidget, InsertColumnHereInsertsAtTheNearestBoundary)
{
    tab->Sheet().axisX.count = 6;
    FillSheet(*tab, { 10, 20, 30, 40, 50, 60 }, TpPoints);
    tab->Render();
    const QRect box = tab->Geometry().columnBoxes[2];
    QTest::mouseClick(tab, Qt::RightButton, Qt::NoModifier, box.center() + QPoint(box.width() / 4, 0));
    QAction* insert = nullptr;
    for (QAction* action : tab->Popup()->actions())
        if (action->text() == "Insert column here")
            insert = action;
    ASSERT_NE(insert, nullptr);
    insert->trigger();
    tab->Popup()->close();
    const MapAxis& x = tab->Sheet().axisX;
    EXPECT_EQ(std::vector<int>(x.values.begin(), x.values.begin() + x.count),
        (std::vector<int> { 10, 20, 30, 35, 40, 50, 60 }));
    EXPECT_EQ(host.commits, (std::vector<int> { AXIS_X | AXIS_DATA }));
}

TEST_F(TableWidget, DraggingInsideAnEditSelectsItsText)
{
    QTest::mouseClick(tab, Qt::LeftButton, Qt::NoModifier, CellCentre(5, 5));
    QTest::keyClicks(tab, "12345");
    tab->Render();
    const QRect cell = tab->Table().ElementRect(5, 5);
    QTest::mousePress(tab, Qt::LeftButton, Qt::NoModifier, QPoint(cell.left() + 2, cell.center().y()));
    EXPECT_EQ(tab->Interaction().Caret(), 0);
    EXPECT_EQ(tab->Interaction().TextSelEnd() - tab->Interaction().TextSelStart(), 0)
        << "a press places the caret and clears the text selection";
    QTest::mouseMove(tab, QPoint(cell.right() - 1, cell.center().y()));
    QTest::mouseRelease(tab, Qt::LeftButton, Qt::NoModifier, QPoint(cell.right() - 1, cell.center().y()));
    EXPECT_EQ(tab->Interaction().TextSelStart(), 0);
    EXPECT_EQ(tab->Interaction().TextSelEnd(), 5);
    EXPECT_EQ(tab->Interaction().Caret(), 5);
    QTest::keyClicks(tab, "7");
    EXPECT_EQ(tab->EditText(), "7") << "typing replaces the selected text";
    QTest::keyClick(tab, Qt::Key_Escape);
}

TEST_F(TableWidget, ScrollBarTrackPagesUpToThePointerAndTheThumbDrags)
{
    tab->SetVisibleColumns(4);
    tab->RebuildLayout();
    tab->Render();
    const QRect bar = tab->Geometry().horizontalBar;
    ASSERT_FALSE(bar.isNull());
    EXPECT_EQ(tab->Picture().pixel(bar.left() + bar.width() * 3 / 4, bar.center().y()), qRgb(0xE0, 0xE0, 0xE0))
        << "the track beside the thumb";
    const QPoint middle(bar.center().x(), bar.center().y());
    QTest::mousePress(tab, Qt::LeftButton, Qt::NoModifier, middle);
    EXPECT_EQ(tab->Sheet().axisX.firstVisible, 3) << "a track press pages by the visible columns less one";
    for (int i = 0; i < 10; ++i)
        editors.TabTick(MapLiveValues {});
    QTest::mouseRelease(tab, Qt::LeftButton, Qt::NoModifier, middle);
    EXPECT_EQ(tab->Sheet().axisX.firstVisible, 3) << "the repeat stops once the thumb is under the pointer";
    QTest::mousePress(tab, Qt::LeftButton, Qt::NoModifier, middle);
    EXPECT_EQ(tab->Sheet().axisX.firstVisible, 3) << "a press on the thumb does not page";
    QTest::mouseMove(tab, QPoint(bar.right(), middle.y()));
    EXPECT_EQ(tab->Sheet().axisX.firstVisible, 6) << "the thumb dragged to the end shows the last columns";
    QTest::mouseMove(tab, QPoint(bar.left(), middle.y()));
    QTest::mouseRelease(tab, Qt::LeftButton, Qt::NoModifier, QPoint(bar.left(), middle.y()));
    EXPECT_EQ(tab->Sheet().axisX.firstVisible, 0);
}

TEST_F(TableWidget, ABandBeyondTheGridScrollsAndFollows)
{
    tab->SetVisibleColumns(4);
    tab->RebuildLayout();
    QTest::mousePress(tab, Qt::LeftButton, Qt::NoModifier, CellCentre(1, 1));
    const QRect grid = tab->Geometry().Grid();
    // 25 pixels beyond the grid: one column every (100 - 25) / 10 = 7 ticks.
    QTest::mouseMove(tab, QPoint(grid.right() + 25, CellCentre(1, 1).y()));
    for (int i = 0; i < 14; ++i)
        editors.TabTick(MapLiveValues {});
    EXPECT_EQ(tab->Sheet().axisX.firstVisible, 2);
    QTest::mouseRelease(tab, Qt::LeftButton, Qt::NoModifier, QPoint(grid.right() + 25, CellCentre(1, 1).y()));
    EXPECT_EQ(tab->Sel().count, 5) << "the band reaches the last shown column";
    EXPECT_TRUE(tab->Sel().IsSelected(5, 1));
}

TEST(SheetTabsTest, AClickOnATabSelectsItsSheet)
{
    MapEditorList editors;
    MapEditor* tab = editors.CreateMapEditor(5, 600, 300, OPT_TABLE, nullptr);
    tab->AddSheet("First", "RPM", "TP", "ADV", 4, 3, 0);
    tab->AddSheet("Second", "RPM", "TP", "ADV", 4, 3, 0);
    tab->SelectSheet(0);
    tab->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(tab));
    tab->Render();
    const int x = 2 + tab->SheetAt(0).labelWidth + tab->SheetAt(1).labelWidth / 2;
    QTest::mouseClick(tab, Qt::LeftButton, Qt::NoModifier, QPoint(x, 10));
    EXPECT_EQ(tab->ActiveSheet(), 1);
    QTest::keyClick(tab, Qt::Key_Tab);
    EXPECT_EQ(tab->ActiveSheet(), 0);
}

TEST(MapEditorListTest, FortyEditorsAtMost)
{
    MapEditorList editors;
    for (int i = 0; i < TAB_MAX_EDITORS; ++i)
        ASSERT_NE(editors.CreateMapEditor(i, 0, 0, OPT_TABLE, nullptr), nullptr);
    EXPECT_EQ(editors.CreateMapEditor(99, 0, 0, OPT_TABLE, nullptr), nullptr);
    EXPECT_EQ(editors.At(0)->size(), QSize(500, 200));
    EXPECT_EQ(editors.At(0)->AutoscrollSwitch(), &editors.autoscroll);
}

TEST(MapEditorListTest, LiveValuesFollowTheWindowsRules)
{
    MapEditorList editors;
    MapEditor* tab = editors.CreateProgramMap(MapKind::Advance, nullptr);
    MapLiveValues live;
    live.throttle = -1;
    live.manifoldLoad = true;
    live.limiterRpm = 99999;
    editors.TabTick(live);
    EXPECT_EQ(tab->Throttle(), 100);
    EXPECT_EQ(tab->MonitorStatus() & 0x30, 0x30);
    EXPECT_EQ(editors.EditorByOwnerId(0), tab);
    EXPECT_FALSE(editors.StepFocused(1));
}

TEST(MapEditorListTest, AnUncommittedBaseAdvanceIsNotOverwrittenByTheImage)
{
    MapEditorList editors;
    MapEditor* tab = editors.CreateProgramMap(MapKind::Advance, nullptr);
    FillSheet(*tab, AdvanceRpm, TpPoints);
    MapLiveValues live;
    live.baseAdvance = 10;
    live.limiterRpm = 9000;
    live.engineRpm = 500; // below the first column: + steps the base advance
    editors.TabTick(live);
    editors.TabTick(live);
    ASSERT_EQ(tab->Sheet().opColumn, -1);
    tab->StepValues(1);
    EXPECT_EQ(tab->BaseAdvance(), 11);
    editors.TabTick(live);
    EXPECT_EQ(tab->BaseAdvance(), 11) << "the step waits for its commit, the image still says 10";
    tab->Sel().dragKind |= DRAG_GRAPH_POINT;
    tab->SetLimiterRpm(8000);
    for (int i = 0; i < 10; ++i)
        editors.TabTick(live);
    EXPECT_EQ(tab->LimiterRpm(), 8000) << "a marker being dragged keeps its place";
    tab->Sel().dragKind = 0;
    editors.TabTick(live);
    EXPECT_EQ(tab->LimiterRpm(), 9000);
}

class PointView : public ::testing::Test {
protected:
    void SetUp() override
    {
        power = editors.CreateProgramMap(MapKind::PowerOutA, nullptr, 400, 250, 1, "Power out 1");
        ASSERT_EQ(power->ViewMode(), VIEW_POINTS);
        FillSheet(*power, { 90, 125, 140 }, { 75, 90 });
        power->Sheet().axisData.editable = 1;
        power->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(power));
        power->Render();
    }
    RecordingHost host;
    MapEditorList editors { &host };
    MapEditor* power = nullptr;
};

TEST_F(PointView, ABandTogglesTheRegionsItTouches)
{
    MapPointView& view = power->Points();
    EXPECT_EQ(view.RegionColumns(), 4);
    EXPECT_EQ(view.RegionRows(), 3);
    const QRect first = view.Region(0, 0), second = view.Region(1, 0);
    QTest::mousePress(power, Qt::LeftButton, Qt::NoModifier, first.center());
    QTest::mouseMove(power, second.center());
    QTest::mouseRelease(power, Qt::LeftButton, Qt::NoModifier, second.center());
    EXPECT_EQ(power->Sheet().Cell(0, 0), 1);
    EXPECT_EQ(power->Sheet().Cell(1, 0), 1);
    EXPECT_EQ(power->Sheet().Cell(2, 0), 0);
    EXPECT_EQ(host.commits, (std::vector<int> { AXIS_DATA }));

    int index = -1;
    const QPoint boundary(view.Region(1, 1).left(), view.Region(1, 1).center().y());
    ASSERT_EQ(view.BoundaryAt(boundary, index), AXIS_X);
    ASSERT_EQ(index, 0);
    QWheelEvent wheel(QPointF(boundary), QPointF(power->mapToGlobal(boundary)), QPoint(), QPoint(0, 120), Qt::NoButton,
        Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(power, &wheel);
    EXPECT_EQ(power->Sheet().axisX.values[0], 91);
}

TEST_F(PointView, TheToggleSwitchesBetweenProportionalAndEvenBoundaries)
{
    MapPointView& view = power->Points();
    auto widths = [&] {
        std::vector<int> w;
        for (int i = 0; i < view.RegionColumns(); ++i)
            w.push_back(view.Region(i, 0).width());
        return w;
    };
    auto spread = [](const std::vector<int>& w) {
        return *std::max_element(w.begin(), w.end()) - *std::min_element(w.begin(), w.end());
    };
    const std::vector<int> proportional = widths();
    ASSERT_GT(spread(proportional), 5) << "the X values 90, 125, 140 lie unevenly";
    QTest::mouseClick(power, Qt::LeftButton, Qt::NoModifier, view.ProportionalToggle().center());
    power->Render();
    EXPECT_LE(spread(widths()), 1);
    QTest::mouseClick(power, Qt::LeftButton, Qt::NoModifier, view.ProportionalToggle().center());
    power->Render();
    EXPECT_EQ(widths(), proportional);
    EXPECT_TRUE(host.commits.empty()) << "the toggle changes the view, not the map";
}

} // namespace

TEST_F(TableWidget, ADisabledColumnCountButtonDoesNothing)
{
    MapAxis& x = tab->Sheet().axisX;
    ASSERT_FALSE(tab->Geometry().addColumn.isNull());
    for (const auto& [count, button] : { std::pair { x.maxCount, &MapViewGeometry::addColumn },
             std::pair { x.minCount, &MapViewGeometry::removeColumn } }) {
        x.count = count;
        tab->RebuildLayout();
        tab->Render();
        QTest::mouseClick(tab, Qt::LeftButton, Qt::NoModifier, (tab->Geometry().*button).center());
        EXPECT_EQ(x.count, count);
        EXPECT_TRUE(host.messages.empty()) << host.messages.front();
        EXPECT_TRUE(host.commits.empty());
    }
}

TEST_F(TableWidget, LosingTheFocusEndsAPressWhoseReleaseNeverComes)
{
    tab->setFocus();
    QTest::mouseClick(tab, Qt::LeftButton, Qt::NoModifier, CellCentre(2, 2));
    QTest::mouseMove(tab, CellCentre(2, 2));
    const QRect down = tab->Table().ArrowRect(2, 2, false);
    QTest::mouseMove(tab, down.center());
    QTest::mousePress(tab, Qt::LeftButton, Qt::NoModifier, down.center());
    // A message box or another window takes the focus; the release goes there.
    QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(tab, &out);
    const int afterPress = tab->Sheet().Cell(2, 2);
    for (int i = 0; i < 20; ++i)
        editors.TabTick(MapLiveValues {});
    EXPECT_EQ(tab->Sheet().Cell(2, 2), afterPress) << "the arrow no longer repeats";
    const QRect up = tab->Table().ArrowRect(2, 2, true);
    QTest::mouseMove(tab, up.center());
    Wheel(up.center(), 120);
    EXPECT_EQ(tab->Sheet().Cell(2, 2), afterPress + 1) << "the wheel works without a click";
}
