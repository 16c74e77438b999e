#include "app/MainWindow.h"
#include "app/WindowLanguage.h"
#include "lang/LangString.h"
#include "model/ImageLayout.h"
#include "model/LoadGroups.h"
#include "pages/UpDownSpinBox.h"

#include "TempDir.h"

#include <QApplication>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

// A window on the Miscellaneous page, shown and active, so that its shortcuts work.
struct ShownWindow : testing::Test {
    ScopedWorkDir dir;
    std::unique_ptr<MainWindow> form;

    void SetUp() override
    {
        LanguageIndex = LANG_ENGLISH;
        form = std::make_unique<MainWindow>(std::vector<std::string> {}, [](const std::string&) {});
        form->findChild<QTabWidget*>("PageControl1")->setCurrentIndex(PAGE_MISC);
        form->show();
        QApplication::setActiveWindow(form.get());
    }
    void TearDown() override
    {
        form.reset();
        LanguageIndex = LANG_ENGLISH;
    }
    QLineEdit* Edit(const char* name) { return form->findChild<QLineEdit*>(name); }
    void Type(const char* field, const char* text)
    {
        QLineEdit* edit = Edit(field);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    int Limiter() const { return form->Image().Adrb(LIMITER); }
};

TEST_F(ShownWindow, EnterAppliesTheTypedValueAtOnceAndMovesTheFocusOn)
{
    QLineEdit* edit = Edit("EditLimiter");
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, "12300");
    EXPECT_NE(Limiter(), 123) << "typing alone applies nothing";
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(Limiter(), 123);
    EXPECT_NE(QApplication::focusWidget(), edit);
}

TEST_F(ShownWindow, CtrlZInAFieldWithNothingOfItsOwnReachesTheProgramsUndo)
{
    const int before = Limiter();
    Type("EditLimiter", "12300");
    ASSERT_EQ(Limiter(), 123);
    QLineEdit* retard = Edit("EditRetard");
    ASSERT_NE(retard, nullptr);
    retard->setFocus();
    QTest::keyClick(retard, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Limiter(), before) << "undo";
    QTest::keyClick(retard, Qt::Key_Z, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(Limiter(), 123) << "redo";

    // A field that has typing of its own undoes that first.
    QLineEdit* limiter = Edit("EditLimiter");
    limiter->setFocus();
    limiter->selectAll();
    const QString shown = limiter->text();
    QTest::keyClicks(limiter, "9000");
    ASSERT_EQ(limiter->text(), "9000");
    QTest::keyClick(limiter, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(limiter->text(), shown);
    EXPECT_EQ(Limiter(), 123);
}

TEST_F(ShownWindow, SpinFieldsWriteAndReadNumbersAsTheLanguageDoes)
{
    struct Case {
        int language;
        const char* shown; // 11 000 rpm
        const char* typed; // 9 500 rpm
    };
    const Case cases[] = {
        { LANG_ENGLISH, "11,000", "9,500" },
        { LANG_GERMAN, "11.000", "9.500" },
        { LANG_CZECH, "11\u00a0000", "9 500" },
    };
    for (const Case& c : cases) {
        form->Language().SetLanguage(c.language);
        Type("EditLimiter", "11000");
        ASSERT_EQ(Limiter(), 110) << c.language;
        EXPECT_EQ(Edit("EditLimiter")->text(), QString::fromUtf8(c.shown)) << c.language;
        Type("EditLimiter", c.typed);
        EXPECT_EQ(Limiter(), 95) << c.typed;
    }
}

} // namespace
