#include "mapedit/ui/MapToolbar.h"
#include "MapTestSupport.h"
#include "lang/LangString.h"
#include "mapedit/ui/MapEditorList.h"
#include "mapedit/ui/MapEditor.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// The advance map with a TP load axis: a toolbar with the use-only and the view buttons.
class Toolbar : public ::testing::Test {
protected:
    void SetUp() override
    {
        tab = editors.CreateProgramMap(MapKind::Advance, nullptr, 900, 400);
        ASSERT_NE(tab, nullptr);
        FillSheet(*tab, AdvanceRpm, TpPoints, 20);
        tab->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(tab));
        QApplication::clipboard()->clear();
        tab->RebuildLayout();
        tab->Render();
    }
    void TearDown() override { LanguageIndex = LANG_ENGLISH; }
    const MapToolbar::Button& Button(int command) { return tab->Toolbar().At(command); }
    void Click(int command) { QTest::mouseClick(tab, Qt::LeftButton, Qt::NoModifier, Button(command).rect.center()); }
    // Ticks until both enabling rules have run (bit 1 and bit 3 of the tick count).
    void TickAll()
    {
        for (int i = 0; i < 8; ++i)
            editors.TabTick(MapLiveValues {});
    }
    RecordingHost host;
    MapEditorList editors { &host };
    MapEditor* tab = nullptr;
};

TEST_F(Toolbar, ButtonsLieWhereTheLayoutPutsThem)
{
    // One use-only axis (TP) gives two use-only buttons; table, 2D and 3D are the three views.
    const int width = 2 * 75 + 3 * 63 + 123;
    EXPECT_EQ(tab->Toolbar().Width(), width);
    const int e = 900 - 27 - width;
    EXPECT_EQ(Button(CMD_COPY).rect, QRect(e, 5, 24, 24));
    EXPECT_EQ(Button(CMD_PASTE).rect.left(), e + 60);
    EXPECT_EQ(Button(CMD_STEP_UP).rect, QRect(e + 100, 5, 12, 12));
    EXPECT_EQ(Button(CMD_STEP_DOWN).rect.top(), 5 + 13);
    EXPECT_EQ(Button(CMD_ONLY_X).rect.left(), e + 128);
    EXPECT_EQ(Button(CMD_ONLY_X).caption, "Only RPM");
    EXPECT_EQ(Button(CMD_BOTH).rect.left(), e + 128 + 75);
    EXPECT_EQ(Button(CMD_BOTH).caption, "RPM and TP");
    EXPECT_FALSE(Button(CMD_ONLY_Y).exists) << "RPM cannot be switched off";
    EXPECT_EQ(Button(CMD_VIEW_TABLE).rect, QRect(900 - 27 - 3 * 63 + 5, 5, 58, 24));
    EXPECT_EQ(Button(CMD_VIEW_2D).rect.left(), 900 - 27 - 2 * 63 + 5);
    EXPECT_EQ(Button(CMD_VIEW_3D).rect.left(), 900 - 27 - 63 + 5);
    EXPECT_EQ(Button(CMD_3D_TOP).view, VIEW_3D) << "the view buttons of the 3D panel";
    EXPECT_EQ(tab->Toolbar().ButtonAt(Button(CMD_3D_TOP).rect.center()), -1) << "hidden in the table view";
}

TEST_F(Toolbar, CopyAndTheStepButtonsNeedASelection)
{
    EXPECT_FALSE(Button(CMD_COPY).enabled);
    EXPECT_TRUE(Button(CMD_COPY_TABLE).enabled);
    EXPECT_FALSE(Button(CMD_STEP_UP).enabled);
    tab->SelectElement(3, 9);
    TickAll();
    EXPECT_TRUE(Button(CMD_COPY).enabled);
    EXPECT_TRUE(Button(CMD_STEP_UP).enabled);
    Click(CMD_STEP_UP);
    Click(CMD_STEP_UP);
    Click(CMD_STEP_DOWN);
    EXPECT_EQ(tab->Sheet().Cell(3, 9), 21);
    tab->Render();
    // The selection is the target: a black frame around the step buttons.
    const QRect steps = Button(CMD_STEP_UP).rect.united(Button(CMD_STEP_DOWN).rect);
    EXPECT_EQ(tab->Picture().pixel(steps.left() - 2, steps.center().y()), qRgb(0, 0, 0));
}

TEST_F(Toolbar, TheLiveCellEnablesTheStepButtons)
{
    MapLiveValues live;
    live.engineRpm = 3000;
    live.throttle = 50;
    for (int i = 0; i < 4; ++i)
        editors.TabTick(live);
    ASSERT_EQ(tab->Sheet().opState, 1);
    EXPECT_TRUE(Button(CMD_STEP_UP).enabled);
    Click(CMD_STEP_UP);
    EXPECT_EQ(tab->Sheet().Cell(tab->Sheet().opColumn, tab->Sheet().opRow), 21);
}

TEST_F(Toolbar, PasteFollowsTheClipboard)
{
    tab->SelectElement(2, 2);
    TickAll();
    EXPECT_FALSE(Button(CMD_PASTE).enabled) << "an empty clipboard";
    QApplication::clipboard()->setText("7");
    TickAll();
    EXPECT_TRUE(Button(CMD_PASTE).enabled);
    EXPECT_EQ(Button(CMD_PASTE).icon, ToolbarIcon::Paste);
    Click(CMD_PASTE);
    EXPECT_EQ(tab->Sheet().Cell(2, 2), 7);
    tab->Sel().Clear();
    TickAll();
    EXPECT_FALSE(Button(CMD_PASTE).enabled) << "plain text needs an editable selection";
    tab->RunCommand(CMD_COPY_TABLE);
    TickAll();
    EXPECT_TRUE(Button(CMD_PASTE).enabled) << "a whole table pastes without a selection";
    EXPECT_EQ(Button(CMD_PASTE).icon, ToolbarIcon::PasteSheet);
}

TEST_F(Toolbar, TheViewButtonsSwitchViewsAndThePopupShowsTheCheckedOne)
{
    EXPECT_TRUE(Button(CMD_VIEW_TABLE).pressed);
    Click(CMD_VIEW_2D);
    EXPECT_EQ(tab->ViewMode(), VIEW_2D);
    tab->Render();
    EXPECT_TRUE(Button(CMD_VIEW_2D).pressed);
    EXPECT_FALSE(Button(CMD_VIEW_TABLE).pressed);
    tab->BuildPopup(tab->Geometry().graphArea.center());
    QStringList checked;
    for (QAction* action : tab->Popup()->actions())
        if (action->isChecked())
            checked << action->text();
    EXPECT_EQ(checked, (QStringList { "View as graph 2D", "Use RPM and TP" }));
    QTest::mouseDClick(tab, Qt::LeftButton, Qt::NoModifier, Button(CMD_VIEW_TABLE).rect.center());
    EXPECT_EQ(tab->ViewMode(), VIEW_TABLE);
}

TEST_F(Toolbar, UseOnlyButtonsShowAndSwitchTheAxes)
{
    EXPECT_TRUE(Button(CMD_BOTH).pressed);
    Click(CMD_ONLY_X);
    EXPECT_TRUE(tab->Sheet().axisY.off);
    tab->Render();
    EXPECT_TRUE(Button(CMD_ONLY_X).pressed);
    EXPECT_FALSE(Button(CMD_BOTH).pressed);
    EXPECT_FALSE(host.commits.empty());
}

TEST_F(Toolbar, HintsAreShownInTheChosenLanguage)
{
    const QPoint at = Button(CMD_COPY_TABLE).rect.center();
    EXPECT_EQ(tab->Toolbar().HintAt(at), "Copy table");
    LanguageIndex = LANG_GERMAN;
    EXPECT_EQ(tab->Toolbar().HintAt(at), "Tabelle kopieren");
    LanguageIndex = LANG_CZECH;
    EXPECT_EQ(tab->Toolbar().HintAt(at), QString::fromUtf8("Kopírovat tabulku"));
    QTest::mouseMove(tab, at);
    EXPECT_EQ(tab->toolTip(), QString::fromUtf8("Kopírovat tabulku"));
    tab->RebuildLayout();
    EXPECT_EQ(Button(CMD_ONLY_X).caption, "Jen RPM");
}

TEST_F(Toolbar, ADisabledButtonDoesNothing)
{
    ASSERT_FALSE(Button(CMD_COPY).enabled);
    QApplication::clipboard()->setText("unchanged");
    Click(CMD_COPY);
    EXPECT_EQ(QApplication::clipboard()->text(), "unchanged");
}

TEST(ToolbarlessMap, TheTpSensorTableTogglesBetweenTableAndGraph)
{
    MapEditorList editors;
    MapEditor* tab = editors.CreateProgramMap(MapKind::TpSensor, nullptr, 200, 110);
    tab->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(tab));
    tab->Render();
    EXPECT_EQ(tab->Toolbar().Width(), 0);
    EXPECT_FALSE(tab->Toolbar().At(CMD_COPY).exists);
    const QRect toggle = tab->Toolbar().ViewToggle();
    ASSERT_FALSE(toggle.isNull());
    EXPECT_GE(toggle.top(), 110 - 27) << "in the bottom margin, under the header column";
    EXPECT_LE(toggle.bottom(), 110);
    EXPECT_EQ(tab->Toolbar().HintAt(toggle.center()), "2D Graph / Table view");
    QTest::mouseClick(tab, Qt::LeftButton, Qt::NoModifier, toggle.center());
    EXPECT_EQ(tab->ViewMode(), VIEW_2D);
    tab->Render();
    ASSERT_FALSE(tab->Toolbar().ViewToggle().isNull()) << "the BT_T button leads back";
    QTest::mouseClick(tab, Qt::LeftButton, Qt::NoModifier, tab->Toolbar().ViewToggle().center());
    EXPECT_EQ(tab->ViewMode(), VIEW_TABLE);
}

} // namespace
