#include "app/DifferencesDialog.h"
#include "app/FileMenu.h"
#include "app/WindowDifferences.h"
#include "app/WindowLanguage.h"
#include "app/WindowPages.h"
#include "files/IgnWriter.h"
#include "mapedit/ProgramMaps.h"
#include "mapedit/ui/MapEditor.h"
#include "mapedit/ui/MapEditorList.h"
#include "model/LoadGroups.h"
#include "model/MapFacts.h"

#include "WindowWithUnit.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

namespace {

struct Differences : WindowWithUnit {
    DifferencesDialog* Dialog() { return form->Differences().Dialog(); }
    QTableWidget* Table() { return Dialog()->table(); }
    std::vector<std::string> Rows(int column = 0)
    {
        std::vector<std::string> rows;
        for (int r = 0; r < Table()->rowCount(); ++r)
            rows.push_back(Table()->item(r, column)->text().toStdString());
        return rows;
    }
    void OpenFromMenu()
    {
        form->findChild<QAction*>("MenuDifferences")->trigger();
        ASSERT_NE(Dialog(), nullptr);
        EXPECT_TRUE(Dialog()->isVisible());
    }
    void DoubleClickRow(int row)
    {
        QCoreApplication::processEvents();
        const QRect cell = Table()->visualRect(Table()->model()->index(row, 0));
        // The view takes a double-click on the item its press chose: a click, then the double-click.
        QTest::mouseClick(Table()->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(Table()->viewport(), Qt::LeftButton, {}, cell.center());
    }
    void ClickCheckBoxOnItsPage(const char* name, int page)
    {
        form->Pages().Select(page);
        form->findChild<QCheckBox*>(name)->click();
        Tick();
    }
};

TEST_F(Differences, TwoEditedSettingsAreTheTwoRowsAndADoubleClickShowsTheSetting)
{
    Open();
    Connect();
    Run("MenuRead");
    ASSERT_EQ(form->Image().bytes(), unit->Configuration());
    const int limiter = form->Image().Adrb(LIMITER) * 100 + 700;
    SetLimiter(limiter);
    ClickCheckBoxOnItsPage("CheckBoxZamenaPickup", PAGE_BIKE);
    ASSERT_EQ(Text("LabelCongruence"), "Unit and PC settings are different");

    OpenFromMenu();
    EXPECT_EQ(Dialog()->windowTitle(), "Differences");
    EXPECT_EQ(Dialog()->findChild<QLabel*>("LabelDifferencesSubject")->text(),
        "Settings on the screen compared with the unit on COM3");
    EXPECT_EQ(Table()->horizontalHeaderItem(2)->text(), "Unit");
    EXPECT_EQ(Rows(), (std::vector<std::string> { "Pickups interchange (pin 9 and 20)", "Limiter [rpm]" }));
    EXPECT_EQ(Rows(1), (std::vector<std::string> { "On", std::to_string(limiter) + " rpm" }));
    EXPECT_EQ(Rows(2)[0], "Off");

    ASSERT_EQ(form->Pages().Active(), PAGE_BIKE);
    DoubleClickRow(1);
    EXPECT_EQ(form->Pages().Active(), PAGE_MISC);
    EXPECT_EQ(form->focusWidget(), form->findChild<QWidget*>("UpDownLimiter"));
    DoubleClickRow(0);
    EXPECT_EQ(form->Pages().Active(), PAGE_BIKE);
    EXPECT_EQ(form->focusWidget(), form->findChild<QWidget*>("CheckBoxZamenaPickup"));

    // The list follows the language, and Refresh shows the screen as it is now.
    form->Language().SetLanguage(LANG_GERMAN);
    ClickCheckBoxOnItsPage("CheckBoxZamenaPickup", PAGE_BIKE);
    Dialog()->findChild<QPushButton*>("ButtonDifferencesRefresh")->click();
    EXPECT_EQ(Rows(), (std::vector<std::string> { "Begrenzer [rpm]" }));
    EXPECT_EQ(Table()->horizontalHeaderItem(2)->text(), "Einheit");
    form->Language().SetLanguage(LANG_ENGLISH);
}

TEST_F(Differences, AMapCellTheUnitHoldsOtherwiseIsSelectedInItsEditor)
{
    Open();
    auto config = unit->Configuration();
    config[ADVANCE + 3] = static_cast<uint8_t>(config[ADVANCE + 3] + 4);
    unit->SetConfiguration(config);
    Connect();
    EXPECT_EQ(Text("LabelCongruence"), "Unit and PC settings are different");

    // A click on the yellow label opens the list.
    QTest::mouseClick(form->findChild<QLabel*>("LabelCongruence"), Qt::LeftButton);
    ASSERT_NE(Dialog(), nullptr);
    EXPECT_TRUE(Dialog()->isVisible());
    ASSERT_EQ(Rows().size(), 1u);
    EXPECT_EQ(Rows()[0].rfind("Advance map, ", 0), 0u) << Rows()[0];
    EXPECT_NE(Rows()[0].find(", 4000 rpm"), std::string::npos) << Rows()[0];

    DoubleClickRow(0);
    EXPECT_EQ(form->Pages().Active(), PAGE_ADVANCE);
    MapEditor* editor = form->MapEditors().EditorByOwnerId(ProgramMap(MapKind::Advance).ownerId);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->Sel().startColumn, 3);
    EXPECT_EQ(editor->Sel().count, 1);
    EXPECT_EQ(form->focusWidget(), editor);
}

TEST_F(Differences, AfterVerifyErrorTheDialogOffersItselfWithWhatTheUnitAnswered)
{
    Open();
    Connect();
    Run("MenuRead");
    // Something else changes the unit behind the program's back.
    auto config = unit->Configuration();
    config[RETARD] = static_cast<uint8_t>(config[RETARD] + 3);
    unit->SetConfiguration(config);
    Run("MenuVerify");
    ASSERT_EQ(Text("LabelResult"), "Verify error !");
    Tick();
    ASSERT_NE(Dialog(), nullptr);
    EXPECT_TRUE(Dialog()->isVisible());
    ASSERT_EQ(Rows().size(), 1u);
    EXPECT_EQ(Rows()[0], "Retard [°]");
    EXPECT_EQ(Rows(2)[0], std::to_string(config[RETARD]) + "°") << "the unit's answer, not the older mirror";
}

TEST_F(Differences, WithoutAUnitTheScreenIsComparedWithTheOpenedFile)
{
    qunsetenv("VORDAX4_PORTS");
    Open();
    const QString path = QString::fromStdString(dir.file("bike.ign"));
    ASSERT_TRUE(WriteIgnFile(path, form->Image(), IgnUnitInfo {}));
    form->Files().OpenParameterFile(PAGE_ALL, path);
    OpenFromMenu();
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(Dialog()->findChild<QLabel*>("LabelDifferencesSubject")->text(),
        "Settings on the screen compared with the file bike.ign\nThe settings are identical.");

    SetLimiter(form->Image().Adrb(LIMITER) * 100 - 1000);
    Dialog()->findChild<QPushButton*>("ButtonDifferencesRefresh")->click();
    EXPECT_EQ(Rows(), (std::vector<std::string> { "Limiter [rpm]" }));
    EXPECT_EQ(Table()->horizontalHeaderItem(2)->text(), "File");
}

// The comparison names a curve's cells by the line the editor shows while the map is one curve.
TEST_F(Differences, TheCurveLinesOfTheMapsAreTheLinesTheirEditorsShow)
{
    Open();
    for (MapKind kind : { MapKind::Advance, MapKind::Servo }) {
        MapEditor* editor = form->MapEditors().EditorByOwnerId(ProgramMap(kind).ownerId);
        ASSERT_NE(editor, nullptr);
        const MapFact* map = MapFacts::Find(kind == MapKind::Advance ? MapId::Advance : MapId::Servo);
        ASSERT_NE(map, nullptr);
        EXPECT_EQ(editor->Sheet().axisY.offIndex, map->curveRow) << map->cells->name;
        EXPECT_EQ(editor->Sheet().axisX.offIndex, map->curveColumn) << map->cells->name;
    }
}

} // namespace
