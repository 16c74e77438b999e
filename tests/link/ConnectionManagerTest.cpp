#include "link/ConnectionManager.h"
#include "LinkTestSupport.h"
#include "RecordingLabels.h"
#include "unitsim/UnitSim.h"
#include "lang/LangString.h"
#include "link/TransferEngine.h"
#include "model/MonitorImage.h"
#include "monitor/MonitorRequest.h"

#include <gtest/gtest.h>

#include "model/ImageValidation.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <numeric>
#include <thread>
#include <vector>

namespace {

// What the window would show, remembered for the checks.
struct RecordingHost : ConnectionHost {
    struct Box {
        std::string text, caption;
        MessageKind kind;
    };
    std::vector<Box> boxes;
    std::vector<int> percents;
    uint32_t colour = 0;
    bool visible = false;
    std::string labelCom, unitPanel;
    int refreshes = 0, snapshots = 0, saves = 0, monitorRefreshes = 0, recorded = 0, forgotten = 0;
    bool newInstallation = false;

    void ShowProgress(bool v, uint32_t c, int percent) override
    {
        visible = v;
        colour = c;
        if (percents.empty() || percents.back() != percent)
            percents.push_back(percent);
    }
    void ShowMessageBox(const std::string& text, const std::string& caption, MessageKind kind) override
    {
        boxes.push_back({ text, caption, kind });
    }
    void RefreshPages() override { ++refreshes; }
    void UndoSnapshot() override { ++snapshots; }
    void SaveSettings() override { ++saves; }
    void SetLabelComText(const std::string& text) override { labelCom = text; }
    void SetUnitPanelText(const std::string& text) override { unitPanel = text; }
    void RefreshMonitorDisplay() override { ++monitorRefreshes; }
    void FeedRecorder(const uint8_t*) override { ++recorded; }
    void ForgetFileName() override { ++forgotten; }
    bool NewInstallation() const override { return newInstallation; }
    void ClearNewInstallation() override { newInstallation = false; }
};

// A configuration that passes the image checks unchanged, different for every seed.
std::array<uint8_t, 400> Pattern(int seed)
{
    ParamImage image;
    for (int a = 0; a < 400; ++a)
        image.Adrb(a) = uint8_t(a * 7 + seed);
    ValidateImage(image);
    return image.bytes();
}

// The manager against a simulated unit on an in-process line, as it needs no real serial path.
// Each pass advances the tick clock by two main-timer ticks; between passes the test waits in real
// time for a running job to end, so the I/O threads keep up while the time-outs still follow the
// tick clock.
struct ManagerWorld : ::testing::Test {
    std::unique_ptr<UnitSim> unit;
    TransferEngine link;
    UnitSearch& search = link.Search();
    RecordingLabels labels;
    StatusSlots status { &labels };
    ParamImage image;
    MonitorImage monitor;
    MonitorRequest request;
    RecordingHost host;
    ConnectionManager manager { link, image, monitor, request, status, host };
    int jobWaitMs = 1000;
    SearchRow family = SearchTable::OWN_FAMILY;

    void SetUp() override
    {
        LanguageIndex = 0;
        TickMs = 1000000;
        search.searchTable.FillFamilyRows(family);
        search.SetStatusSlots(&status);
    }
    void StartUnit(UnitSimOptions options = {})
    {
        options.storingMs = 300;
        unit = std::make_unique<UnitSim>(options);
        ASSERT_TRUE(unit->StartInProcess());
        unit->SetConfiguration(Pattern(3));
        PortMap map;
        map.onlyMapped = true;
        map.AddChannel(5, unit->Channel());
        link.Ports().SetPortMap(map);
    }
    bool JobRunning() const
    {
        const int32_t job = link.job();
        return job != JobNone && job != JobDone && job != JobFailed;
    }
    // The simulated unit works in real time (it stores a configuration in 300 ms) while the tick
    // clock here jumps 100 ms a pass, so a pass always lets some real time go by: otherwise a fast
    // link could run through a test's pass budget before the unit has done its work.
    void Pass()
    {
        if (!search.connectedPort.load()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(40));
        } else if (!JobRunning()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        } else {
            PumpUntil([&] { return !JobRunning(); }, {}, jobWaitMs);
        }
        TickMs += 2 * MS_PER_TICK;
        status.ExpireStatus();
        manager.Pass();
    }
    bool RunUntil(const std::function<bool()>& done, int maxPasses = 400)
    {
        for (int i = 0; i < maxPasses; ++i) {
            if (done())
                return true;
            Pass();
        }
        return done();
    }
    bool Idle() const { return manager.linkStep == ConnectionManager::StepIdle && !manager.pendingCommand; }
    // Connects and waits for the configuration reads to end.
    void Connect()
    {
        ASSERT_TRUE(RunUntil([&] { return manager.unitMirrorValid == 1 && Idle(); }));
    }
    // Runs a command to its end (the idle step with nothing pending).
    void RunCommand()
    {
        ASSERT_TRUE(RunUntil([&] { return manager.linkStep != ConnectionManager::StepIdle; }));
        ASSERT_TRUE(RunUntil([&] { return Idle(); }));
    }
    const RecordingLabels::Label& Result() const { return labels.labels[2]; }
};

TEST_F(ManagerWorld, ConnectingReadsReferenceAndConfigurationWithRisingProgress)
{
    StartUnit();
    manager.Pass();
    EXPECT_EQ(labels.labels[1].text, "No connection with PC...");
    EXPECT_EQ(labels.labels[1].back, 0x0000FFu);

    std::vector<int> steps;
    ASSERT_TRUE(RunUntil([&] {
        if (steps.empty() || steps.back() != manager.linkStep)
            steps.push_back(manager.linkStep);
        return manager.unitMirrorValid == 1 && Idle();
    }));
    EXPECT_EQ(host.labelCom, "COM=5");
    EXPECT_EQ(manager.unitMirror.bytes(), Pattern(3));
    ParamImage untouched;
    ValidateImage(untouched);
    EXPECT_EQ(image, untouched) << "connecting only checks the image";
    EXPECT_EQ(manager.referenceBlock[10], 93);
    EXPECT_EQ(Result().text, "Reference read: OK");
    EXPECT_EQ(Result().back, 0xFF00000Fu);
    EXPECT_EQ(status.Priority(2), 10);
    EXPECT_EQ(labels.labels[4].text, "Unit and PC settings are different");
    EXPECT_EQ(labels.labels[4].back, 0x00FFFFu);

    const std::vector<int> expected { 0, 32, 33, 52, 48, 53, 49, 54, 50, 55, 51, 60, 56, 61, 57, 62, 58, 63, 59, 2, 1 };
    EXPECT_EQ(steps, expected);
    // IGN100 carries 100 bytes a frame: the reference block twice, each part of the configuration twice.
    EXPECT_EQ(unit->ReferenceReadsAnswered(), 2);
    EXPECT_EQ(unit->ConfigurationReadsReceived(), 8);
    // From the first configuration read on, the bar never falls and ends full.
    const auto from = std::find(host.percents.begin(), host.percents.end(), 20);
    ASSERT_NE(from, host.percents.end());
    EXPECT_TRUE(std::is_sorted(from, host.percents.end())) << ::testing::PrintToString(host.percents);
    EXPECT_EQ(host.percents.back(), 100);

    // Idle: monitor exchanges take over the unit's data and version.
    ASSERT_TRUE(RunUntil([&] { return manager.versionState == 2; }));
    EXPECT_EQ(manager.versionText, "RSKEY=93.00");
    EXPECT_EQ(monitor.Monb(MON_KEY), 93);
    EXPECT_GT(host.recorded, 0);
    EXPECT_GT(host.monitorRefreshes, 0);
    EXPECT_NE(host.unitPanel.find("RSKEY=93.00"), std::string::npos) << host.unitPanel;
    EXPECT_NE(labels.labels[1].text, "No connection with PC...") << "the connected message of priority 100 stays";
}

TEST(ConnectionManagerProgress, EightPartsShareTheBarFrom20To100)
{
    const struct {
        int step, p, percent;
    } cases[] = {
        { 48, 0, 20 },
        { 48, 50, 25 },
        { 48, 100, 30 },
        { 49, 0, 30 },
        { 51, 100, 60 },
        { 56, 0, 60 },
        { 57, 50, 75 },
        { 58, 100, 90 },
        { 59, 0, 90 },
        { 59, 100, 100 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(ConnectionManager::ConfigReadPercent(c.step, c.p), c.percent) << c.step << " " << c.p;
}

TEST_F(ManagerWorld, ReadCopiesTheUnitAndVerifyJudgesTheImage)
{
    host.newInstallation = true;
    StartUnit();
    Connect();
    manager.changedMap[7] = 1;
    manager.ReadCommand();
    RunCommand();
    EXPECT_EQ(image.bytes(), Pattern(3));
    EXPECT_EQ(Result().text, "Verify: OK");
    EXPECT_EQ(manager.changedMap, ChangedMap {});
    EXPECT_FALSE(host.newInstallation) << "a successful Read ends the new installation";
    EXPECT_EQ(host.saves, 1);
    EXPECT_EQ(host.snapshots, 1);
    EXPECT_EQ(host.forgotten, 1);
    EXPECT_EQ(labels.labels[4].text, "Unit and PC settings are identical");
    EXPECT_EQ(labels.labels[4].back, 0x00FF00u);

    manager.VerifyCommand();
    RunCommand();
    EXPECT_EQ(Result().text, "Verify: OK");

    // An edit the image checks keep.
    for (int a = ADVANCE;; ++a) {
        ParamImage edited = image;
        edited.Adrb(a) ^= 1;
        ValidateImage(edited);
        if (edited != image) {
            image = edited;
            break;
        }
    }
    manager.VerifyCommand();
    RunCommand();
    EXPECT_EQ(Result().text, "Verify error !");
    EXPECT_EQ(Result().back, 0x0000FFu);
    EXPECT_EQ(host.colour, 0x0000FFu);
    EXPECT_EQ(host.percents.back(), 100);
}

TEST_F(ManagerWorld, ProgramAllWritesEveryByteThenWaitsForStoring)
{
    StartUnit();
    Connect();
    image.bytes() = Pattern(11);
    const ParamImage wanted = image;
    ASSERT_TRUE(manager.ProgramCommand());
    EXPECT_EQ(manager.programAll, 1);
    bool sawSaving = false;
    ASSERT_TRUE(RunUntil([&] {
        sawSaving |= Result().text == "Saving:";
        return Result().text == "Program device: OK";
    }));
    EXPECT_TRUE(sawSaving);
    EXPECT_EQ(unit->Configuration(), wanted.bytes());
    EXPECT_EQ(manager.unitMirror, wanted);
    EXPECT_EQ(manager.unitMirrorValid, 1);
    EXPECT_EQ(manager.saveCountdown, 0);
    EXPECT_EQ(labels.labels[4].text, "Unit and PC settings are identical");
}

TEST_F(ManagerWorld, ProgramChangedWritesOnlyTheFlaggedBytes)
{
    StartUnit();
    Connect();
    image.bytes() = Pattern(50);
    ASSERT_NE(Pattern(50)[105], Pattern(3)[105]);
    ASSERT_GT(std::inner_product(image.bytes().begin(), image.bytes().end(), Pattern(3).begin(), 0, std::plus<>(),
                  std::not_equal_to<>()),
        100)
        << "the image differs from the unit far beyond the flagged bytes";
    for (int a = 100; a <= 110; ++a)
        manager.changedMap[size_t(a)] = 1;
    manager.RequestProgramChanged();
    ASSERT_TRUE(RunUntil([&] { return Result().text == "Program device: OK"; }));
    // The unit's frames carry whole blocks: the blocks holding the flagged bytes are written, no other.
    const int block = link.DataBytesPerFrame();
    const int from = 100 / block * block, to = (110 / block + 1) * block;
    const auto stored = unit->Configuration();
    const auto before = Pattern(3), now = Pattern(50);
    for (int a = 0; a < 400; ++a)
        ASSERT_EQ(stored[size_t(a)], (a >= from && a < to ? now : before)[size_t(a)]) << a;
    EXPECT_EQ(manager.changedMap, ChangedMap {});
    EXPECT_EQ(unit->WritesReceived() > 0, true);
}

TEST_F(ManagerWorld, NewInstallationRefusesProgram)
{
    host.newInstallation = true;
    EXPECT_FALSE(manager.ProgramCommand()) << "nothing happens without a unit";
    EXPECT_TRUE(host.boxes.empty());
    StartUnit();
    Connect();
    EXPECT_FALSE(manager.ProgramCommand());
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text,
        "This is a new installation of set software for Motravex ignitions.\nYou have to read actual setting of "
        "ignition before first programming of unit (the Read button),\nor open valid .ign file (e.g. from attached "
        "CD) !");
    EXPECT_EQ(host.boxes[0].caption, "Attention");
    EXPECT_EQ(host.boxes[0].kind, ConnectionHost::MessageError);
    EXPECT_EQ(manager.pendingCommand, 0);
    LanguageIndex = 2;
    manager.ProgramCommand();
    EXPECT_EQ(host.boxes.back().caption, "Upozornění");
    LanguageIndex = 0;
}

TEST_F(ManagerWorld, OtherSubversionIsRefusedAndMonitorPollingGoesOn)
{
    UnitSimOptions o;
    o.firmwareMinor = 1;
    StartUnit(o);
    ASSERT_TRUE(RunUntil([&] { return !host.boxes.empty(); }));
    EXPECT_EQ(host.boxes[0].text, "Unmatched subversion of PC and Ignition programs!  PC-93.00, IGN-93.01");
    EXPECT_LT(manager.linkStep, ConnectionManager::StepReference) << "idle or polling, nothing read";
    EXPECT_EQ(host.colour, 0x0000FFu);
    ASSERT_TRUE(RunUntil([&] { return manager.versionState != 0; }));
    EXPECT_EQ(manager.versionState, 1);
    EXPECT_EQ(manager.versionText, "Unmatched subversion of PC and Ignition programs!  PC-93.00, IGN-93.01");
    EXPECT_EQ(manager.unitMirrorValid, 0) << "nothing was read";
    EXPECT_EQ(host.boxes.size(), 1u);

    // A language switch shows the mismatch in the new language.
    LanguageIndex = 1;
    manager.Retranslate();
    EXPECT_EQ(host.unitPanel.find("Unmatched"), std::string::npos) << host.unitPanel;
    EXPECT_NE(host.unitPanel.find("PC-93.00, IGN-93.01"), std::string::npos) << host.unitPanel;
    LanguageIndex = 0;
}

TEST_F(ManagerWorld, ThreeFailedMonitorJobsDropTheLink)
{
    StartUnit();
    Connect();
    ASSERT_TRUE(RunUntil([&] { return manager.versionState == 2; }));
    jobWaitMs = 5;
    unit->SetSilent(true);
    ASSERT_TRUE(RunUntil([&] { return search.connectedPort.load() == 0; }));
    EXPECT_EQ(manager.failedJobs, 3);
    EXPECT_EQ(labels.labels[1].text, "No connection with PC...");
    EXPECT_EQ(labels.labels[1].back, 0x0000FFu);
    EXPECT_EQ(manager.versionState, 0);
    EXPECT_EQ(manager.unitMirrorValid, 0);
    EXPECT_EQ(host.unitPanel, "not connected");
    EXPECT_FALSE(labels.labels[4].shown);
    Pass();
    EXPECT_EQ(manager.linkStep, ConnectionManager::StepOffline);
}

TEST_F(ManagerWorld, ResetSendsTheResetCommand)
{
    StartUnit();
    Connect();
    manager.ResetCommand();
    RunCommand();
    EXPECT_TRUE(PumpUntil([&] { return unit->ResetsReceived() == 1; }, {}, 1000));
}

TEST_F(ManagerWorld, ThreeFailedReadJobsEndWithTheReadError)
{
    StartUnit();
    Connect();
    jobWaitMs = 5;
    unit->SetSilent(true);
    const ParamImage before = image;
    manager.ReadCommand();
    ASSERT_TRUE(RunUntil([&] { return Result().text == "Read error !"; }, 1000));
    EXPECT_EQ(Result().back, 0x0000FFu);
    EXPECT_LT(manager.linkStep, ConnectionManager::StepReference) << "idle or polling";
    EXPECT_EQ(image, before) << "a failed Read leaves the image alone";
    // The failures go on counting: the next failed monitor job drops the link.
    ASSERT_TRUE(RunUntil([&] { return search.connectedPort.load() == 0; }, 200));
}

TEST_F(ManagerWorld, DroppedAnswersAreRepeatedAndTheCommandsStillSucceed)
{
    StartUnit();
    jobWaitMs = 60; // a dropped answer is only noticed as the tick clock moves on
    Connect();
    unit->SetFaults(0.05, 0, 7);
    const int sentBefore = link.FramesSent(), answeredBefore = unit->RequestsAnswered();
    manager.ReadCommand();
    RunCommand();
    EXPECT_GT(link.FramesSent() - sentBefore, unit->RequestsAnswered() - answeredBefore) << "answers were dropped";
    EXPECT_EQ(Result().text, "Verify: OK");
    EXPECT_EQ(image.bytes(), Pattern(3));
    EXPECT_EQ(manager.unitMirror.bytes(), Pattern(3));
}

TEST_F(ManagerWorld, AVanishedDeviceForgetsTheUnit)
{
    StartUnit();
    Connect();
    ASSERT_TRUE(RunUntil([&] { return manager.versionState == 2; }));
    unit->Stop();
    ASSERT_TRUE(RunUntil([&] { return manager.linkStep == ConnectionManager::StepOffline; }));
    EXPECT_EQ(manager.versionState, 0);
    EXPECT_EQ(manager.unitMirrorValid, 0);
    EXPECT_EQ(host.unitPanel, "not connected");
    EXPECT_EQ(labels.labels[1].text, "No connection with PC...");
    EXPECT_FALSE(labels.labels[4].shown);
}

TEST_F(ManagerWorld, WithoutAUnitLabelComShowsThePortChoice)
{
    EXPECT_FALSE(manager.CommandsEnabled(false));
    EXPECT_TRUE(manager.CommandsEnabled(true)) << "a replayed recording enables the commands";
    search.forcedPort = -1;
    manager.Pass();
    EXPECT_EQ(host.labelCom, "COM=OFF");
    EXPECT_EQ(manager.linkStep, ConnectionManager::StepOffline);
    EXPECT_EQ(labels.labels[1].text, "No connection with PC...");
    EXPECT_EQ(status.Priority(1), -5);
}

TEST_F(ManagerWorld, BootloaderResetHandsThePortOver)
{
    StartUnit();
    Connect();
    EXPECT_TRUE(manager.CommandsEnabled(false));
    manager.RequestBootloaderReset();
    ASSERT_TRUE(RunUntil([&] { return search.connectedPort.load() == 0; }));
    EXPECT_TRUE(PumpUntil([&] { return unit->ResetsReceived() == 1; }, {}, 1000));
    EXPECT_EQ(search.searchEnabled, 0);
    EXPECT_EQ(search.rememberedPort, 5);
    Pass();
    EXPECT_EQ(host.labelCom, "COM=5 (DISCONNECTED)");
    EXPECT_EQ(manager.linkStep, ConnectionManager::StepOffline);
}

TEST_F(ManagerWorld, ComMenuChoicesKeepOrDropTheConnection)
{
    StartUnit();
    Connect();
    manager.ChoosePort(0, false);
    EXPECT_EQ(search.connectedPort.load(), 5) << "the automatic search keeps a connected unit";
    manager.ChoosePort(5, true);
    EXPECT_EQ(search.connectedPort.load(), 5) << "choosing the connected port keeps it";
    manager.ChoosePort(-1, false);
    EXPECT_EQ(search.connectedPort.load(), 0);
    EXPECT_EQ(manager.linkStep, ConnectionManager::StepOffline);
    EXPECT_EQ(manager.unitMirrorValid, 0);
    EXPECT_EQ(search.forcedPort, -1);
}

TEST_F(ManagerWorld, ChoosingAPortTakesTheLinkBackFromTheBootloaderTool)
{
    search.searchEnabled = 0;
    search.rememberedPort = 5;
    manager.ChoosePort(7, true);
    EXPECT_EQ(search.searchEnabled, 1);
    EXPECT_EQ(search.rememberedPort, -1);
    EXPECT_EQ(search.forcedPort, 7);
}

// The steps a command or a connection passes through, each once per visit.
struct StepLog {
    std::vector<int> steps;
    void Note(int step)
    {
        if (steps.empty() || steps.back() != step)
            steps.push_back(step);
    }
    int Visits(int step) const { return int(std::count(steps.begin(), steps.end(), step)); }
};

TEST_F(ManagerWorld, ADisagreeingReadIsRepeatedAndPersistentDisagreementEndsWithTheError)
{
    StartUnit();
    Connect();
    const ParamImage before = image;
    const struct {
        int alteredReads;
        const char* result;
    } cases[] = { { 1, "Verify: OK" }, { -1, "Verify error !" } };
    for (const auto& c : cases) {
        unit->SetAlteredReads(c.alteredReads);
        StepLog log;
        manager.ReadCommand();
        ASSERT_TRUE(RunUntil([&] {
            log.Note(manager.linkStep);
            return manager.linkStep >= ConnectionManager::StepRead;
        }));
        ASSERT_TRUE(RunUntil([&] {
            log.Note(manager.linkStep);
            return Idle();
        }));
        EXPECT_EQ(log.Visits(ConnectionManager::StepRead), 2) << "the double read is repeated once";
        EXPECT_EQ(log.Visits(ConnectionManager::StepReadAgain), 2);
        EXPECT_EQ(Result().text, c.result);
        if (c.alteredReads > 0) {
            EXPECT_EQ(image.bytes(), Pattern(3)) << "the repeated reads agree and are taken over";
            EXPECT_EQ(Result().back, 0xFF00000Fu);
        } else {
            EXPECT_EQ(Result().back, 0x0000FFu);
            EXPECT_EQ(host.colour, 0x0000FFu);
        }
        unit->SetAlteredReads(0);
        image = before;
    }
}

TEST_F(ManagerWorld, DisagreeingReferenceReadsEndWithTheReferenceError)
{
    UnitSimOptions o;
    o.alteredReads = -1;
    StartUnit(o);
    StepLog log;
    ASSERT_TRUE(RunUntil([&] {
        log.Note(manager.linkStep);
        return Result().text == "Reference read error !";
    }));
    EXPECT_EQ(log.Visits(ConnectionManager::StepReference), 2);
    EXPECT_EQ(log.Visits(ConnectionManager::StepConfigMonitorFirst), 0) << "no configuration read follows";
    EXPECT_EQ(Result().back, 0x0000FFu);
    EXPECT_EQ(manager.unitMirrorValid, 0);
    EXPECT_LT(manager.linkStep, ConnectionManager::StepReference) << "idle or polling";
}

// A unit whose fixed block (50 bytes) is shorter than the reference block: one reference frame
// carries only block 0, so the reference is read and compared over those bytes alone.
struct ShortBlockWorld : ManagerWorld {
    ShortBlockWorld() { family.protocol = PROTOCOL_IGN50; }
    void StartShortUnit(UnitSimOptions options = {})
    {
        options.protocol = PROTOCOL_IGN50;
        StartUnit(options);
    }
};

TEST_F(ShortBlockWorld, ReferenceIsReadAsFarAsBlockZeroAndTheCommandsSucceed)
{
    StartShortUnit();
    Connect();
    ASSERT_EQ(search.connectedUnit.codec.protocol, PROTOCOL_IGN50);
    EXPECT_EQ(Result().text, "Reference read: OK");
    const auto unitReference = unit->ReferenceBlock();
    for (int a = 0; a < 50; ++a)
        ASSERT_EQ(manager.referenceBlock[size_t(a)], unitReference[size_t(a)]) << a;
    for (int a = 50; a < REFERENCE_BLOCK_LEN; ++a)
        ASSERT_EQ(manager.referenceBlock[size_t(a)], 0) << "byte " << a << " is unknown and stays empty";
    EXPECT_EQ(manager.unitInfo.name, BuildUnitInfo(manager.referenceBlock).name);
    EXPECT_FALSE(manager.unitInfo.name.empty());
    EXPECT_EQ(manager.unitMirror.bytes(), Pattern(3));

    manager.ReadCommand();
    RunCommand();
    EXPECT_EQ(Result().text, "Verify: OK");
    EXPECT_EQ(image.bytes(), Pattern(3));
    manager.VerifyCommand();
    RunCommand();
    EXPECT_EQ(Result().text, "Verify: OK");

    image.bytes() = Pattern(11);
    const ParamImage wanted = image;
    ASSERT_TRUE(manager.ProgramCommand());
    ASSERT_TRUE(RunUntil([&] { return Result().text == "Program device: OK"; }));
    EXPECT_EQ(unit->Configuration(), wanted.bytes());
}

// Program over each protocol against a unit whose every byte differs from the file, so that a
// byte the write path loses (the first or last of a frame, the last of the configuration) stays
// behind in the unit and shows here rather than only in the integration tests.
struct EveryProtocolWorld : ManagerWorld, ::testing::WithParamInterface<int32_t> {
    EveryProtocolWorld()
    {
        family = { GetParam(), FindProtocol(GetParam())->usualBaud, 175 };
    }
};

TEST_P(EveryProtocolWorld, ProgramLeavesTheUnitHoldingEveryByte)
{
    UnitSimOptions options;
    options.protocol = GetParam();
    options.maxFrameLength = 64;
    StartUnit(options);
    image.bytes() = Pattern(11);
    const ParamImage wanted = image;
    std::array<uint8_t, 400> unlike {};
    for (size_t a = 0; a < unlike.size(); ++a)
        unlike[a] = uint8_t(~wanted.bytes()[a]);
    unit->SetConfiguration(unlike);
    Connect();
    ASSERT_EQ(search.connectedUnit.codec.protocol, GetParam());
    image = wanted;
    ASSERT_TRUE(manager.ProgramCommand());
    ASSERT_TRUE(RunUntil([&] { return Result().text == "Program device: OK"; }));
    const auto stored = unit->Configuration();
    for (size_t a = 0; a < stored.size(); ++a)
        ASSERT_EQ(stored[a], wanted.bytes()[a]) << "byte " << a;
}

INSTANTIATE_TEST_SUITE_P(Protocols, EveryProtocolWorld,
    ::testing::Values(PROTOCOL_WCOM, PROTOCOL_WCOMS, PROTOCOL_IGN50, PROTOCOL_IGN100, PROTOCOL_IGN150, PROTOCOL_IGN300),
    [](const ::testing::TestParamInfo<int32_t>& info) { return std::string(ProtocolName(info.param)); });

TEST_F(ShortBlockWorld, DisagreeingReadsOfBlockZeroStillEndWithTheReferenceError)
{
    UnitSimOptions o;
    o.alteredReads = -1;
    StartShortUnit(o);
    StepLog log;
    ASSERT_TRUE(RunUntil([&] {
        log.Note(manager.linkStep);
        return Result().text == "Reference read error !";
    }));
    EXPECT_EQ(log.Visits(ConnectionManager::StepReference), 2);
    EXPECT_EQ(log.Visits(ConnectionManager::StepConfigMonitorFirst), 0);
    EXPECT_EQ(manager.unitMirrorValid, 0);
    EXPECT_TRUE(manager.unitInfo.name.empty()) << "no unit texts from reads that disagree";
}

TEST_F(ManagerWorld, DisagreeingConfigurationReadsStartTheSecondPassOverThenFail)
{
    const struct {
        int alteredReads;
        const char* result;
        int mirrorValid;
    } cases[] = { { 1, "Reference read: OK", 1 }, { -1, "Reference read error !", 0 } };
    for (const auto& c : cases) {
        StartUnit();
        StepLog log;
        // The reference block is read unaltered; from the configuration reads on the answers differ.
        ASSERT_TRUE(RunUntil([&] { return manager.linkStep == ConnectionManager::StepConfigMonitorFirst; }));
        unit->SetAlteredReads(c.alteredReads);
        ASSERT_TRUE(RunUntil([&] {
            log.Note(manager.linkStep);
            return Idle();
        }));
        EXPECT_EQ(log.Visits(ConnectionManager::StepConfigFirst), 2) << ::testing::PrintToString(log.steps);
        EXPECT_EQ(Result().text, c.result);
        EXPECT_EQ(manager.unitMirrorValid, c.mirrorValid);
        if (c.mirrorValid) {
            EXPECT_EQ(manager.unitMirror.bytes(), Pattern(3));
        }
        manager.DropConnection();
        unit.reset();
        manager.Pass();
    }
}

TEST_F(ManagerWorld, ACommandLeftWithoutAUnitIsNotCarriedOutOnTheNextUnit)
{
    // Undo with "program immediately" while no unit is connected, and a Program the link lost.
    image.bytes() = Pattern(50);
    manager.changedMap[105] = 1;
    manager.RequestProgramChanged();
    manager.Pass();
    StartUnit();
    Connect();
    ASSERT_TRUE(RunUntil([&] { return manager.versionState == 2; }));
    EXPECT_EQ(unit->WritesReceived(), 0);
    EXPECT_EQ(unit->Configuration(), Pattern(3));

    // The unit stops answering during a monitor exchange; the Program waits behind it until the link drops.
    jobWaitMs = 5;
    unit->SetSilent(true);
    ASSERT_TRUE(RunUntil([&] { return manager.linkStep == ConnectionManager::StepMonitor; }));
    ASSERT_TRUE(manager.ProgramCommand());
    ASSERT_TRUE(RunUntil([&] { return search.connectedPort.load() == 0; }));
    unit->SetSilent(false);
    ASSERT_TRUE(RunUntil([&] { return search.connectedPort.load() != 0; }));
    jobWaitMs = 1000;
    Connect();
    ASSERT_TRUE(RunUntil([&] { return manager.versionState == 2; }));
    EXPECT_EQ(unit->WritesReceived(), 0) << "the reconnected unit is only read";
    EXPECT_EQ(unit->Configuration(), Pattern(3));
}

// A command-line run: the reference block once, then the command it queued on connecting runs
// at once, without the configuration reads or a monitor exchange first.
struct ReferenceOnceWorld : ManagerWorld {
    void SetUp() override
    {
        ManagerWorld::SetUp();
        manager.connectReads = ConnectionManager::ConnectReads::ReferenceOnce;
    }
    // Connects with command queued as soon as the port is connected; returns the steps passed.
    std::vector<int> ConnectWith(const std::function<void()>& queue)
    {
        std::vector<int> steps;
        const auto note = [&] {
            if (steps.empty() || steps.back() != manager.linkStep)
                steps.push_back(manager.linkStep);
        };
        EXPECT_TRUE(RunUntil([&] { return search.connectedPort.load() != 0; }));
        queue();
        // Until the queued command has ended, or was dropped.
        EXPECT_TRUE(RunUntil([&] {
            note();
            return !manager.pendingCommand && manager.linkStep < ConnectionManager::StepReference
                && !manager.programPending;
        }));
        return steps;
    }
};

TEST_F(ReferenceOnceWorld, TheQueuedCommandFollowsASingleReferenceRead)
{
    const struct {
        const char* name;
        std::function<void(ConnectionManager&)> queue;
        std::vector<int> steps;
        int configurationReads; // IGN100: four frames read the whole configuration
        int writes;
        int mirrorValid; // a verify only compares; read and program know what the unit holds
    } cases[] = {
        { "read", [](ConnectionManager& m) { m.ReadCommand(); }, { 32, 64, 65 }, 8, 0, 1 },
        { "verify", [](ConnectionManager& m) { m.VerifyCommand(); }, { 32, 80 }, 4, 0, 0 },
        { "program", [](ConnectionManager& m) { m.ProgramCommand(); }, { 32, 98, 99 }, 4, 4, 1 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        image.bytes() = Pattern(3);
        StartUnit();
        const std::vector<int> steps = ConnectWith([&] { c.queue(manager); });
        // The steps from the first reference read up to the first idle or monitor step: nothing
        // comes between the reference block and the command.
        const auto from = std::find(steps.begin(), steps.end(), 32);
        const std::vector<int> seen(from, std::find_if(from, steps.end(), [](int step) { return step < 32; }));
        EXPECT_EQ(seen, c.steps) << ::testing::PrintToString(steps);
        EXPECT_EQ(unit->ReferenceReadsAnswered(), 1);
        EXPECT_EQ(unit->ConfigurationReadsReceived(), c.configurationReads);
        EXPECT_EQ(unit->WritesReceived(), c.writes);
        EXPECT_EQ(manager.referenceBlock[10], 93);
        EXPECT_NE(Result().back, 0x0000FFu) << Result().text;
        EXPECT_EQ(manager.unitMirrorValid, c.mirrorValid);
        manager.DropConnection();
        unit.reset();
        manager.Pass();
    }
}

TEST_F(ReferenceOnceWorld, AUnitOfAnotherVersionOrASilentReferenceGetsNoQueuedCommand)
{
    const struct {
        const char* name;
        int firmwareMinor;
        bool silent;
        const char* result;
    } cases[] = {
        { "other subversion", PROGRAM_SUBVERSION + 1, false, "Reference read:" },
        { "silent after the search", PROGRAM_SUBVERSION, true, "Reference read error !" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        image.bytes() = Pattern(40);
        UnitSimOptions o;
        o.firmwareMinor = c.firmwareMinor;
        // Silent from the answer to the search on: the reference read finds no answer however
        // late the test gets to queue its command.
        o.silentAfterAnswers = c.silent ? 1 : -1;
        StartUnit(o);
        jobWaitMs = c.silent ? 5 : 1000;
        ConnectWith([&] { manager.ProgramCommand(); });
        EXPECT_EQ(manager.pendingCommand, 0);
        EXPECT_EQ(Result().text, c.result);
        EXPECT_EQ(host.boxes.size(), c.silent ? 0u : 1u);
        EXPECT_EQ(unit->WritesReceived(), 0);
        EXPECT_EQ(unit->ConfigurationReadsReceived(), 0);
        EXPECT_EQ(unit->Configuration(), Pattern(3));
        manager.DropConnection();
        unit.reset();
        host.boxes.clear();
        manager.Pass();
    }
}

} // namespace
