#include "app/MainWindow.h"
#include "app/SignalCloseGuard.h"
#include "app/SignalCloseTexts.h"
#include "app/WindowLink.h"
#include "app/WindowMonitor.h"
#include "app/WindowPages.h"
#include "mapedit/ui/MapEditor.h"
#include "mapedit/ui/MapEditorList.h"
#include "model/LoadGroups.h"
#include "monitor/IgnlogFile.h"
#include "monitor/MonitorCsv.h"
#include "monitor/ui/LogFileDialog.h"

#include "WindowWithUnit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QProcess>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

#include <array>
#include <csignal>
#include <map>

namespace {

using MonitorBytes = std::array<uint8_t, 100>;

MonitorBytes ShownBlock(MainWindow& form)
{
    MonitorBytes bytes;
    std::copy_n(form.Monitor().ShownData().bytes().begin(), bytes.size(), bytes.begin());
    return bytes;
}

QAbstractButton* PlayerButton(MainWindow& form, int n)
{
    return form.findChild<QAbstractButton*>(QString("SpeedButtonPlay%1").arg(n));
}

// Replays every record after the snapshot in turn, as the scroll bar does; each calls back with
// the record's type.
template <class Each> void ReplayEach(MainWindow& form, Each each)
{
    MonitorPlayer& player = form.Monitor().Player();
    for (int pos = 1; pos < player.length(); ++pos) {
        player.SetPosition(pos);
        each(player.file().recordType(player.file().snapshotCount() + pos - 1));
    }
}

} // namespace

TEST_F(WindowWithUnit, ARecordingMadeInTheWindowReplaysTheValuesShownLive)
{
    Open();
    const std::string file = dir.file("live.ignlog");
    form->Monitor().chooseLogFile = [&](bool) { return QString::fromStdString(file); };
    Connect();
    PlayerButton(*form, 1)->click();
    ASSERT_EQ(form->Monitor().Player().state(), MonitorPlayer::Recording);
    std::map<MonitorBytes, QString> live;
    for (int i = 0; i < 60; ++i) {
        Tick();
        live[ShownBlock(*form)] = Text("LabelRpm") + Text("LabelNapeti") + Text("LabelTpsMon");
    }
    PlayerButton(*form, 4)->click();

    ASSERT_TRUE(form->Monitor().Player().StartPlaying(file));
    int monitorRecords = 0;
    ReplayEach(*form, [&](int type) {
        if (type != ignlog::REC_MONITOR)
            return;
        ++monitorRecords;
        const auto shown = live.find(ShownBlock(*form));
        ASSERT_NE(shown, live.end()) << "record " << monitorRecords << " is no block the window showed";
        EXPECT_EQ(Text("LabelRpm") + Text("LabelNapeti") + Text("LabelTpsMon"), shown->second);
    });
    EXPECT_GT(monitorRecords, 5);
}

// The window records what the command line records: its recording exports to the same columns,
// and the values in them are the simulated unit's (a shifted block would put other bytes there).
TEST_F(WindowWithUnit, TheCommandLineExportsAWindowRecordingInItsOwnColumns)
{
    Open();
    const std::string file = dir.file("window.ignlog");
    form->Monitor().chooseLogFile = [&](bool) { return QString::fromStdString(file); };
    Connect();
    PlayerButton(*form, 1)->click();
    for (int i = 0; i < 40; ++i)
        Tick();
    PlayerButton(*form, 4)->click();

    QProcess cli;
    cli.start(VORDAX4_CLI, { "log-export", QString::fromStdString(file) });
    ASSERT_TRUE(cli.waitForFinished(60000));
    ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    const QList<QByteArray> rows = cli.readAllStandardOutput().trimmed().split('\n');
    ASSERT_GT(rows.size(), 3);
    EXPECT_EQ(rows[0].toStdString(), MonitorCsv::Header());
    const qsizetype columns = rows[0].count(',');
    for (qsizetype i = 1; i < rows.size(); ++i) {
        const QList<QByteArray> cells = rows[i].split(',');
        ASSERT_EQ(cells.size() - 1, columns) << rows[i].toStdString();
        // Engine speed 4000 +- 3000 rpm and supply 13.8 +- 0.15 V, as the simulated unit runs.
        EXPECT_NEAR(cells[1].toDouble(), 4000, 3001) << rows[i].toStdString();
        EXPECT_NEAR(cells[3].toDouble(), 13.8, 0.16) << rows[i].toStdString();
    }
}

TEST_F(WindowWithUnit, TheUnitsNameAndFirmwareAreShownWhileConnected)
{
    Open();
    Connect();
    const UnitInfo& unit = manager().unitInfo;
    ASSERT_FALSE(unit.name.empty());
    EXPECT_EQ(Text("LabelVerze1").toStdString(), unit.name);
    EXPECT_EQ(Text("LabelVerze2").toStdString(), unit.firmwareDate);
    EXPECT_EQ(Text("LabelVerze3").toStdString(), unit.firmwareTime);
    EXPECT_FALSE(unit.firmwareDate.empty());
}

TEST_F(WindowWithUnit, ARecordingKeepsThePageAndTheMapEachEditorShows)
{
    Open();
    const std::string file = dir.file("maps.ignlog");
    form->Monitor().chooseLogFile = [&](bool) { return QString::fromStdString(file); };
    const MapEditorList& editors = form->MapEditors();
    ASSERT_GT(editors.Count(), 1);
    PlayerButton(*form, 1)->click();
    form->Pages().Select(PAGE_ADVANCE);
    Tick();
    PlayerButton(*form, 4)->click();

    form->Pages().Select(PAGE_MISC);
    ASSERT_TRUE(form->Monitor().Player().StartPlaying(file));
    const IgnlogFile& log = form->Monitor().Player().file();
    const uint8_t* pages = nullptr;
    for (int i = 0; i < log.totalCount(); ++i)
        if (log.recordType(i) == ignlog::REC_PAGES)
            pages = log.record(i) + ignlog::R_PAYLOAD;
    ASSERT_NE(pages, nullptr);
    EXPECT_EQ(pages[0], PAGE_ADVANCE);
    for (int i = 0; i < editors.Count(); ++i) {
        EXPECT_EQ(pages[4 + i], editors.At(i)->OwnerId()) << "editor " << i;
        EXPECT_EQ(pages[4 + ignlog::MAX_MAPS + i], editors.At(i)->ActiveSheet()) << "editor " << i;
    }
    ReplayEach(*form, [](int) {});
    EXPECT_EQ(form->Pages().Active(), PAGE_ADVANCE);
}

TEST(RecordingDialog, ATypedNameGetsTheLogExtension)
{
    ScopedWorkDir dir;
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    LogFileDialog::Prepare(dialog, true);
    dialog.setDirectory(QString::fromStdString(dir.path()));
    dialog.selectFile("session");
    static_cast<QDialog&>(dialog).accept(); // QFileDialog's own accept adds the suffix
    ASSERT_EQ(dialog.selectedFiles().size(), 1);
    EXPECT_EQ(dialog.selectedFiles().first(), QString::fromStdString(dir.file("session.ignlog")));
}

class SignalEnd : public WindowWithUnit, public testing::WithParamInterface<int> { };

TEST_P(SignalEnd, ClosesTheWindowAndKeepsTheSession)
{
    Open();
    form->findChild<QSpinBox*>("UpDownRetard")->setValue(9); // still waiting to be committed
    std::raise(GetParam());
    EXPECT_TRUE(QTest::qWaitFor([&] { return dir.exists("Motravex/VORDAX4/93/application.ini"); }, 30000));
    EXPECT_EQ(form->Link().SignalGuard().EndStatus(), SignalCloseGuard::STATUS_OK) << "no Program: at once";
    EXPECT_TRUE(dir.exists("Motravex/VORDAX4/93/default.ini"));
    EXPECT_FALSE(form->isVisible());
    form.reset();
    Open();
    EXPECT_EQ(form->Image().Adrb(RETARD), 9);
}

INSTANTIATE_TEST_SUITE_P(WindowWithUnit, SignalEnd, testing::Values(SIGTERM, SIGINT, SIGHUP));

// A signal that comes while the window programs an edited configuration into the unit.
struct SignalDuringProgram : WindowWithUnit {
    ParamImage edited;

    // Connected, read, the limiter edited, and Program given: returns once the unit has taken
    // the first block of the write.
    void ProgramUntilTheFirstBlock()
    {
        ASSERT_FALSE(form) << "the unit is chosen before the window opens";
        Open();
        Connect();
        Run("MenuRead"); // a new installation programs only after a read
        SetLimiter(form->Image().Adrb(LIMITER) * 100 + 500);
        edited = form->Image();
        form->findChild<QAction*>("MenuProgram")->trigger();
        ASSERT_TRUE(RunUntil([&] { return unit->WritesReceived() > 0; }));
        ASSERT_TRUE(manager().ProgramUnderway()) << "the read-back and the storing are still to come";
    }
    const SignalCloseGuard& Guard() { return form->Link().SignalGuard(); }
    void Signal(int number)
    {
        std::raise(number);
        QCoreApplication::processEvents();
    }
    bool Ended()
    {
        return RunUntil([&] { return Guard().EndStatus() >= 0; })
            && QTest::qWaitFor([&] { return dir.exists("Motravex/VORDAX4/93/application.ini"); }, 30000);
    }
    QString Said(const char* text) { return QString::fromUtf8(LangText(text)); }
};

TEST_F(SignalDuringProgram, TheFirstSignalLetsTheProgramStoreThenEndsTheWindowWithItsResult)
{
    ProgramUntilTheFirstBlock();
    Signal(SIGTERM);
    EXPECT_TRUE(Guard().Waiting());
    EXPECT_EQ(Guard().EndStatus(), -1) << "the window does not end in the middle of the Program";
    EXPECT_EQ(Text("LabelConnection"), Said(SignalCloseTexts::WAITING));

    ASSERT_TRUE(Ended());
    EXPECT_EQ(Guard().EndStatus(), SignalCloseGuard::STATUS_OK);
    EXPECT_EQ(unit->Configuration(), edited.bytes()) << "the unit holds the whole edited configuration";
    EXPECT_EQ(unit->StoringCountdown(), 0) << "and has stored it";
    EXPECT_EQ(Text("LabelResult"), "Program device: OK");
    EXPECT_EQ(Text("LabelConnection"), Said(SignalCloseTexts::FINISHED));
}

TEST_F(SignalDuringProgram, AProgramThatFailsAfterTheSignalEndsTheWindowWithAFailure)
{
    UnitSimOptions forgetful;
    forgetful.ignoreWrites = true; // the read-back finds the old bytes: the Program fails
    StartUnit(forgetful);
    ProgramUntilTheFirstBlock();
    Signal(SIGINT);
    ASSERT_TRUE(Guard().Waiting());
    ASSERT_TRUE(Ended());
    EXPECT_EQ(Guard().EndStatus(), SignalCloseGuard::STATUS_FAILED);
    EXPECT_EQ(Text("LabelResult"), "Verify error !");
    EXPECT_EQ(Text("LabelConnection"), Said(SignalCloseTexts::FAILED));
}

TEST_F(SignalDuringProgram, ASecondSignalAbandonsTheProgramAndSaysSo)
{
    ProgramUntilTheFirstBlock();
    Signal(SIGTERM);
    Signal(SIGHUP);
    EXPECT_EQ(Guard().EndStatus(), SignalCloseGuard::STATUS_SIGNAL_BASE + SIGHUP) << "without another tick";
    EXPECT_EQ(Text("LabelConnection"), Said(SignalCloseTexts::ABANDONED));
    EXPECT_TRUE(QTest::qWaitFor([&] { return dir.exists("Motravex/VORDAX4/93/application.ini"); }, 30000));
}

TEST_F(WindowWithUnit, OneProgramCountsOneProgramming)
{
    Open();
    Connect();
    Run("MenuRead"); // a new installation programs only after a read
    const int before = form->MonitorData().Monw(MON_PROG_COUNT);
    SetLimiter(form->Image().Adrb(LIMITER) * 100 + 500);
    Run("MenuProgram");
    ASSERT_TRUE(RunUntil([&] { return Text("LabelResult") == "Program device: OK"; }));
    ASSERT_TRUE(RunUntil([&] { return form->MonitorData().Monw(MON_PROG_COUNT) != before; }, 400))
        << "writes " << unit->WritesReceived();
    for (int i = 0; i < 40; ++i)
        Tick();
    ASSERT_GT(unit->WritesReceived(), 1) << "Program sends more than one block";
    EXPECT_EQ(form->MonitorData().Monw(MON_PROG_COUNT), before + 1) << "the blocks of one Program are one programming";
}
