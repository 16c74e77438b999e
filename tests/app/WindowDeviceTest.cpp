#include "app/WindowStatusBar.h"
#include "SameBytes.h"
#include "WindowWithUnit.h"

#include <QFile>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

// The window's COM 3 is a link in the test folder to the unit's pseudo-terminal, so the device can
// vanish and come back under the same name, as a USB adapter pulled out and plugged in again does.
struct WindowWithPluggedUnit : WindowWithUnit {
    std::string device;

    void SetUp() override
    {
        WindowWithUnit::SetUp();
        device = dir.file("ttyUSB-unit");
        PlugIn(UnitSimOptions {}, nullptr);
    }
    // Starts a unit (holding config, when given) and points the device at it. A unit that pulls
    // its own plug takes the device's name with it before its pseudo-terminal goes: the system
    // hands the freed terminal to the next program that asks, often another test's unit, and the
    // window, still looking for its unit under the old name, must not find that one.
    void PlugIn(UnitSimOptions options, const std::array<uint8_t, 400>* config)
    {
        options.storingMs = 300;
        options.onUnplug = [path = device] { ::unlink(path.c_str()); };
        if (unit)
            PullOut();
        unit = std::make_unique<UnitSim>(options);
        ASSERT_TRUE(unit->Start());
        if (config)
            unit->SetConfiguration(*config);
        ASSERT_TRUE(QFile::link(QString::fromStdString(unit->DevicePath()), QString::fromStdString(device)));
        qputenv("VORDAX4_PORTS", QByteArray("3=") + device.c_str());
    }
    // The name goes first, for the reason above.
    void PullOut()
    {
        QFile::remove(QString::fromStdString(device));
        unit->Stop();
    }
    bool Gone()
    {
        return RunUntilInTime([&] { return search().connectedPort.load() == 0; });
    }
    // Connected, read, and the limiter edited so that the window's image is not the unit's.
    ParamImage ConnectAndEdit()
    {
        Open();
        Connect();
        Run("MenuRead");
        SetLimiter(form->Image().Adrb(LIMITER) * 100 + 500);
        return form->Image();
    }
};

TEST_F(WindowWithPluggedUnit, AUnitPulledOutWhileConnectedDropsTheLinkAndIsFoundAgain)
{
    const ParamImage edited = ConnectAndEdit();
    const auto held = unit->Configuration();
    PullOut();
    ASSERT_TRUE(Gone());
    EXPECT_EQ(Text("LabelConnection"), "No connection with PC...");
    EXPECT_EQ(form->Status().Text(4), "not connected");
    EXPECT_EQ(form->Image(), edited) << "the window's settings stay as they were";
    EXPECT_FALSE(form->findChild<QWidget*>("ButtonProgram")->isEnabled());

    PlugIn(UnitSimOptions {}, &held);
    Connect();
    EXPECT_EQ(search().connectedPort.load(), 3);
    EXPECT_TRUE(Text("LabelConnection").endsWith(" connected"));
    EXPECT_EQ(form->Image(), edited);
    EXPECT_EQ(Text("LabelCongruence"), "Unit and PC settings are different");
    EXPECT_EQ(unit->WritesReceived(), 0) << "nothing is written by itself";
}

TEST_F(WindowWithPluggedUnit, AProgramCutByAPulledOutUnitFailsAndSucceedsOnceItIsBack)
{
    UnitSimOptions cut;
    cut.unplugAtWrite = 1; // the first block never reaches the memory
    PlugIn(cut, nullptr);
    const ParamImage edited = ConnectAndEdit();
    form->findChild<QAction*>("MenuProgram")->trigger();
    ASSERT_TRUE(Gone());
    EXPECT_TRUE(unit->Unplugged());
    EXPECT_EQ(Text("LabelResult"), "Connection lost: the command did not finish !");
    EXPECT_EQ(Text("LabelConnection"), "No connection with PC...");
    EXPECT_EQ(form->Image(), edited);
    for (int i = 0; i < 40; ++i)
        Tick();
    EXPECT_NE(Text("LabelResult"), "Program device: OK");

    const auto left = unit->Configuration();
    EXPECT_NE(left[LIMITER], edited.Adrb(LIMITER));
    PlugIn(UnitSimOptions {}, &left);
    Connect();
    EXPECT_EQ(Text("LabelCongruence"), "Unit and PC settings are different");
    Run("MenuProgram");
    ASSERT_TRUE(RunUntil([&] { return Text("LabelResult") == "Program device: OK"; }))
        << Text("LabelResult").toStdString() << " / " << Text("LabelConnection").toStdString();
    EXPECT_TRUE(SameBytes(unit->Configuration(), edited.bytes()));
}

} // namespace
