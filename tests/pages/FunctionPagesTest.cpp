#include "app/MainWindow.h"
#include "app/WindowLanguage.h"
#include "app/WindowPages.h"
#include "app/WindowUndo.h"
#include "lang/LangString.h"
#include "mapedit/ui/MapEditor.h"
#include "mapedit/ui/MapEditorList.h"
#include "model/LoadGroups.h"
#include "pages/PageAdvance.h"
#include "pages/PagePowerOut.h"
#include "pages/PageServo.h"
#include "pages/RadioGroup.h"
#include "pages/UpDownSpinBox.h"

#include "TempDir.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QTabWidget>

#include <gtest/gtest.h>

namespace {

struct FunctionPagesFixture : testing::Test {
    ScopedWorkDir dir;
    std::unique_ptr<MainWindow> form;
    std::vector<QString> messages;

    void SetUp() override
    {
        LanguageIndex = LANG_ENGLISH;
        form = std::make_unique<MainWindow>(std::vector<std::string> {}, [](const std::string&) {});
        form->mapMessageBox = [this](const QString& t) { messages.push_back(t); };
    }

    template <class T> T* control(const QString& name)
    {
        T* c = form->findChild<T*>(name);
        EXPECT_NE(c, nullptr) << name.toStdString();
        return c;
    }

    void showPage(int index)
    {
        form->findChild<QTabWidget*>("PageControl1")->setCurrentIndex(index);
        ASSERT_EQ(form->Pages().Active(), index);
    }

    // The image was changed behind the pages' back, as a file load does.
    void reload()
    {
        form->Edits().MarkEditorsForReload();
        form->Edits().RefreshPages(true);
    }

    void ticks(int n)
    {
        for (int i = 0; i < n; ++i)
            form->Timer1Timer();
    }

    ParamImage& img() { return form->Image(); }
    PageAdvance* advance() { return static_cast<PageAdvance*>(form->Pages().Page(PAGE_ADVANCE)); }
    PagePowerOut* powerOut() { return static_cast<PagePowerOut*>(form->Pages().Page(PAGE_POWER_OUT)); }
    PageServo* servo() { return static_cast<PageServo*>(form->Pages().Page(PAGE_SERVO)); }

    void chooseMode(int output, int code)
    {
        auto* group = control<RadioGroup>(QString("RadioGroupPOut%1").arg(output + 1));
        for (int i = 0; i < group->count(); ++i)
            if (group->code(i) == code)
                group->button(i)->click();
    }
};

TEST_F(FunctionPagesFixture, AdvanceMapWithoutSensorIsShownAndStoredBySpeedOnly)
{
    img().Adrb(TPSIAP_SENSOR) = 0;
    img().Adrb(ADV_MAPA) = 1;
    reload();
    showPage(PAGE_ADVANCE);
    EXPECT_TRUE(advance()->mapEditor()->SheetAt(0).axisY.off);
    form->Edits().CommitEdit();
    EXPECT_EQ(img().Adrb(ADV_MAPA), 0);
}

TEST_F(FunctionPagesFixture, AdvanceMapLoadViewFollowsTheSensorAndKeepsThePressureAxis)
{
    const int pressures[MAP_DIM] = { 20, 40, 50, 60, 70, 80, 90, 100, 120, 150 };
    for (int i = 0; i < MAP_DIM; ++i)
        img().Adrw(ADV_IAP + i) = static_cast<uint16_t>(pressures[i]);
    img().Adrb(ADV_MAPA) = 1;
    struct Case {
        int sensor;
        const char* loadName;
    };
    for (const Case c : { Case { 1, "TP" }, Case { 2, "IAP" } }) {
        img().Adrb(TPSIAP_SENSOR) = static_cast<uint8_t>(c.sensor);
        reload();
        showPage(PAGE_ADVANCE);
        const MapSheet& s = advance()->mapEditor()->SheetAt(0);
        EXPECT_FALSE(s.axisY.off) << c.sensor;
        EXPECT_STREQ(s.axisY.name, c.loadName);
        form->Edits().CommitEdit();
        EXPECT_EQ(img().Adrb(ADV_MAPA), 1) << c.sensor;
        // The fixed TP points are shown, but the pressure axis in the image stays the user's.
        for (int i = 0; i < MAP_DIM; ++i)
            EXPECT_EQ(img().Adrw(ADV_IAP + i), pressures[i]) << "sensor " << c.sensor << " point " << i;
    }
}

TEST_F(FunctionPagesFixture, CorrectionsAreShownPerChannelAndStoredWithTheirOffset)
{
    showPage(PAGE_ADVANCE);
    for (int channels = 1; channels <= CHANNELS; ++channels) {
        img().Adrb(CHANNEL_COUNT) = static_cast<uint8_t>(channels);
        form->Edits().RefreshPages(false);
        for (int k = 1; k <= CHANNELS; ++k) {
            const bool shown = k == 1 || channels >= k;
            EXPECT_EQ(!control<UpDownSpinBox>(QString("UpDownKorAdv%1").arg(k))->isHidden(), shown)
                << channels << " channels, correction " << k;
            EXPECT_EQ(!control<QLabel>(QString("LabelKorAdv%1").arg(k))->isHidden(), shown);
        }
    }
    EXPECT_EQ(control<QLabel>("LabelKorAdv")->text(), "Correction for cylinder:");
    form->Language().SetLanguage(LANG_CZECH);
    EXPECT_EQ(control<QLabel>("LabelKorAdv")->text(), QString::fromUtf8("Korekce pro válec:"));

    control<UpDownSpinBox>("UpDownKorAdv2")->setValue(-7);
    control<UpDownSpinBox>("UpDownKorAdv4")->setValue(12);
    form->Edits().RequestCommit(control<UpDownSpinBox>("UpDownKorAdv2"), PageHost::COMMIT_NOW);
    EXPECT_EQ(img().Adrb(CORR_ADVANCE + 1), 93);
    EXPECT_EQ(img().Adrb(CORR_ADVANCE + 3), 112);
    img().Adrb(CORR_ADVANCE) = 70;
    form->Edits().RefreshPages(false);
    EXPECT_EQ(control<UpDownSpinBox>("UpDownKorAdv1")->value(), -30);
}

TEST_F(FunctionPagesFixture, BaseAdvanceFromTheSpinButtonReachesImageAndEditor)
{
    showPage(PAGE_ADVANCE);
    control<UpDownSpinBox>("UpDownBaseAdv")->setValue(17);
    form->Edits().RequestCommit(control<UpDownSpinBox>("UpDownBaseAdv"), PageHost::COMMIT_NOW);
    EXPECT_EQ(img().Adrb(BASE_ADV), 17);
    ticks(1);
    EXPECT_EQ(advance()->mapEditor()->BaseAdvance(), 17);
}

TEST_F(FunctionPagesFixture, EveryEditorGetsTheLimitersOnTheNextTick)
{
    img().Adrb(LIMITER) = 123;
    img().Adrb(START_LIM) = 45;
    ticks(1);
    MapEditorList& editors = form->MapEditors();
    ASSERT_GT(editors.Count(), 0);
    for (int i = 0; i < editors.Count(); ++i) {
        EXPECT_EQ(editors.At(i)->LimiterRpm(), 12300) << editors.At(i)->objectName().toStdString();
        EXPECT_EQ(editors.At(i)->StartLimiterRpm(), 4500);
    }
}

TEST_F(FunctionPagesFixture, AdvanceMapEditIsCommittedAndUndone)
{
    showPage(PAGE_ADVANCE);
    const ParamImage before = img();
    MapEditor* tab = advance()->mapEditor();
    const int shown = tab->SheetAt(0).Cell(2, 0);
    tab->SelectElement(2, 0);
    tab->StepValues(1);
    ticks(20);
    EXPECT_EQ(img().Adrb(ADVANCE + 2), before.Adrb(ADVANCE + 2) + 1);
    ASSERT_TRUE(form->Undo().Ring().CanUndo());

    form->Undo().Undo();
    EXPECT_EQ(img().Adrb(ADVANCE + 2), before.Adrb(ADVANCE + 2));
    EXPECT_EQ(tab->SheetAt(0).Cell(2, 0), shown);
    form->Undo().Redo();
    EXPECT_EQ(img().Adrb(ADVANCE + 2), before.Adrb(ADVANCE + 2) + 1);
}

TEST_F(FunctionPagesFixture, EachCellEditOfASelectionIsOneUndoStep)
{
    img().Adrb(TPSIAP_SENSOR) = 1;
    img().Adrb(ADV_MAPA) = 1;
    for (int i = 0; i < MAP_DIM * MAP_DIM; ++i)
        img().Adrb(ADVANCE + i) = static_cast<uint8_t>(100 + i % MAP_DIM + i / MAP_DIM);
    reload();
    showPage(PAGE_ADVANCE);
    ticks(20);
    form->Undo().TakeSnapshot();
    MapEditor* tab = advance()->mapEditor();
    const ParamImage start = img();
    auto cell = [this](int c, int r) { return img().Adrb(ADVANCE + MAP_DIM * r + c) - 100; };
    ASSERT_TRUE(tab->SelectShownCells(1, 1, 3, 3));
    const struct {
        MapModel::CellEdit edit;
        double value;
        int centre; // the value of cell (2, 2) afterwards
    } steps[]
        = { { MapModel::EDIT_SET, 70.0, 60 }, { MapModel::EDIT_ADD, -5.0, 55 }, { MapModel::EDIT_SCALE, 50.0, 28 } };
    std::vector<ParamImage> after;
    for (const auto& step : steps) {
        tab->EditSelectedCells(step.edit, step.value);
        ticks(20);
        EXPECT_EQ(cell(2, 2), step.centre) << step.edit;
        after.push_back(img());
    }
    EXPECT_EQ(cell(0, 0), 0) << "outside the selection";
    // Smoothing needs no value: the Tools menu runs it on the focused editor.
    form->show();
    QApplication::setActiveWindow(form.get());
    tab->setFocus();
    QApplication::processEvents();
    if (tab->hasFocus()) {
        tab->SheetAt(0).Cell(2, 2) = 10;
        tab->NoteChange(AXIS_DATA, CHANGE_NOW);
        ticks(20);
        after.push_back(img());
        control<QAction>("MenuCellSmooth")->trigger();
        ticks(20);
        EXPECT_EQ(cell(2, 2), 26) << "(8 x 28 + 10) / 9, rounded";
        form->Undo().Undo();
        EXPECT_TRUE(img() == after.back()) << "smoothing is one step";
        after.pop_back();
        form->Undo().Undo();
    }
    for (int i = static_cast<int>(after.size()) - 1; i >= 0; --i) {
        EXPECT_TRUE(img() == after[static_cast<size_t>(i)]) << i;
        form->Undo().Undo();
    }
    EXPECT_TRUE(img() == start) << "three undo steps take back the three edits";
}

TEST_F(FunctionPagesFixture, EditGatheredOnAnotherPageIsStoredThroughItsOwnPage)
{
    showPage(PAGE_SERVO);
    const int cell = img().Adrb(SERVO_MV);
    MapEditor* tab = servo()->mapEditor();
    tab->SelectElement(0, 0);
    tab->StepValues(1);
    showPage(PAGE_MISC);
    ticks(20);
    EXPECT_EQ(img().Adrb(SERVO_MV), cell + 1);
}

TEST_F(FunctionPagesFixture, AdvanceMenuStepsTheFocusedEditor)
{
    form->show();
    QApplication::setActiveWindow(form.get());
    showPage(PAGE_ADVANCE);
    MapEditor* tab = advance()->mapEditor();
    tab->setFocus();
    QApplication::processEvents();
    if (!tab->hasFocus())
        GTEST_SKIP() << "the platform gives no focus";
    tab->SelectElement(1, 0);
    const int before = img().Adrb(ADVANCE + 1);
    control<QAction>("MenuAdvancePlus")->trigger();
    ticks(20);
    EXPECT_EQ(img().Adrb(ADVANCE + 1), before + 1);
    control<QAction>("MenuAdvanceMinus")->trigger();
    control<QAction>("MenuAdvanceMinus")->trigger();
    ticks(20);
    EXPECT_EQ(img().Adrb(ADVANCE + 1), before - 1);
    EXPECT_EQ(control<QAction>("MenuAdvancePlus")->shortcut(), QKeySequence(Qt::Key_F5));
    EXPECT_EQ(control<QAction>("MenuAdvanceMinus")->shortcut(), QKeySequence(Qt::Key_F4));
}

TEST_F(FunctionPagesFixture, AdvanceMenuWithoutFocusedEditorChangesNothing)
{
    showPage(PAGE_ADVANCE);
    const ParamImage before = img();
    control<QAction>("MenuAdvancePlus")->trigger();
    ticks(20);
    EXPECT_TRUE(img() == before);
}

TEST_F(FunctionPagesFixture, ServoPercentConvertsTheCellsBothWays)
{
    img().Adrb(SERVO_PERCENT) = 0;
    img().Adrb(SERVO_MV) = 125;
    img().Adrb(SERVO_MV + 1) = 250;
    img().Adrb(SERVO_MV + 2) = 3;
    reload();
    showPage(PAGE_SERVO);
    auto* percent = control<QCheckBox>("CheckBoxServoProcenta");
    percent->click();
    EXPECT_EQ(img().Adrb(SERVO_PERCENT), 1);
    EXPECT_EQ(img().Adrb(SERVO_MV), 50);
    EXPECT_EQ(img().Adrb(SERVO_MV + 1), 100);
    EXPECT_EQ(img().Adrb(SERVO_MV + 2), 1);
    const MapSheet& s = servo()->mapEditor()->SheetAt(0);
    EXPECT_EQ(s.Cell(0, 0), 50);
    EXPECT_STREQ(s.axisData.label, "STPS [%]");
    EXPECT_EQ(s.axisData.maxValue, 100);

    percent->click();
    EXPECT_EQ(img().Adrb(SERVO_PERCENT), 0);
    EXPECT_EQ(img().Adrb(SERVO_MV), 125);
    EXPECT_EQ(img().Adrb(SERVO_MV + 1), 250);
    EXPECT_STREQ(s.axisData.label, "STPS [V]");
    EXPECT_EQ(s.axisData.maxValue, 250);
}

TEST_F(FunctionPagesFixture, ServoLevelsFollowTheEnableSwitch)
{
    img().Adrb(SERVO_ENABLE) = 0;
    reload();
    showPage(PAGE_SERVO);
    for (const char* name : { "UpDownServoHyster", "UpDownServoNo", "LabelServoHyster", "LabelServoNo" })
        EXPECT_TRUE(control<QWidget>(name)->isHidden()) << name;
    control<QCheckBox>("CheckBoxServoEnable")->click();
    EXPECT_EQ(img().Adrb(SERVO_ENABLE), 1);
    EXPECT_TRUE(servo()->mapEditor()->SheetAt(0).enabled);
    for (const char* name : { "UpDownServoHyster", "UpDownServoNo", "LabelServoHyster", "LabelServoNo" })
        EXPECT_FALSE(control<QWidget>(name)->isHidden()) << name;

    control<UpDownSpinBox>("UpDownServoHyster")->setValue(135);
    form->Edits().RequestCommit(control<UpDownSpinBox>("UpDownServoHyster"), PageHost::COMMIT_NOW);
    EXPECT_EQ(img().Adrb(SERVO_HYSTER), 27);
}

TEST_F(FunctionPagesFixture, GearShiftLightGetsItsDefaultsAndFuelPumpKeepsThem)
{
    img().Adrb(POWER_OUT_MODE) = 0;
    reload();
    showPage(PAGE_POWER_OUT);
    MapEditor* table = powerOut()->mapEditor(0);
    EXPECT_TRUE(table->isHidden());

    chooseMode(0, 2);
    EXPECT_EQ(img().Adrb(POWER_OUT_MODE), 2);
    EXPECT_EQ(img().Adrb(POWER_OUT_RPM), 90);
    EXPECT_EQ(img().Adrb(POWER_OUT_RPM + 1), 125);
    EXPECT_EQ(img().Adrb(POWER_OUT_RPM + 2), 140);
    EXPECT_EQ(img().Adrw(POWER_OUT_TP), 75);
    EXPECT_EQ(img().Adrw(POWER_OUT_TP + 1), 90);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(img().Adrb(POWER_OUT_CELLS + i), 14) << i;
    EXPECT_EQ(img().Adrb(POWER_OUT_HYST), 10);
    EXPECT_FALSE(table->isHidden());
    EXPECT_FALSE(control<UpDownSpinBox>("UpDownPOutHyster1")->isHidden());
    // The light switches by speed alone.
    EXPECT_EQ(table->SheetAt(0).axisX.count, 1);
    EXPECT_TRUE(table->SheetAt(0).axisY.off);
    EXPECT_TRUE(form->Undo().Ring().CanUndo());

    const ParamImage withLight = img();
    chooseMode(0, 1);
    EXPECT_EQ(img().Adrb(POWER_OUT_MODE), 1);
    for (int a = POWER_OUT_RPM; a < POWER_OUT_RPM + 3; ++a)
        EXPECT_EQ(img().Adrb(a), withLight.Adrb(a));
    for (int a = POWER_OUT_CELLS; a < POWER_OUT_CELLS + 3; ++a)
        EXPECT_EQ(img().Adrb(a), withLight.Adrb(a));
    EXPECT_EQ(img().Adrw(POWER_OUT_TP + 1), 90);
    EXPECT_TRUE(table->isHidden());
    EXPECT_TRUE(control<UpDownSpinBox>("UpDownPOutHyster1")->isHidden());
    EXPECT_TRUE(control<QLabel>("LabelPOutHyster1")->isHidden());

    form->Undo().Undo();
    EXPECT_EQ(img().Adrb(POWER_OUT_MODE), 2);
    EXPECT_FALSE(table->isHidden());
}

TEST_F(FunctionPagesFixture, ClickingTheChosenModeAgainKeepsAnEditedTable)
{
    img().Adrb(POWER_OUT_MODE + 1) = 2;
    img().Adrb(POWER_OUT_RPM + 3) = 80;
    reload();
    showPage(PAGE_POWER_OUT);
    chooseMode(1, 2);
    EXPECT_EQ(img().Adrb(POWER_OUT_RPM + 3), 80);
}

TEST_F(FunctionPagesFixture, SpecialModeShowsLoadRowsOnlyWithASensor)
{
    img().Adrb(POWER_OUT_MODE + 1) = 3;
    for (int sensor : { 0, 1, 2 }) {
        img().Adrb(TPSIAP_SENSOR) = static_cast<uint8_t>(sensor);
        reload();
        showPage(PAGE_POWER_OUT);
        const MapSheet& s = powerOut()->mapEditor(1)->SheetAt(0);
        EXPECT_EQ(s.axisX.count, 3) << sensor;
        EXPECT_EQ(bool(s.axisY.off), sensor == 0) << sensor;
        EXPECT_STREQ(s.axisY.name, sensor == 2 ? "IAP" : "TP");
    }
}

TEST_F(FunctionPagesFixture, TableCellsMapToTheirOutputBits)
{
    img().Adrb(TPSIAP_SENSOR) = 1;
    img().Adrb(POWER_OUT_MODE) = 3;
    img().Adrb(POWER_OUT_MODE + 1) = 3;
    for (int a = POWER_OUT_CELLS; a < POWER_OUT_CELLS + 6; ++a)
        img().Adrb(a) = 0;
    reload();
    showPage(PAGE_POWER_OUT);
    struct Case {
        int output, row, column;
    };
    for (const Case c : { Case { 0, 0, 0 }, Case { 0, 2, 3 }, Case { 1, 1, 2 }, Case { 1, 0, 1 } }) {
        MapEditor* table = powerOut()->mapEditor(c.output);
        const int address = POWER_OUT_CELLS + 3 * c.output + c.row;
        const int before = img().Adrb(address);
        table->SheetAt(0).Cell(c.column, c.row) = 1;
        table->Host()->OnMapChanged(*table, 4);
        EXPECT_EQ(img().Adrb(address), before | (1 << c.column))
            << "output " << c.output << " row " << c.row << " column " << c.column;
    }
    // Loading puts each bit back into its cell.
    img().Adrb(POWER_OUT_CELLS + 4) = 0x9; // output 2, row 1: columns 0 and 3
    form->Edits().RefreshPages(false);
    const MapSheet& s = powerOut()->mapEditor(1)->SheetAt(0);
    for (int column = 0; column < 4; ++column)
        EXPECT_EQ(s.Cell(column, 1), column == 0 || column == 3 ? 1 : 0) << column;
}

TEST_F(FunctionPagesFixture, UnusedOutputControlsStayHiddenAndAreNeverStored)
{
    showPage(PAGE_POWER_OUT);
    for (int n = 3; n <= 4; ++n)
        EXPECT_TRUE(control<QWidget>(QString("GroupBoxPOut%1").arg(n))->isHidden()) << n;
    for (const char* name : { "UpDownPOutPwm1", "UpDownPOutFreq1", "UpDownPOutPulse2", "LabelPOutPwm2" })
        EXPECT_TRUE(control<QWidget>(name)->isHidden()) << name;
    const ParamImage before = img();
    control<UpDownSpinBox>("UpDownPOutPwm1")->setValue(70);
    control<RadioGroup>("RadioGroupPOut3")->button(2)->click();
    form->Edits().CommitEdit();
    EXPECT_TRUE(img() == before);
}

TEST_F(FunctionPagesFixture, PowerOutCaptionsAndHysteresisLabelsComeFromTheTables)
{
    showPage(PAGE_POWER_OUT);
    EXPECT_EQ(control<QWidget>("GroupBoxPOut1")->property("title").toString(), "Power out 1 (pin 3)");
    EXPECT_EQ(control<QLabel>("LabelPOutHyster2")->text(), "Hysteresis [RPM]");
    form->Language().SetLanguage(LANG_GERMAN);
    EXPECT_EQ(control<QWidget>("GroupBoxPOut2")->property("title").toString(), "Leistungsausgang 2 (Pin 12)");
    auto* modes = control<RadioGroup>("RadioGroupPOut1");
    EXPECT_EQ(modes->button(2)->text(), "Schaltblitz");
}

} // namespace
