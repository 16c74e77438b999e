#include "app/MainWindow.h"
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

namespace {

TEST(Keyboard, EnterAppliesTheTypedValueAtOnceAndMovesTheFocusOn)
{
    ScopedWorkDir dir;
    LanguageIndex = LANG_ENGLISH;
    MainWindow form({}, [](const std::string&) {});
    form.findChild<QTabWidget*>("PageControl1")->setCurrentIndex(PAGE_MISC);
    form.show();
    QApplication::setActiveWindow(&form);
    auto* edit = form.findChild<QLineEdit*>("EditLimiter");
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, "12300");
    EXPECT_NE(form.Image().Adrb(LIMITER), 123) << "typing alone applies nothing";
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(form.Image().Adrb(LIMITER), 123);
    EXPECT_NE(QApplication::focusWidget(), edit);
}

} // namespace
