#include "CliTestSupport.h"
#include "TempDir.h"
#include "app/SignalCloseTexts.h"
#include "files/IgnWriter.h"
#include "lang/LangString.h"
#include "unitsim/UnitSim.h"

#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <string>

namespace {

// The real vordax4-cli programming a simulated unit that the test process runs, with the test
// sending the tool signals on the way. The unit's answers take a while, so a Program spans many
// frames and a signal sent after the first written block meets it under way.
struct CliProgramSignal : ::testing::Test {
    ScopedWorkDir dir;
    std::unique_ptr<UnitSim> unit;
    ParamImage wanted = FileImage(11, dir);
    QProcess tool;
    std::string err;

    void SetUp() override { LanguageIndex = LANG_ENGLISH; }
    void TearDown() override
    {
        if (tool.state() != QProcess::NotRunning) {
            tool.kill();
            tool.waitForFinished();
        }
    }
    void StartUnit(UnitSimOptions options = {})
    {
        options.delayMs = 40;
        unit = std::make_unique<UnitSim>(options);
        ASSERT_TRUE(unit->Start());
        unit->SetConfiguration(FileImage(3, dir).bytes());
    }
    void StartProgram(const char* timeoutSeconds = "30")
    {
        const QString file = QString::fromStdString(dir.file("new.ign"));
        ASSERT_TRUE(WriteIgnFile(file, wanted, IgnUnitInfo {}));
        tool.start(VORDAX4_CLI,
            { "program", file, "--port", "7=" + QString::fromStdString(unit->DevicePath()), "--timeout",
                timeoutSeconds });
        ASSERT_TRUE(tool.waitForStarted());
    }
    bool WaitFor(const std::function<bool()>& done) { return QTest::qWaitFor(done, 60000); }
    bool Said(const char* text)
    {
        err += tool.readAllStandardError().toStdString();
        return Has(err, LangText(text));
    }
    void Signal(int number) { ASSERT_EQ(::kill(static_cast<pid_t>(tool.processId()), number), 0); }
    // The exit code, or -1 when the tool did not end normally.
    int Finished()
    {
        if (!WaitFor([&] { return tool.state() == QProcess::NotRunning; }))
            return -1;
        err += tool.readAllStandardError().toStdString();
        return tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
    }
};

TEST_F(CliProgramSignal, TheFirstSignalLetsTheProgramStoreThenEndsWithItsResult)
{
    StartUnit();
    StartProgram();
    ASSERT_TRUE(WaitFor([&] { return unit->WritesReceived() > 0; })) << err;
    Signal(SIGTERM);
    EXPECT_EQ(Finished(), 0) << err;
    EXPECT_TRUE(Said(SignalCloseTexts::WAITING)) << err;
    EXPECT_TRUE(Has(tool.readAllStandardOutput().toStdString(), "Program device: OK"));
    EXPECT_EQ(unit->Configuration(), wanted.bytes()) << "the unit holds the whole file";
    EXPECT_EQ(unit->StoringCountdown(), 0) << "and has stored it";
}

TEST_F(CliProgramSignal, ASecondSignalAbandonsTheProgramAndSaysSo)
{
    UnitSimOptions slowStoring;
    slowStoring.storingMs = 60000; // the Program cannot end before the second signal
    StartUnit(slowStoring);
    StartProgram();
    ASSERT_TRUE(WaitFor([&] { return unit->WritesReceived() > 0; })) << err;
    Signal(SIGHUP);
    ASSERT_TRUE(WaitFor([&] { return Said(SignalCloseTexts::WAITING); })) << err;
    Signal(SIGINT);
    EXPECT_EQ(Finished(), 128 + SIGINT) << err;
    EXPECT_TRUE(Said(SignalCloseTexts::ABANDONED)) << err;
}

TEST_F(CliProgramSignal, ASignalBeforeTheProgramBeginsEndsTheToolAtOnce)
{
    UnitSimOptions silent;
    silent.silent = true; // never found: the tool would look for it for a minute
    StartUnit(silent);
    StartProgram("60");
    ASSERT_TRUE(WaitFor([&] { return Said("COM="); })) << "the tool is looking for the unit: " << err;
    Signal(SIGTERM);
    EXPECT_EQ(Finished(), -1) << "ended by the signal itself: " << err;
    EXPECT_EQ(tool.error(), QProcess::Crashed);
    EXPECT_EQ(unit->WritesReceived(), 0);
}

} // namespace
