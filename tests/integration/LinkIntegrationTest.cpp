#include "../link/LinkTestSupport.h"
#include "../link/RecordingLabels.h"
#include "unitsim/UnitSim.h"
#include "lang/LangString.h"
#include "link/TransferEngine.h"
#include "base/Trace.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <vector>

namespace {

// The program's link against simulated units on pseudo-terminals. The tick clock follows real
// time as the main window's timer does, and LinkTick runs on every second tick.
struct LinkWorld : ::testing::Test {
    // A wait on a condition ends as soon as it holds; the limit only ends a test that would hang,
    // so it is far beyond what the slowest machine needs.
    static constexpr int LIMIT_MS = 60000;
    std::vector<std::unique_ptr<UnitSim>> units;
    PortMap map;
    TransferEngine link;
    UnitSearch& search = link.Search();
    RecordingLabels labels;
    StatusSlots status { &labels };
    std::chrono::steady_clock::time_point lastTickAt = std::chrono::steady_clock::now();
    int32_t originTick = 0;
    int tick = 0;
    int lastPassTick = -1;

    void SetUp() override
    {
        LanguageIndex = 0;
        TickMs = originTick = 1000000;
        map.onlyMapped = true;
        search.searchTable.FillFamilyRows();
        search.SetStatusSlots(&status);
    }
    UnitSim& AddUnit(int port, UnitSimOptions options)
    {
        units.push_back(std::make_unique<UnitSim>(options));
        EXPECT_TRUE(units.back()->Start());
        map.Add(std::to_string(port) + "=" + units.back()->DevicePath());
        link.Ports().SetPortMap(map);
        return *units.back();
    }
    // One step of the main timer: a tick comes once its interval of real time has passed, and as
    // with the window's timer a late tick is not made up for, so a test that gets its turns late
    // sees the clock a program starved as much would see; every second tick runs LinkTick.
    void Step()
    {
        const auto now = std::chrono::steady_clock::now();
        if (now - lastTickAt >= std::chrono::milliseconds(MS_PER_TICK)) {
            lastTickAt = now;
            ++tick;
        }
        TickMs = originTick + tick * MS_PER_TICK;
        status.ExpireStatus();
        if (tick / 2 != lastPassTick) {
            lastPassTick = tick / 2;
            link.LinkTick();
        }
    }
    bool RunUntil(const std::function<bool()>& done, int limitMs)
    {
        return PumpUntil(
            done, [&] { Step(); }, limitMs);
    }
    bool Connected() { return search.connectedPort.load() != 0 && link.state() == ENGINE_READY; }
    // Runs a job to its end code; a failed job is collected, so that the next one can start.
    int32_t RunJob(int32_t job, int start, int length, int flags)
    {
        EXPECT_TRUE(link.StartJob(job, start, length, flags));
        RunUntil([&] { return link.job() != job; }, LIMIT_MS);
        const int32_t end = link.job();
        if (end == JobFailed)
            link.ClearJob();
        return end;
    }
};

struct ProtocolCase {
    int32_t protocol;
    uint32_t baud;
    int row;
};

struct EveryProtocol : LinkWorld, ::testing::WithParamInterface<ProtocolCase> { };

TEST_P(EveryProtocol, ConnectsThroughItsRowAndMovesTheConfiguration)
{
    const ProtocolCase c = GetParam();
    UnitSimOptions o;
    o.protocol = c.protocol;
    o.baud = c.baud;
    o.maxFrameLength = 80;
    UnitSim& unit = AddUnit(6, o);
    ASSERT_TRUE(RunUntil([&] { return Connected(); }, LIMIT_MS)) << "a missed row costs one more round of the table";
    EXPECT_EQ(search.connectedPort.load(), 6);
    EXPECT_EQ(search.connectedUnit.codec.protocol, c.protocol);
    // The family rows repeat through the table: an answer that a loaded machine took too late for
    // one is taken by the next of them, which is as much the unit's row.
    const SearchRow& row = search.searchTable.Row(search.connectedUnit.row);
    EXPECT_EQ(row.protocol, search.searchTable.Row(c.row).protocol) << "row " << search.connectedUnit.row;
    EXPECT_EQ(row.baud, search.searchTable.Row(c.row).baud) << "row " << search.connectedUnit.row;
    EXPECT_EQ(search.nextScanPort, 6);
    EXPECT_EQ(link.Ports().portsChanged, 1);
    const std::string name = search.connectedUnit.name;
    EXPECT_EQ(name, IsWcomFamily(c.protocol) ? "VORDAX4 SIM v93 (hw:12)" : "VORDAX4 v93");
    EXPECT_EQ(labels.labels[1].text, name + " connected");
    EXPECT_EQ(status.Priority(1), 100);
    EXPECT_EQ(link.DataBytesPerFrame(), IsWcomFamily(c.protocol) ? 64 : FindProtocol(c.protocol)->blockSize);

    ASSERT_EQ(RunJob(JobReference, 0, 16, JOB_FLAG_SEND_ALL | JOB_FLAG_CLEAR_DATA), JobDone);
    EXPECT_EQ(link.jobRxData[10], 93);
    link.ClearJob();

    for (int a = 0; a < 400; ++a)
        link.jobData[a] = uint8_t(a * 7 + c.protocol);
    ASSERT_EQ(RunJob(JobWrite, 0, 400, JOB_FLAG_SEND_ALL), JobDone);
    link.ClearJob();
    const auto stored = unit.Configuration();
    for (int a = 0; a < 400; ++a)
        ASSERT_EQ(stored[size_t(a)], link.jobData[a]) << a;

    ASSERT_EQ(RunJob(JobRead, 0, 400, JOB_FLAG_SEND_ALL | JOB_FLAG_CLEAR_DATA), JobDone);
    for (int a = 0; a < 400; ++a)
        ASSERT_EQ(link.jobRxData[a], stored[size_t(a)]) << a;
    link.ClearJob();

    std::fill(link.jobData, link.jobData + 100, 0);
    link.jobData[99] = 93;
    link.jobData[20] = 0x02;
    ASSERT_EQ(RunJob(JobMonitor, 0, 100, JOB_FLAG_SEND_ALL | JOB_FLAG_ONE_ATTEMPT), JobDone);
    const int countdown = link.jobRxData[27] | link.jobRxData[28] << 8; // word 14 of the monitor image
    EXPECT_GT(countdown, 0) << "the unit is storing after the write";
    EXPECT_LE(countdown, 800);
    EXPECT_EQ(unit.LastMonitorRequest()[20], 0x02);
    link.ClearJob();

    link.rawCommand = 0xF000;
    std::fill(link.jobData, link.jobData + 100, 0);
    link.jobData[12] = 0xA5;
    link.jobData[13] = 0x10;
    ASSERT_EQ(RunJob(JobCommand, 0, 1, JOB_FLAG_SEND_ALL), JobDone);
    EXPECT_EQ(unit.ResetsReceived(), 1);
}

INSTANTIATE_TEST_SUITE_P(SearchRows, EveryProtocol,
    ::testing::Values(ProtocolCase { PROTOCOL_IGN100, 0, 0 }, ProtocolCase { PROTOCOL_WCOM, 0, 1 },
        ProtocolCase { PROTOCOL_WCOMS, 0, 2 }, ProtocolCase { PROTOCOL_IGN50, 0, 4 },
        ProtocolCase { PROTOCOL_IGN150, 0, 8 }, ProtocolCase { PROTOCOL_WCOM, 115200, 10 },
        ProtocolCase { PROTOCOL_IGN300, 0, 13 }),
    [](const auto& info) {
        return std::string(ProtocolName(info.param.protocol)) + "_row" + std::to_string(info.param.row);
    });

// The rows tried on a port, in the order the slots first took them.
struct RowsTried {
    std::vector<int> rows;
    void Note(const UnitSearch& search, int port)
    {
        for (const SearchSlot& s : search.searchSlots)
            if (s.port == port && s.state != SLOT_IDLE)
                Add(s.row);
        // On a busy machine a row can be tried and answered between two looks at the slots; the
        // connection then names the row that answered.
        if (search.connectedPort.load() == port)
            Add(search.knownUnit.row);
    }
    void Add(int row)
    {
        if (rows.empty() || rows.back() != row)
            rows.push_back(row);
    }
};

// A remembered unit that is still there answers its own row at once, wherever the row lies in the
// search order: no other row is tried on its port.
TEST_P(EveryProtocol, RememberedUnitIsFoundOnItsRowFirst)
{
    const ProtocolCase c = GetParam();
    UnitSimOptions o;
    o.protocol = c.protocol;
    o.baud = c.baud;
    AddUnit(6, o);
    const uint32_t baud = search.searchTable.Row(c.row).baud;
    search.SetKnownUnit({ 6, c.row, baud });
    RowsTried tried;
    ASSERT_TRUE(RunUntil(
        [&] {
            tried.Note(search, 6);
            return Connected();
        },
        LIMIT_MS));
    EXPECT_EQ(tried.rows, std::vector<int> { c.row });
    EXPECT_EQ(search.connectedUnit.codec.protocol, c.protocol);
    EXPECT_EQ(search.knownUnit.port, 6);
    EXPECT_EQ(search.knownUnit.row, c.row);
    EXPECT_EQ(search.knownUnit.baud, baud);
}

// The unit on the remembered port was swapped for one of another protocol: the remembered row gets
// no answer, and the port's full search order finds the new unit, which is remembered instead.
TEST_F(LinkWorld, RememberedRowThatNoLongerAnswersFallsBackToTheFullSearch)
{
    UnitSimOptions o;
    o.protocol = PROTOCOL_WCOM;
    AddUnit(6, o);
    search.SetKnownUnit({ 6, 13, 115200 });
    RowsTried tried;
    ASSERT_TRUE(RunUntil(
        [&] {
            tried.Note(search, 6);
            return Connected();
        },
        LIMIT_MS));
    EXPECT_EQ(tried.rows, (std::vector<int> { 13, 0, 1 }));
    EXPECT_EQ(search.connectedPort.load(), 6);
    EXPECT_EQ(search.connectedUnit.codec.protocol, PROTOCOL_WCOM);
    EXPECT_EQ(search.knownUnit.row, 1);
    EXPECT_EQ(search.knownUnit.baud, 57600u);
}

// A connection found by the full search is remembered, and after the connection is dropped the
// search starts again with that row.
TEST_F(LinkWorld, DroppedConnectionIsSoughtOnTheRememberedRowFirst)
{
    UnitSimOptions o;
    o.protocol = PROTOCOL_IGN50;
    AddUnit(6, o);
    ASSERT_TRUE(RunUntil([&] { return Connected(); }, LIMIT_MS));
    EXPECT_EQ(search.knownUnit.row, 4);
    link.Disconnect();
    RowsTried tried;
    ASSERT_TRUE(RunUntil(
        [&] {
            tried.Note(search, 6);
            return Connected();
        },
        LIMIT_MS));
    EXPECT_EQ(tried.rows, std::vector<int> { 4 });
}

// The highest search row any slot reached on a port.
int HighestRowOn(const UnitSearch& search, int port, int sofar)
{
    for (const SearchSlot& s : search.searchSlots)
        if (s.port == port && s.state != SLOT_IDLE)
            sofar = std::max(sofar, s.row);
    return sofar;
}

// The search's trace tells that the echo was recognised: a look at the slots can miss row 1 of
// the echo port when a busy machine runs through it between two looks.
TEST_F(LinkWorld, LoopBackPortIsSkippedAsAnEcho)
{
    QTemporaryDir traceDir;
    const std::string tracePath = traceDir.filePath("trace.txt").toStdString();
    ASSERT_TRUE(Trace::Open(tracePath));
    UnitSimOptions echo;
    echo.echo = true;
    AddUnit(3, echo);
    UnitSimOptions silent;
    silent.silent = true;
    AddUnit(4, silent);
    int echoRow = 0;
    int silentRow = 0;
    RunUntil(
        [&] {
            echoRow = HighestRowOn(search, 3, echoRow);
            silentRow = HighestRowOn(search, 4, silentRow);
            return silentRow >= 3;
        },
        LIMIT_MS);
    Trace::Close();
    EXPECT_GE(silentRow, 3) << "a silent port is tried row after row";
    EXPECT_LE(echoRow, 1) << "the echo of the WCOM request fails the port at row 1";
    QFile trace(QString::fromStdString(tracePath));
    ASSERT_TRUE(trace.open(QIODevice::ReadOnly));
    EXPECT_TRUE(trace.readAll().contains("ECHO !"));
    EXPECT_EQ(search.connectedPort.load(), 0);
}

// A WCOM unit that answers after both attempts of its row have timed out answers while the WCOMS
// row that follows on the open port waits: that answer is passed over, so the unit is not connected
// with a protocol it does not understand; answering on time, it is found on its own row.
TEST_F(LinkWorld, LateWcomAnswerIsNotTakenForTheWcomsRow)
{
    UnitSimOptions late;
    late.protocol = PROTOCOL_WCOM;
    late.delayMs = 2 * search.searchTable.Row(1).timeoutMs + 60;
    UnitSim& unit = AddUnit(6, late);
    int highestRow = 0;
    RunUntil(
        [&] {
            highestRow = HighestRowOn(search, 6, highestRow);
            return Connected() || highestRow >= 3;
        },
        LIMIT_MS);
    // A test starved of its processor sees time pass slowly and may still take the answer on row 1.
    unit.SetDelay(0);
    ASSERT_TRUE(RunUntil([&] { return Connected(); }, LIMIT_MS));
    EXPECT_EQ(search.connectedUnit.codec.protocol, PROTOCOL_WCOM);
    EXPECT_EQ(search.knownUnit.row, 1);
}

TEST_F(LinkWorld, UnitOfAnotherTypeIsAnnouncedOnRedAndSkipped)
{
    UnitSimOptions other;
    other.unitType = 94;
    AddUnit(5, other);
    ASSERT_TRUE(RunUntil([&] { return labels.labels[1].shown; }, LIMIT_MS));
    EXPECT_EQ(labels.labels[1].text, "COM 5:VX094 v94 (unmatched)");
    EXPECT_EQ(labels.labels[1].back, 0x0000FFu);
    EXPECT_EQ(status.ExpiryTick(1) - TickMs.load() / MS_PER_TICK, 6000 / MS_PER_TICK);
    RunUntil([] { return false; }, 400);
    EXPECT_EQ(search.connectedPort.load(), 0);
}

TEST_F(LinkWorld, ForcedPortIsTheOnlyPortTried)
{
    AddUnit(3, {});
    AddUnit(4, {});
    search.forcedPort = 4;
    ASSERT_TRUE(RunUntil([&] { return Connected(); }, LIMIT_MS));
    EXPECT_EQ(search.connectedPort.load(), 4);
    EXPECT_EQ(units[0]->RequestsAnswered(), 0);
}

TEST_F(LinkWorld, OfflineOpensNothing)
{
    AddUnit(3, {});
    search.forcedPort = -1;
    RunUntil([] { return false; }, 600);
    EXPECT_EQ(search.connectedPort.load(), 0);
    EXPECT_EQ(units[0]->RequestsAnswered(), 0);
    EXPECT_EQ(link.Ports().Port(3).ioThread, nullptr);
}

TEST_F(LinkWorld, UnplugMidJobDropsTheLinkAndClearsTheJob)
{
    UnitSimOptions slow;
    slow.delayMs = 150;
    UnitSim& unit = AddUnit(7, slow);
    ASSERT_TRUE(RunUntil([&] { return Connected(); }, LIMIT_MS));
    ASSERT_TRUE(link.StartJob(JobRead, 0, 400, JOB_FLAG_SEND_ALL | JOB_FLAG_CLEAR_DATA));
    ASSERT_TRUE(RunUntil([&] { return link.jobPos() >= 100; }, LIMIT_MS));
    unit.Stop();
    ASSERT_TRUE(RunUntil([&] { return search.connectedPort.load() == 0; }, LIMIT_MS));
    EXPECT_EQ(link.job(), JobNone) << "the job disappears; it does not end as JobFailed";
    EXPECT_EQ(link.state(), ENGINE_DOWN);
    EXPECT_EQ(link.lastJob(), JobDone) << "no job ended";
}

TEST_F(LinkWorld, CorruptedAndDroppedAnswersAreRetried)
{
    UnitSimOptions flaky;
    flaky.protocol = PROTOCOL_WCOMS;
    UnitSim& unit = AddUnit(8, flaky);
    ASSERT_TRUE(RunUntil([&] { return Connected(); }, LIMIT_MS));
    unit.SetFaults(0.1, 0.2, 11); // from here on the draws depend only on the requests of the job
    // Three attempts per block can all be hit at this fault rate (more so when a loaded machine turns
    // slow answers into extra attempts); a failed job is a correct outcome then, so the job is repeated
    // as the connection manager repeats it.
    int end = JobNone;
    for (int run = 0; run < 5 && end != JobDone; ++run)
        end = RunJob(JobRead, 0, 400, JOB_FLAG_SEND_ALL | JOB_FLAG_CLEAR_DATA);
    ASSERT_EQ(end, JobDone);
    const auto stored = unit.Configuration();
    for (int a = 0; a < 400; ++a)
        ASSERT_EQ(link.jobRxData[a], stored[size_t(a)]) << a;
    EXPECT_GT(link.FramesSent(), 13) << "some frames went out again";
}

} // namespace
