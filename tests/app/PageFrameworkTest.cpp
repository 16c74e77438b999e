#include "app/MainWindow.h"
#include "app/WindowLink.h"
#include "app/WindowPages.h"
#include "app/WindowUndo.h"
#include "lang/LangString.h"
#include "model/BikePresets.h"
#include "pages/PageBike.h"
#include "pages/RadioGroup.h"
#include "pages/UpDownSpinBox.h"

#include "TempDir.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>

#include <gtest/gtest.h>

namespace {

struct BikePageFixture : testing::Test {
    ScopedWorkDir dir;
    std::vector<std::string> questions;
    PageHost::Answer answer = PageHost::ANSWER_NO;
    std::unique_ptr<MainWindow> form;

    void SetUp() override
    {
        LanguageIndex = LANG_ENGLISH;
        form = std::make_unique<MainWindow>(std::vector<std::string>{}, [](const std::string&) {});
        form->questionBox = [this](const char* text) {
            questions.push_back(text);
            return answer;
        };
        form->findChild<QTabWidget*>("PageControl1")->setCurrentIndex(PAGE_BIKE);
    }

    template <class T> T* control(const char* name)
    {
        T* c = form->findChild<T*>(name);
        EXPECT_NE(c, nullptr) << name;
        return c;
    }

    void chooseBike(int code)
    {
        auto* combo = control<QComboBox>("ComboBoxBike");
        combo->setCurrentIndex(combo->findData(code));
        static_cast<PageBike*>(form->Pages().Page(PAGE_BIKE))->ComboBoxBikeChange();
    }

    void ticks(int n)
    {
        for (int i = 0; i < n; ++i)
            form->Timer1Timer();
    }
    ParamImage& img() { return form->Image(); }
};

} // namespace

TEST_F(BikePageFixture, SpecialSettingAsksNothingAndUnlocksTheTrigger)
{
    const ParamImage before = img();
    EXPECT_FALSE(control<QComboBox>("ComboBoxSynchro")->isEnabled());
    chooseBike(BIKE_SPECIAL_SETTING);
    EXPECT_TRUE(questions.empty());
    EXPECT_EQ(img().Adrb(BIKE), BIKE_SPECIAL_SETTING);
    for (int a = PICKUP_SYSTEM; a <= LOBE_END + 3; ++a) {
        if (a >= LOBE_START || a <= CHANNEL_COUNT) {
            EXPECT_EQ(img().Adrb(a), before.Adrb(a)) << "byte " << a;
        }
    }
    EXPECT_TRUE(control<QComboBox>("ComboBoxSynchro")->isEnabled());
    EXPECT_TRUE(control<UpDownSpinBox>("UpDownKompenz")->isEnabled());
}

TEST_F(BikePageFixture, AnsweringNoChangesOnlyTheTriggerFields)
{
    img().Adrb(RETARD) = 9; // an edit elsewhere that must survive
    ParamImage before = img();
    answer = PageHost::ANSWER_NO;
    chooseBike(31); // Harley
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(img().Adrb(RETARD), 9);
    EXPECT_EQ(img().Adrb(PICKUP_SYSTEM), 7);
    EXPECT_EQ(img().Adrb(LOBE_COUNT), 2);
    EXPECT_EQ(img().Adrb(LOBE_START), 1);
    EXPECT_EQ(img().Adrb(LOBE_END + 1), 66);
    EXPECT_EQ(img().Adrb(GEBER_MODE), 0);
    EXPECT_EQ(img().Adrb(PICKUP_POLARITY), 1);
    for (int a : {int(LIMITER), int(START_LIM), int(BASE_ADV), ADVANCE + 5, int(SERVO_MV)})
        EXPECT_EQ(img().Adrb(a), before.Adrb(a));
}

TEST_F(BikePageFixture, AnsweringYesResetsEveryPage)
{
    img().Adrb(RETARD) = 9;
    answer = PageHost::ANSWER_YES;
    chooseBike(4);
    EXPECT_EQ(img().Adrb(RETARD), 6);
    EXPECT_EQ(img().Adrb(RPM_PULSES), 4) << "defaults for the new bike";
    EXPECT_EQ(img().Adrb(PICKUP_SYSTEM), 4);
}

TEST_F(BikePageFixture, CancelPutsTheOldBikeBack)
{
    const ParamImage before = img();
    answer = PageHost::ANSWER_CANCEL;
    chooseBike(4);
    EXPECT_EQ(img(), before);
    EXPECT_EQ(control<QComboBox>("ComboBoxBike")->currentData().toInt(), 20);
}

TEST_F(BikePageFixture, SpinClicksGatherIntoOneApplyFiveTicksAfterTheLast)
{
    auto* corr = control<UpDownSpinBox>("UpDownRpmKorekce");
    for (int i = 0; i < 3; ++i) {
        corr->stepUp();
        ticks(1);
    }
    EXPECT_EQ(img().Adrb(RPM_CORR), 100) << "not applied while clicks keep coming";
    ticks(3);
    EXPECT_EQ(img().Adrb(RPM_CORR), 100);
    ticks(1);
    EXPECT_EQ(img().Adrb(RPM_CORR), 103);
}

TEST_F(BikePageFixture, AClickOnAnotherControlAppliesAtOnce)
{
    control<UpDownSpinBox>("UpDownRpmKorekce")->stepUp();
    control<QCheckBox>("CheckBoxZamenaPickup")->click();
    EXPECT_EQ(img().Adrb(RPM_CORR), 101);
    EXPECT_EQ(img().Adrb(PICKUPS_INTERCHANGE), 1);
}

TEST_F(BikePageFixture, ProgramAfterChangeOnlyWhenTheImageChanged)
{
    control<QCheckBox>("CheckBoxProgHned")->setChecked(true);
    form->Edits().RequestCommit(nullptr, PageHost::COMMIT_NOW);
    EXPECT_EQ(form->Link().Manager().pendingCommand, 0) << "nothing changed";
    control<QCheckBox>("CheckBoxZamenaPickup")->click();
    EXPECT_EQ(form->Link().Manager().pendingCommand, 98);
}

TEST_F(BikePageFixture, UndoAndRedoThroughTheWindow)
{
    auto* undo = form->findChild<QAction*>("MenuZpet");
    auto* redo = form->findChild<QAction*>("MenuZnovu");
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());
    control<QCheckBox>("CheckBoxZamenaPickup")->click();
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_TRUE(control<QWidget>("SpeedButtonZpet")->isEnabled());
    EXPECT_FALSE(control<QWidget>("SpeedButtonZnovu")->isEnabled());
    undo->trigger();
    EXPECT_EQ(img().Adrb(PICKUPS_INTERCHANGE), 0);
    EXPECT_FALSE(control<QCheckBox>("CheckBoxZamenaPickup")->isChecked());
    EXPECT_TRUE(redo->isEnabled());
    EXPECT_EQ(form->Link().Manager().changedMap[PICKUPS_INTERCHANGE], 1);
    redo->trigger();
    EXPECT_EQ(img().Adrb(PICKUPS_INTERCHANGE), 1);
}

TEST_F(BikePageFixture, UndoSwitchesToThePageOfTheEdit)
{
    control<QCheckBox>("CheckBoxZamenaPickup")->click(); // edit on the Bike page
    form->Pages().Select(PAGE_SERVO);
    form->Undo().Undo();
    EXPECT_EQ(form->Pages().Active(), PAGE_BIKE);
}

TEST_F(BikePageFixture, TypedMinusTwoFollowsPickupTwo)
{
    control<QLineEdit>("EditRpmPulsu")->setText("-2");
    ticks(1);
    EXPECT_EQ(control<QLineEdit>("EditRpmPulsu")->text(), "pickup 2");
    EXPECT_EQ(img().Adrb(RPM_PULSES), 254);
    EXPECT_FALSE(control<UpDownSpinBox>("UpDownRpmKorekce")->isVisibleTo(form.get()) && img().Adrb(RPM_PULSES) < 240);
}

TEST_F(BikePageFixture, WideLobeNumbersAndSharedSecondEdge)
{
    chooseBike(39); // BMW S1000RR, method 14, 116 lobes
    // 198 = bit 7 (lobe bit 6) + bit 6 (2nd edge) + 6: lobe 70 on its second edge.
    EXPECT_EQ(control<UpDownSpinBox>("UpDownPalec1Zac")->value(), 70);
    EXPECT_TRUE(control<QCheckBox>("CheckBoxPalec1ZacH2")->isChecked());
    EXPECT_FALSE(control<QCheckBox>("CheckBoxPalec1ZacP2")->isChecked());
    const ParamImage before = img();
    form->Edits().RequestCommit(nullptr, PageHost::COMMIT_NOW);
    EXPECT_EQ(img(), before) << "store after load keeps every lobe byte";
}

TEST_F(BikePageFixture, ClosingStoresAPendingEdit)
{
    control<UpDownSpinBox>("UpDownRpmKorekce")->stepUp();
    form->close();
    EXPECT_EQ(img().Adrb(RPM_CORR), 101);
}

TEST_F(BikePageFixture, MiscPageInputsDriveTheQuickshiftControls)
{
    form->Pages().Select(PAGE_MISC);
    auto* input2 = control<RadioGroup>("RadioGroupInput2");
    ASSERT_EQ(input2->count(), 7);
    EXPECT_EQ(input2->code(4), 4) << "Quickshift inv. is the fifth item";
    auto* clutch = control<UpDownSpinBox>("UpDownClutchTime");
    EXPECT_EQ(clutch->buttonSymbols(), QAbstractSpinBox::NoButtons);
    input2->button(4)->click();
    EXPECT_EQ(img().Adrb(INPUT2), 4);
    EXPECT_EQ(clutch->buttonSymbols(), QAbstractSpinBox::UpDownArrows);
    input2->button(0)->click();
    control<RadioGroup>("RadioGroupInput1")->button(0)->click();
    EXPECT_EQ(clutch->buttonSymbols(), QAbstractSpinBox::NoButtons);
}

TEST_F(BikePageFixture, ItemCodeWithoutAnItemStores255)
{
    form->Pages().Select(PAGE_MISC);
    img().Adrb(INPUT1) = 9; // Speed: not offered by this family
    form->Edits().RefreshPages(false);
    EXPECT_EQ(control<RadioGroup>("RadioGroupInput1")->itemIndex(), -1);
    form->Edits().RequestCommit(nullptr, PageHost::COMMIT_NOW);
    EXPECT_EQ(img().Adrb(INPUT1), 255);
}

TEST_F(BikePageFixture, LimiterShowsTheSpinButtonsOwnGrouping)
{
    form->Pages().Select(PAGE_MISC);
    img().Adrb(LIMITER) = 150;
    form->Edits().RefreshPages(false);
    auto* limiter = control<UpDownSpinBox>("UpDownLimiter");
    EXPECT_EQ(limiter->value(), 15000);
    EXPECT_EQ(limiter->text(), limiter->locale().toString(15000));
}
