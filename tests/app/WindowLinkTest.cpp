#include "app/BootloaderChannel.h"
#include "app/FileMenu.h"
#include "app/MainWindow.h"
#include "app/WindowLink.h"
#include "app/WindowMonitor.h"
#include "app/WindowPages.h"
#include "app/WindowStatusBar.h"
#include "app/WindowUndo.h"
#include "lang/LangString.h"
#include "model/ImageLayout.h"
#include "pages/UpDownSpinBox.h"

#include "TempDir.h"
#include "WindowWithUnit.h"
#include "unitsim/UnitSim.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

TEST_F(WindowWithUnit, WithoutAUnitTheCommandsAreDisabledAndTheComMenuOffersTheChoices)
{
    qunsetenv("VORDAX4_PORTS");
    Open();
    for (int i = 0; i < 6; ++i)
        Tick();
    for (const char* name : { "ButtonRead", "ButtonVerify", "ButtonProgram" })
        EXPECT_FALSE(form->findChild<QWidget*>(name)->isEnabled()) << name;
    for (const char* name : { "MenuRead", "MenuVerify", "MenuProgram", "MenuReset" })
        EXPECT_FALSE(form->findChild<QAction*>(name)->isEnabled()) << name;
    const auto& items = form->Link().ComMenuItems();
    ASSERT_GE(items.size(), 3u);
    EXPECT_TRUE(items[1].checked) << "automatic search";
    EXPECT_TRUE(items[2].separator);
    EXPECT_EQ(Text("LabelConnection"), "No connection with PC...");
    EXPECT_EQ(form->Status().Text(4), "not connected");
}

TEST_F(WindowWithUnit, ConnectReadEditProgramVerifyAndUndo)
{
    Open();
    Connect();
    EXPECT_EQ(Text("LabelCom"), "COM=3");
    EXPECT_TRUE(Text("LabelConnection").endsWith(" connected"));
    EXPECT_TRUE(form->findChild<QWidget*>("ButtonProgram")->isEnabled());
    ASSERT_TRUE(RunUntil([&] { return form->Status().Text(4).contains("RSKEY=93.00"); }));
    EXPECT_TRUE(form->Monitor().LiveSource()) << "the monitor display shows the unit";
    EXPECT_FALSE(form->Monitor().View().labels.empty());

    // A new installation refuses Program until the unit has been read.
    form->findChild<QAction*>("MenuProgram")->trigger();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("new installation"), std::string::npos);
    Run("MenuRead");
    EXPECT_EQ(Text("LabelResult"), "Verify: OK");
    EXPECT_EQ(form->Image().bytes(), unit->Configuration());
    EXPECT_FALSE(form->Files().State().newInstal);

    const int limiter = form->Image().Adrb(LIMITER) * 100 + 500;
    SetLimiter(limiter);
    EXPECT_EQ(Text("LabelCongruence"), "Unit and PC settings are different");
    Run("MenuProgram");
    ASSERT_TRUE(RunUntil([&] { return Text("LabelResult") == "Program device: OK"; }));
    EXPECT_EQ(unit->Configuration()[LIMITER], limiter / 100);
    EXPECT_EQ(Text("LabelCongruence"), "Unit and PC settings are identical");
    Run("MenuVerify");
    EXPECT_EQ(Text("LabelResult"), "Verify: OK");

    form->Undo().Undo();
    EXPECT_EQ(form->Image().Adrb(LIMITER), limiter / 100 - 5);
    EXPECT_EQ(Text("LabelCongruence"), "Unit and PC settings are different");
    Run("MenuVerify");
    EXPECT_EQ(Text("LabelResult"), "Verify error !");
}

TEST_F(WindowWithUnit, SwitchingTheLanguageShowsTheTextsOnDisplayAgainInTheNewLanguage)
{
    Open();
    Connect();
    Run("MenuRead");
    ASSERT_EQ(Text("LabelResult"), "Verify: OK");
    const QString unitName = Text("LabelConnection").chopped(QString(" connected").size());

    form->findChild<QAction*>("MenuGerman")->trigger();
    EXPECT_EQ(Text("LabelResult"), "Vergleichen: OK");
    EXPECT_EQ(Text("LabelConnection"), unitName + " verbunden");
    form->findChild<QAction*>("MenuCzech")->trigger();
    EXPECT_EQ(Text("LabelResult"), "Verifikace: OK");
    EXPECT_EQ(Text("LabelConnection"), unitName + QString::fromUtf8(" připojen"));
    EXPECT_TRUE(Shown("LabelResult")) << "a switch shows again only what was on display";
}

TEST_F(WindowWithUnit, ASignalChangeOfTheSecondPickupRecomputesThePageVisibility)
{
    Open();
    Connect();
    auto* polarity2 = form->findChild<QWidget*>("RadioGroupPickup2Polarita");
    ASSERT_NE(polarity2, nullptr);
    form->Pages().Select(form->Pages().PageOf(polarity2));
    // The trigger system changes in the image behind the page's back: only a recompute shows it.
    const bool wasVisible = polarity2->isVisibleTo(form.get());
    form->Image().Adrb(PICKUP_SYSTEM) = wasVisible ? 7 : 0;
    unit->SetPickup2Running(true);
    EXPECT_TRUE(RunUntil([&] { return polarity2->isVisibleTo(form.get()) != wasVisible; }, 60));
}

// An IGN50 unit carries only the first 50 bytes of its reference block in a frame; the window
// still connects, reads, programs and verifies it.
TEST_F(WindowWithUnit, AnIgn50UnitConnectsReadsProgramsAndVerifies)
{
    UnitSimOptions options;
    options.protocol = PROTOCOL_IGN50;
    options.storingMs = 300;
    unit = std::make_unique<UnitSim>(options);
    ASSERT_TRUE(unit->Start());
    qputenv("VORDAX4_PORTS", QByteArray("3=") + unit->DevicePath().c_str());
    Open();
    Connect();
    EXPECT_EQ(search().connectedUnit.codec.protocol, PROTOCOL_IGN50);
    EXPECT_EQ(manager().unitInfo.name, "VORDAX4 SIM");
    Run("MenuRead");
    EXPECT_EQ(Text("LabelResult"), "Verify: OK");
    EXPECT_EQ(form->Image().bytes(), unit->Configuration());

    const int limiter = form->Image().Adrb(LIMITER) * 100 + 500;
    SetLimiter(limiter);
    Run("MenuProgram");
    ASSERT_TRUE(RunUntil([&] { return Text("LabelResult") == "Program device: OK"; }));
    EXPECT_EQ(unit->Configuration()[LIMITER], limiter / 100);
    Run("MenuVerify");
    EXPECT_EQ(Text("LabelResult"), "Verify: OK");
}

TEST_F(WindowWithUnit, ProgrammingAfterChangeWritesTheEditAtOnce)
{
    Open();
    Connect();
    Run("MenuRead");
    form->findChild<QCheckBox*>("CheckBoxProgHned")->setChecked(true);
    const int writes = unit->WritesReceived();
    const int limiter = form->Image().Adrb(LIMITER) * 100 - 1000;
    SetLimiter(limiter);
    ASSERT_TRUE(RunUntil([&] { return Text("LabelResult") == "Program device: OK"; }));
    EXPECT_EQ(unit->Configuration()[LIMITER], limiter / 100);
    EXPECT_GT(unit->WritesReceived(), writes);
}

TEST_F(WindowWithUnit, OfflineDropsTheUnitAndIsKeptInTheSettings)
{
    Open();
    Connect();
    form->Link().ComMenuClick(1);
    EXPECT_NE(search().connectedPort.load(), 0) << "the automatic search keeps the unit";
    form->Link().ComMenuClick(0);
    EXPECT_EQ(search().connectedPort.load(), 0);
    Tick();
    Tick();
    EXPECT_EQ(Text("LabelCom"), "COM=OFF");
    EXPECT_EQ(Text("LabelConnection"), "No connection with PC...");
    EXPECT_EQ(form->Status().Text(4), "not connected");
    EXPECT_TRUE(form->Link().ComMenuItems()[0].checked);
    form.reset();
    Open();
    EXPECT_EQ(search().forcedPort, -1);
    for (int i = 0; i < 20; ++i)
        Tick();
    EXPECT_EQ(search().connectedPort.load(), 0);
}

TEST_F(WindowWithUnit, TheBootloaderToolTakesThePortAndGivesItBack)
{
    Open();
    Connect();
    const QString name = BootloaderChannel::DefaultName();
    ASSERT_TRUE(BootloaderChannel::Send(name, 3, BOOT_RELEASE_PORT));
    ASSERT_TRUE(RunUntil([&] { return search().connectedPort.load() == 0; }, 100));
    EXPECT_TRUE(form->windowTitle().contains("(Disconnected by bootloader)"));
    ASSERT_TRUE(BootloaderChannel::Send(name, 3, BOOT_RETURN_PORT));
    ASSERT_TRUE(RunUntil([&] { return search().searchEnabled == 1; }, 100));
    EXPECT_FALSE(form->windowTitle().contains("(Disconnected by bootloader)"));
    Connect();
}

TEST_F(WindowWithUnit, ATestButtonReachesTheUnitOnce)
{
    Open();
    Connect();
    form->findChild<QAbstractButton*>("ButtonTestIgn2")->click();
    ASSERT_TRUE(RunUntil([&] { return unit->LastMonitorRequest()[20] != 0; }, 100));
    EXPECT_EQ(unit->LastMonitorRequest()[20], 0x02);
    ASSERT_TRUE(RunUntil([&] { return unit->LastMonitorRequest()[20] == 0; }, 100)) << "one shot";
    EXPECT_TRUE(form->findChild<QAbstractButton*>("ButtonTest01")->text().startsWith("Power out 1"));
    for (const char* absent : { "ButtonTest03", "ButtonTest04" })
        EXPECT_TRUE(form->findChild<QWidget*>(absent)->isHidden()) << absent << " stays hidden under live data";
}

TEST_F(WindowWithUnit, DemoModeConnectsToItsOwnSimulatedUnitAndKeepsTheSavedPort)
{
    qunsetenv("VORDAX4_PORTS");
    Open();
    form->Link().ComMenuClick(0); // the user's choice: offline
    form.reset();
    Open({ "--demo" });
    ASSERT_NE(form->Link().DemoUnit(), nullptr);
    ASSERT_TRUE(RunUntil([&] { return form->Status().Text(4).contains("RSKEY=93.00"); }));
    EXPECT_EQ(search().connectedPort.load(), 1);
    EXPECT_EQ(Text("LabelCom"), "COM=1");
    form.reset();
    Open();
    EXPECT_EQ(search().forcedPort, -1) << "the demo leaves the saved port selection alone";
}

// The whole story of a user with a unit: connect, edit, program, verify, undo, keep the settings in a
// file, reopen it, switch to Czech, and find everything again after a restart.
TEST_F(WindowWithUnit, UserStoryFromConnectingToARestart)
{
    Open();
    QStringList choices;
    form->Files().chooseFile = [&](bool, const QString&) { return choices.isEmpty() ? QString() : choices.takeFirst(); };
    Connect();
    Run("MenuRead");
    const int original = form->Image().Adrb(LIMITER);
    SetLimiter(original * 100 + 300);
    Run("MenuProgram");
    ASSERT_TRUE(RunUntil([&] { return Text("LabelResult") == "Program device: OK"; }));
    Run("MenuVerify");
    EXPECT_EQ(Text("LabelResult"), "Verify: OK");
    form->Undo().Undo();
    EXPECT_EQ(form->Image().Adrb(LIMITER), original);

    const QString file = QString::fromStdString(dir.file("story.ign"));
    choices << file;
    form->findChild<QAction*>("MenuSave")->trigger();
    EXPECT_TRUE(form->windowTitle().contains("story.ign"));
    SetLimiter(original * 100 + 700);
    EXPECT_FALSE(form->windowTitle().contains("story.ign")) << "the file no longer describes the image";
    choices << file;
    form->findChild<QAction*>("MenuOpen")->trigger();
    EXPECT_EQ(form->Image().Adrb(LIMITER), original);
    EXPECT_TRUE(form->windowTitle().contains("story.ign"));

    form->findChild<QAction*>("MenuCzech")->trigger();
    EXPECT_EQ(form->findChild<QAbstractButton*>("ButtonRead")->text(), QString::fromUtf8("Čí&st"));
    const ParamImage kept = form->Image();
    form->close();
    form.reset();

    Open();
    EXPECT_EQ(LanguageIndex, LANG_CZECH);
    EXPECT_EQ(form->Image(), kept);
    EXPECT_EQ(form->Files().State().currentFile, file);
    EXPECT_TRUE(form->windowTitle().contains("story.ign"));
    EXPECT_FALSE(form->Files().State().newInstal);
    Connect();
    EXPECT_EQ(Text("LabelConnection"), QString::fromUtf8("VORDAX4 v93 připojen"));
}

} // namespace
