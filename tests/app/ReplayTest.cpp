#include "app/MainWindow.h"
#include "app/WindowLink.h"
#include "app/WindowMonitor.h"
#include "app/WindowUndo.h"

#include "EngineRecording.h"
#include "WindowWithUnit.h"
#include "mapedit/ui/MapEditor.h"
#include "mapedit/ui/MapEditorList.h"

#include <QAbstractButton>
#include <QCheckBox>

#include <gtest/gtest.h>

namespace {

enum PlayerButton { RECORD = 1, PLAY = 2, PAUSE = 3, STOP = 4 };

// A replay shows a recording made with the limiter at 7 000 rpm while the user's own settings
// have it at 9 000 rpm.
struct Replay : WindowWithUnit {
    std::string file;

    void OpenWithRecording()
    {
        Open();
        // Connected first: the pages shown again after connecting never meet an edit under way.
        Connect();
        file = dir.file("ride.ignlog");
        form->Monitor().chooseLogFile = [this](bool) { return QString::fromStdString(file); };
        SetLimiter(7000);
        Click(RECORD);
        Tick();
        Click(STOP);
        SetLimiter(9000);
    }
    void Click(PlayerButton button)
    {
        form->findChild<QAbstractButton*>(QString("SpeedButtonPlay%1").arg(int(button)))->click();
    }
    int ShownLimiter() { return form->findChild<UpDownSpinBox*>("UpDownLimiter")->value(); }
    bool RefusalShown()
    {
        for (const std::string& box : boxes)
            if (box.find("A recording is being replayed") != std::string::npos)
                return true;
        return false;
    }
};

} // namespace

TEST_F(Replay, StopBringsBackTheUsersSettingsAndTheirUndoHistory)
{
    OpenWithRecording();
    const ParamImage users = form->Image();
    Click(PLAY);
    ASSERT_TRUE(form->Monitor().Player().replaying());
    EXPECT_EQ(ShownLimiter(), 7000) << "the recording's settings are shown";
    EXPECT_TRUE(form->windowTitle().startsWith("REPLAY ride.ignlog")) << form->windowTitle().toStdString();
    EXPECT_TRUE(Shown("LabelReplay"));
    EXPECT_EQ(Text("LabelReplay"), "REPLAY - recorded values");
    Click(PAUSE);
    Tick();
    EXPECT_EQ(Text("LabelReplay"), "REPLAY paused - recorded values");

    Click(STOP);
    EXPECT_EQ(form->Image(), users);
    EXPECT_EQ(ShownLimiter(), 9000);
    EXPECT_FALSE(form->windowTitle().contains("REPLAY"));
    EXPECT_FALSE(Shown("LabelReplay"));
    form->Undo().Undo();
    EXPECT_EQ(form->Image().Adrb(LIMITER), 70) << "Undo takes back the user's last edit, nothing else";
    form->Undo().Redo();
    EXPECT_EQ(form->Image().Adrb(LIMITER), 90);
    EXPECT_FALSE(form->Undo().Ring().CanRedo());
}

TEST_F(Replay, EditsMadeDuringAReplayGoWithIt)
{
    OpenWithRecording();
    Click(PLAY);
    SetLimiter(8000);
    Click(STOP);
    EXPECT_EQ(form->Image().Adrb(LIMITER), 90);
    EXPECT_FALSE(form->Undo().Ring().CanRedo());
    form->Undo().Undo();
    EXPECT_EQ(form->Image().Adrb(LIMITER), 70);
}

TEST_F(Replay, ClosingTheWindowDuringAReplayKeepsTheUsersSettings)
{
    OpenWithRecording();
    Click(PLAY);
    ASSERT_EQ(form->Image().Adrb(LIMITER), 70);
    ASSERT_TRUE(form->SaveSettings()) << "a save while replaying";
    form->close();
    form.reset();
    Open();
    EXPECT_EQ(form->Image().Adrb(LIMITER), 90) << "default.ini holds the user's configuration";
}

TEST_F(Replay, ReadProgramAndProgrammingAfterChangeAreRefused)
{
    OpenWithRecording();
    Run("MenuRead"); // a new installation programs only after a read
    SetLimiter(9000);
    const std::array<uint8_t, RS_LEN_EXE> unitBefore = unit->Configuration();
    const int writesBefore = unit->WritesReceived();
    Click(PLAY);
    ASSERT_TRUE(form->Monitor().Player().replaying());

    form->findChild<QAction*>("MenuProgram")->trigger();
    EXPECT_TRUE(RefusalShown());
    boxes.clear();
    form->findChild<QAction*>("MenuRead")->trigger();
    EXPECT_TRUE(RefusalShown());
    boxes.clear();
    form->findChild<QCheckBox*>("CheckBoxProgHned")->setChecked(true);
    SetLimiter(8500);
    EXPECT_TRUE(RefusalShown()) << "programming after change";
    for (int i = 0; i < 30; ++i)
        Tick();
    EXPECT_TRUE(Idle());
    EXPECT_EQ(unit->WritesReceived(), writesBefore);
    EXPECT_EQ(unit->Configuration(), unitBefore);

    Click(STOP);
    EXPECT_EQ(form->Image().Adrb(LIMITER), 90);
    EXPECT_EQ(manager().unitMirror.bytes(), unitBefore) << "the unit's mirror is the unit's again";
}

TEST_F(Replay, APausedReplayShowsOnlyRecordedValues)
{
    Open();
    file = dir.file("live.ignlog");
    form->Monitor().chooseLogFile = [this](bool) { return QString::fromStdString(file); };
    Connect();
    Click(RECORD);
    for (int i = 0; i < 30; ++i)
        Tick();
    Click(STOP);
    Click(PLAY);
    Click(PAUSE);
    const QString rpm = Text("LabelRpm");
    const MonitorImage replayed = form->Monitor().ShownData();
    const MonitorImage live = form->MonitorData();
    ASSERT_TRUE(RunUntil([&] { return form->MonitorData().bytes() != live.bytes(); }));
    Tick();
    EXPECT_EQ(Text("LabelRpm"), rpm) << "the unit's new data stays off the screen";
    EXPECT_EQ(form->Monitor().ShownData().bytes(), replayed.bytes());
    EXPECT_NE(Text("LabelVerze1").toStdString(), manager().unitInfo.name) << "no live unit's name in a replay";

    Click(STOP);
    ASSERT_TRUE(RunUntil([&] { return Text("LabelRpm") != rpm; }));
    EXPECT_EQ(Text("LabelVerze1").toStdString(), manager().unitInfo.name) << "live again after Stop";
}

TEST_F(Replay, ShowOnMapsMarksWhereTheEngineRanUntilEitherToggleClearsIt)
{
    Open();
    ParamImage image = form->Image();
    image.Adrb(TPSIAP_SENSOR) = 1;
    image.Adrb(ADV_MAPA) = 1;
    file = dir.file("hits.ignlog");
    ASSERT_TRUE(WriteEngineRecording(file, std::vector<EngineReading>(8, { 3000, 20 }), image));
    auto* toggle = form->findChild<QAbstractButton*>("ButtonShowOnMaps");
    ASSERT_NE(toggle, nullptr);
    EXPECT_FALSE(toggle->isEnabled()) << "nothing replays yet";
    form->Monitor().OpenRecording(QString::fromStdString(file));
    ASSERT_TRUE(toggle->isEnabled());
    toggle->click();
    Tick();
    MapEditor* advance = form->MapEditors().EditorByOwnerId(ProgramMap(MapKind::Advance).ownerId);
    ASSERT_NE(advance, nullptr);
    ASSERT_NE(advance->Hits(), nullptr);
    EXPECT_EQ(advance->Hits()->PlacedRecords(), 8);
    EXPECT_DOUBLE_EQ(advance->Hits()->LargestShare(), 1.0);

    // The log viewer's menu item shows the same state and clears the marks as well.
    form->Monitor().ShowLogViewer();
    auto* item = form->findChild<QAction*>("MenuShowOnMaps");
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->isChecked());
    item->trigger();
    Tick();
    EXPECT_EQ(advance->Hits(), nullptr);
    EXPECT_FALSE(toggle->isChecked());

    // A recording that cannot be read is refused with a message and shows nothing.
    form->Monitor().ShowOnMaps(dir.file("missing.ignlog"));
    EXPECT_FALSE(form->Monitor().MapsShowRecording());
    EXPECT_FALSE(errors.empty());
}
