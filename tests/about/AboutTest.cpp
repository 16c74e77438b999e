#include "about/AboutDialog.h"
#include "app/MainWindow.h"
#include "app/WindowHelp.h"
#include "app/WindowLanguage.h"
#include "lang/LangString.h"

#include "TempDir.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

TEST(AboutBox, ContentAndCaptionInTheLanguageOfTheMoment)
{
    ScopedWorkDir dir;
    LanguageIndex = LANG_ENGLISH;
    MainWindow form({}, [](const std::string&) {});
    EXPECT_EQ(form.findChild<AboutDialog*>(), nullptr) << "made when first wanted, not with the window";
    AboutDialog* about = form.Help().AboutBox();
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(form.Help().AboutBox(), about) << "made once";
    EXPECT_EQ(about->findChild<QLabel*>("LabelRsKey")->text(), "Version - 93.0");
    EXPECT_EQ(about->findChild<QLabel*>("LabelAbout")->text(), "Program for setting of ignition");
    EXPECT_EQ(about->findChild<QLabel*>("LabelDate")->text(), __DATE__);
    EXPECT_EQ(about->size(), QSize(342, 420));

    form.Language().SetLanguage(LANG_CZECH);
    QString shownCaption;
    QTimer::singleShot(0, about, [&] {
        shownCaption = about->windowTitle();
        about->accept();
    });
    form.findChild<QAction*>("MenuAbout")->trigger();
    EXPECT_EQ(shownCaption, "O programu VORDAX4");
    LanguageIndex = LANG_ENGLISH;
}

TEST(AboutBox, ManualAddressByLanguageAndFailureMessage)
{
    ScopedWorkDir dir;
    std::vector<std::string> errors;
    MainWindow form({ "DEUTSCH" }, [&](const std::string& e) { errors.push_back(e); });
    QString opened;
    form.Help().openUrl = [&](const QString& url) {
        opened = url;
        return false;
    };
    form.findChild<QAction*>("MenuContens")->trigger();
    EXPECT_TRUE(opened.endsWith("/en/vyrobky/vordax4/manual_flinter_vordax4_v93_en.pdf"));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "Fehler beim öffnen der www Link " + opened.toStdString() + " !");

    form.Language().SetLanguage(LANG_CZECH);
    form.Help().OpenManual();
    EXPECT_TRUE(opened.endsWith("/cz/vyrobky/vordax4/manual_flinter_vordax4_v93_cz.pdf"));
    LanguageIndex = LANG_ENGLISH;
}

TEST(AboutBox, EnterAndEscCloseIt)
{
    ScopedWorkDir dir;
    LanguageIndex = LANG_ENGLISH;
    MainWindow form({}, [](const std::string&) {});
    AboutDialog* about = form.Help().AboutBox();
    ASSERT_NE(about->findChild<QPushButton*>("ButtonOK"), nullptr) << "OK is a button";
    for (const Qt::Key key : { Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape }) {
        about->show();
        QTest::keyClick(about, key);
        EXPECT_FALSE(about->isVisible()) << key;
    }
}

// A 700-pixel screen at scale factor 2 leaves 350 pixels: the box shrinks to fit, its content
// scrolls, and OK stays in its corner; on a screen with room it keeps its size and OK its place.
TEST(AboutBox, FitsASmallScreenAndKeepsItsLookOnALargeOne)
{
    ScopedWorkDir dir;
    AboutDialog about;
    auto* ok = about.findChild<QPushButton*>("ButtonOK");
    ASSERT_NE(ok, nullptr);

    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    about.FitInto(QRect(0, 0, 1920, 1040));
    EXPECT_EQ(about.size(), QSize(342, 420));
    EXPECT_EQ(ok->geometry().bottomRight(), QPoint(342 - 16 - 1, 420 - 16 - 1));

    const QRect small(0, 0, 500, 350);
    about.FitInto(small);
    EXPECT_LE(about.height(), small.height() - 30);
    EXPECT_TRUE(small.contains(about.geometry())) << "centred inside the free area";
    EXPECT_TRUE(about.rect().contains(ok->geometry())) << "OK can be clicked without scrolling";
    EXPECT_GT(about.width(), 342) << "wider by the vertical scroll bar, so no horizontal one is needed";
    auto* scroll = about.findChild<QScrollArea*>();
    ASSERT_NE(scroll, nullptr);
    QLabel* last = about.findChild<QLabel*>("LabelRsKey");
    EXPECT_TRUE(last->visibleRegion().isEmpty()) << "the last line lies below what is seen at first";
    scroll->ensureWidgetVisible(last);
    EXPECT_FALSE(last->visibleRegion().isEmpty()) << "scrolling reaches it";
    QTest::keyClick(&about, Qt::Key_Escape);
    EXPECT_FALSE(about.isVisible());
}
