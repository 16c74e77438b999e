#include "app/MainWindow.h"
#include "about/AboutDialog.h"
#include "app/ScreenFitter.h"
#include "app/WindowHelp.h"
#include "app/WindowLanguage.h"
#include "app/WindowPages.h"
#include "model/ImageLayout.h"
#include "app/WindowMonitor.h"
#include "lang/LangString.h"
#include "monitor/ui/LogViewer.h"

#include "TempDir.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

// Run once per screen the CMake file names (--screen=WIDTHxHEIGHT@SCALE): every window must lie
// inside the screen's available area with its frame, and the commands must stay on the screen.
namespace {

QRect Available() { return QGuiApplication::primaryScreen()->availableGeometry(); }

// A window seen by the user: its frame, title bar included.
void ExpectInsideScreen(const QWidget& window, const char* what)
{
    EXPECT_TRUE(Available().contains(window.frameGeometry()))
        << what << ": frame " << window.frameGeometry().x() << "," << window.frameGeometry().y() << " "
        << window.frameGeometry().width() << "x" << window.frameGeometry().height() << " outside the screen's "
        << Available().width() << "x" << Available().height();
}

void ExpectOnScreen(const QWidget* control, const char* name)
{
    ASSERT_NE(control, nullptr) << name;
    const QRect onScreen(control->mapToGlobal(QPoint(0, 0)), control->size());
    EXPECT_TRUE(control->isVisible()) << name;
    EXPECT_TRUE(Available().contains(onScreen)) << name << " is not on the screen";
}

struct ScreenFitFixture : testing::Test {
    ScopedWorkDir dir;
    std::unique_ptr<MainWindow> form;

    void SetUp() override { LanguageIndex = LANG_GERMAN; } // the longest captions
    void TearDown() override { LanguageIndex = LANG_ENGLISH; }

    void Open()
    {
        form = std::make_unique<MainWindow>(std::vector<std::string> { "nopatchcheck" }, [](const std::string&) {});
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    void WriteSavedPlace(int left, int top, int width, int height)
    {
        QFile ini(QString::fromStdString(dir.file("application.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(QString("[FORM_HLAV]\r\nLeft=%1\r\nTop=%2\r\nHeight=%3\r\nWidth=%4\r\nNEWINSTAL=0\r\n")
                      .arg(left)
                      .arg(top)
                      .arg(height)
                      .arg(width)
                      .toLatin1());
    }
};

TEST_F(ScreenFitFixture, TheMainWindowOpensInsideWithEveryCommandReachable)
{
    Open();
    ExpectInsideScreen(*form, "main window");
    for (const char* name : { "ButtonRead", "ButtonVerify", "ButtonProgram", "CheckBoxProgHned", "PageControl1" })
        ExpectOnScreen(form->findChild<QWidget*>(name), name);
    ExpectOnScreen(form->statusBar(), "status bar");
}

TEST_F(ScreenFitFixture, ASavedPlaceThatNoLongerFitsIsBroughtInside)
{
    struct Place {
        const char* name;
        int left, top, width, height;
    };
    const Place places[] = {
        { "the size of the screen, title bar above it", 0, 0, Available().width(), Available().height() },
        { "below the screen's top edge", 100, 50, 1000, 700 },
        { "larger than the screen", -50, -50, 4000, 3000 },
        { "on a monitor no longer there", 3000, 2000, 800, 600 },
    };
    for (const Place& p : places) {
        WriteSavedPlace(p.left, p.top, p.width, p.height);
        Open();
        ExpectInsideScreen(*form, p.name);
        form.reset();
    }
}

TEST_F(ScreenFitFixture, TheLogViewerAndTheDialogsOpenInside)
{
    Open();
    LogViewer viewer(form->Monitor().Player(), [] {}, [](const std::string&) {}, form.get());
    viewer.setWindowFlag(Qt::Window);
    viewer.show();
    for (const char* action : { "MenuDifferences", "MenuUnitHistory" }) {
        auto* a = form->findChild<QAction*>(action);
        ASSERT_NE(a, nullptr) << action;
        a->trigger();
    }
    QApplication::processEvents();
    int windows = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != form.get() && w->isVisible() && w->isWindow()) {
            ++windows;
            ExpectInsideScreen(*w, w->metaObject()->className());
        }
    EXPECT_GE(windows, 3);
}

TEST_F(ScreenFitFixture, AWindowLargerThanTheScreenIsShrunkToIt)
{
    QDialog dialog;
    new ScreenFitter(&dialog);
    dialog.resize(Available().size() * 2);
    dialog.move(Available().topLeft() - QPoint(100, 100));
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    ExpectInsideScreen(dialog, "dialog");
}

} // namespace

namespace {

// The Test page in every language: no caption touches the edges of its button; an average
// character's room stays on either side.
TEST_F(ScreenFitFixture, TheTestPageButtonsShowTheirWholeCaptions)
{
    Open();
    form->Pages().Select(PAGE_TEST);
    for (const int language : { LANG_ENGLISH, LANG_GERMAN, LANG_CZECH }) {
        form->Language().SetLanguage(language);
        QApplication::processEvents();
        int buttons = 0;
        for (QPushButton* b : form->Pages().Tabs()->currentWidget()->findChildren<QPushButton*>()) {
            if (!b->isVisible())
                continue;
            ++buttons;
            const int caption = b->fontMetrics().horizontalAdvance(QString(b->text()).remove('&'));
            EXPECT_GE(b->width() - caption, 2 * b->fontMetrics().averageCharWidth())
                << b->objectName().toStdString() << " \"" << b->text().toStdString() << "\"";
        }
        EXPECT_GE(buttons, 9);
    }
}

// The About box, 342 x 420 where there is room, always inside the screen.
TEST_F(ScreenFitFixture, TheAboutBoxOpensInside)
{
    Open();
    AboutDialog* about = form->Help().AboutBox();
    about->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(about));
    ExpectInsideScreen(*about, "about box");
    about->close();
}

} // namespace
