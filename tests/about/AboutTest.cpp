#include "about/AboutDialog.h"
#include "app/MainWindow.h"
#include "app/WindowHelp.h"
#include "app/WindowLanguage.h"
#include "lang/LangString.h"

#include "TempDir.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
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
