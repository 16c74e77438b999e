#include "ShownAdvanceMap.h"
#include "lang/LangString.h"

#include <QAccessible>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// What a screen reader asks of the advance map's editor through Qt's accessibility interface.
class EditorAccess : public ::testing::Test {
protected:
    void SetUp() override
    {
        LanguageIndex = LANG_ENGLISH;
        tab = ShowAdvanceMap(editors, QSize(900, 400), [](int c, int r) { return 10 * c + r; });
        ASSERT_NE(tab, nullptr);
        tab->setFocus();
        tab->Render();
    }
    void TearDown() override { LanguageIndex = LANG_ENGLISH; }
    QString Text(QAccessible::Text which) const
    {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(tab);
        return face ? face->text(which) : QString("(no interface)");
    }
    QAccessible::Role Role() const { return QAccessible::queryAccessibleInterface(tab)->role(); }
    RecordingHost host;
    MapEditorList editors { &host };
    MapEditor* tab = nullptr;
};

TEST_F(EditorAccess, TheFocusedCellSaysItsRowColumnAndValueAsTheArrowKeysMove)
{
    EXPECT_EQ(Role(), QAccessible::Table);
    EXPECT_EQ(Text(QAccessible::Name), "Advance – table");
    EXPECT_TRUE(Text(QAccessible::Value).startsWith("No cell chosen")) << Text(QAccessible::Value).toStdString();

    QTest::keyClick(tab, Qt::Key_Right);
    EXPECT_EQ(Text(QAccessible::Value), "Row 0 %, column 1 000: 0 °");
    QTest::keyClick(tab, Qt::Key_Right);
    QTest::keyClick(tab, Qt::Key_Down);
    EXPECT_EQ(Text(QAccessible::Value), "Row 2 %, column 2 000: 11 °");

    LanguageIndex = LANG_GERMAN;
    EXPECT_EQ(Text(QAccessible::Value), "Zeile 2 %, Spalte 2 000: 11 °");
    LanguageIndex = LANG_CZECH;
    EXPECT_EQ(Text(QAccessible::Value), "Řádek 2 %, sloupec 2 000: 11 °");
    EXPECT_EQ(Text(QAccessible::Name), "Předstih – tabulka");
}

TEST_F(EditorAccess, AHeaderSaysWhichLineItHeads)
{
    tab->SelectElement(3, HEADER);
    EXPECT_EQ(Text(QAccessible::Value), "Column header 4: 4 000");
    tab->SelectElement(HEADER, 5);
    EXPECT_EQ(Text(QAccessible::Value), "Row header 6: 30 %");
}

TEST_F(EditorAccess, TheGraphsNameThemselvesAndSayWhatTheyShow)
{
    struct Case {
        int command;
        const char* name;
        const char* description;
    };
    const Case cases[] = {
        { CMD_VIEW_2D, "Advance – 2D graph", "Advance over RPM, one curve per TP" },
        { CMD_VIEW_3D, "Advance – 3D graph", "Advance as a surface over RPM and TP" },
        { CMD_VIEW_TABLE, "Advance – table", "Arrow keys move between the cells" },
    };
    tab->SelectElement(1, 2);
    for (const Case& c : cases) {
        tab->RunCommand(c.command);
        tab->Render();
        EXPECT_EQ(Text(QAccessible::Name), c.name);
        EXPECT_TRUE(Text(QAccessible::Description).startsWith(c.description))
            << Text(QAccessible::Description).toStdString();
        EXPECT_EQ(Role(), c.command == CMD_VIEW_TABLE ? QAccessible::Table : QAccessible::Chart) << c.name;
        EXPECT_EQ(Text(QAccessible::Value), "Row 5 %, column 2 000: 12 °") << "the chosen cell in every view";
    }
}

TEST_F(EditorAccess, ANameTheOwnerGaveWins)
{
    tab->setAccessibleName("Ignition advance");
    EXPECT_EQ(Text(QAccessible::Name), "Ignition advance");
}

} // namespace
