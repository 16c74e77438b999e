#include "print/PrintPreparer.h"

#include "WindowSnapshot.h"
#include "app/MainWindow.h"
#include "base/Colours.h"
#include "lang/LangString.h"
#include "mapedit/ui/MapEditor.h"
#include "pages/UpDownSpinBox.h"
#include "print/PrintKinds.h"

#include "TempDir.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

const QColor WHITE(255, 255, 255);

void SetColour(QWidget* w, const QColor& colour)
{
    QPalette p = w->palette();
    p.setColor(w->backgroundRole(), colour);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

// A small window with one control of each kind the printout treats differently.
struct SmallWindow {
    QMainWindow window;
    QLabel* faceLabel = new QLabel("face");
    QLabel* redLabel = new QLabel("red");
    QLabel* plainLabel = new QLabel("plain");
    QPushButton* button = new QPushButton("shown");
    QPushButton* hiddenButton = new QPushButton("hidden");
    QCheckBox* check = new QCheckBox("check");
    QGroupBox* group = new QGroupBox("group");
    UpDownSpinBox* upDown = new UpDownSpinBox("UpDownLimiter", "EditLimiter", 0, 100, 1, nullptr);
    MapEditor* editor = new MapEditor(nullptr, 200, 120);
    QCheckBox* progHned = new QCheckBox("program at once");
    QTabWidget* tabs = new QTabWidget;

    SmallWindow()
    {
        auto* central = new QWidget;
        auto* layout = new QVBoxLayout(central);
        SetColour(faceLabel, ButtonFaceColour());
        SetColour(redLabel, QColor(255, 0, 0));
        progHned->setObjectName("CheckBoxProgHned");
        auto* inGroup = new QVBoxLayout(group);
        inGroup->addWidget(upDown);
        inGroup->addWidget(hiddenButton);
        for (QWidget* w :
            std::initializer_list<QWidget*> { faceLabel, redLabel, plainLabel, button, check, group, progHned, tabs })
            layout->addWidget(w);
        for (int i = 0; i < 3; ++i) {
            auto* sheet = new QWidget;
            new QVBoxLayout(sheet);
            tabs->addTab(sheet, QString("sheet %1").arg(i));
        }
        tabs->widget(1)->layout()->addWidget(editor);
        tabs->setTabVisible(2, false);
        window.setCentralWidget(central);
        window.statusBar()->showMessage("status");
        window.resize(640, 480);
        hiddenButton->hide();
    }
};

TEST(PrintKinds, ProgramClassesMapToTheirCodes)
{
    SmallWindow w;
    const struct {
        QWidget* control;
        PrintKind kind;
    } cases[] = {
        { w.faceLabel, KIND_LABEL },
        { w.button, KIND_BUTTON },
        { w.check, KIND_CHECK_BOX },
        { w.group, KIND_GROUP_BOX },
        { w.upDown, KIND_UPDOWN },
        { w.editor, KIND_MAP_EDITOR },
        { w.tabs, KIND_PAGE_CONTROL },
        { w.tabs->widget(0), KIND_TAB_SHEET },
        { w.window.statusBar(), KIND_STATUS_BAR },
        { w.window.centralWidget(), KIND_OTHER },
    };
    for (const auto& c : cases)
        EXPECT_EQ(PrintKindOf(c.control), c.kind) << c.control->metaObject()->className();
}

TEST(PrintPreparer, PreparesThePrintableForm)
{
    SmallWindow w;
    PrintPreparer preparer;
    preparer.Prepare(w.window);

    EXPECT_EQ(ControlColour(&w.window), WHITE);
    EXPECT_TRUE(w.window.statusBar()->isHidden()) << "its texts are printed whole below the window";
    EXPECT_FALSE(w.faceLabel->autoFillBackground()) << "a button-face label turns transparent";
    EXPECT_TRUE(w.redLabel->autoFillBackground()) << "a coloured label keeps its colour";
    EXPECT_EQ(ControlColour(w.redLabel), QColor(255, 0, 0));
    EXPECT_TRUE(w.button->isHidden());
    EXPECT_TRUE(w.progHned->isHidden());
    EXPECT_EQ(w.upDown->buttonSymbols(), QAbstractSpinBox::NoButtons);
    EXPECT_FALSE(w.upDown->isHidden()) << "the edit field stays on paper";
    EXPECT_EQ(w.editor->PrintMode(), 1) << "an editor on a sheet not shown is printed too";
    EXPECT_EQ(ControlColour(w.group), WHITE);
    ASSERT_EQ(preparer.sheets().size(), 2u) << "only sheets shown as tabs";
    EXPECT_EQ(preparer.sheets()[0].sheet, w.tabs->widget(0));
    EXPECT_EQ(preparer.sheets()[1].sheet, w.tabs->widget(1));
}

TEST(PrintPreparer, RestorePutsBackExactlyWhatWasChanged)
{
    SmallWindow w;
    const QStringList before = WindowSnapshot(w.window);
    {
        PrintPreparer preparer;
        preparer.Prepare(w.window);
        EXPECT_NE(WindowSnapshot(w.window), before);
        preparer.Prepare(w.window); // a second Prepare must not record the printable form as the original
        preparer.Restore();
        EXPECT_TRUE(preparer.records().empty());
        EXPECT_TRUE(preparer.sheets().empty());
        EXPECT_FALSE(preparer.prepared());
    }
    ExpectSameSnapshot(before, WindowSnapshot(w.window));
    EXPECT_TRUE(w.hiddenButton->isHidden()) << "a control hidden before stays hidden";
    EXPECT_FALSE(w.window.testAttribute(Qt::WA_SetPalette)) << "an inherited palette is inherited again";
}

TEST(PrintPreparer, DestroyingAPreparedPreparerRestores)
{
    SmallWindow w;
    const QStringList before = WindowSnapshot(w.window);
    {
        PrintPreparer preparer;
        preparer.Prepare(w.window);
    }
    ExpectSameSnapshot(before, WindowSnapshot(w.window));
}

TEST(PrintPreparer, AControlDeletedWhilePreparedIsSkipped)
{
    SmallWindow w;
    PrintPreparer preparer;
    preparer.Prepare(w.window);
    delete w.button;
    preparer.Restore();
    EXPECT_FALSE(w.progHned->isHidden());
}

struct MainWindowFixture : testing::Test {
    ScopedWorkDir dir;
    std::unique_ptr<MainWindow> form;
    void SetUp() override
    {
        LanguageIndex = LANG_ENGLISH;
        form = std::make_unique<MainWindow>(std::vector<std::string> {}, [](const std::string&) {});
        form->resize(1000, 700);
        SettleWindow(*form);
    }
};

TEST_F(MainWindowFixture, RealWindowIsRestoredOnEveryPage)
{
    auto* tabs = form->findChild<QTabWidget*>("PageControl1");
    ASSERT_NE(tabs, nullptr);
    for (int page : { 0, 1, 5 }) {
        tabs->setCurrentIndex(page);
        const QStringList before = WindowSnapshot(*form);
        PrintPreparer preparer;
        preparer.Prepare(*form);
        for (const char* name : PrintPreparer::HIDDEN_NAMES) {
            auto* w = form->findChild<QWidget*>(name);
            EXPECT_TRUE(!w || w->isHidden()) << name;
        }
        int editors = 0;
        for (MapEditor* t : form->findChildren<MapEditor*>())
            editors += !t->isHidden() && t->PrintMode();
        EXPECT_GT(editors, 0) << "the map editors print in print mode";
        preparer.Restore();
        ExpectSameSnapshot(before, WindowSnapshot(*form));
    }
}

} // namespace
