#include "link/PortChannel.h"
#include "LinkTestSupport.h"
#include "RecordingLabels.h"
#include "lang/LangString.h"
#include "link/ByteQueue.h"
#include "link/TransferEngine.h"
#include "link/FrameCodec.h"
#include "unitsim/UnitSim.h"

#include <gtest/gtest.h>

#include <chrono>
#include <numeric>
#include <thread>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Pop(ByteQueue& q, size_t count)
{
    Bytes out(count);
    out.resize(q.Pop(out.data(), count));
    return out;
}

TEST(ByteQueueTest, BytesComeOutInOrderAcrossTheWrap)
{
    ByteQueue q(10);
    uint8_t next = 0;
    for (int round = 0; round < 20; ++round) {
        Bytes in(7);
        std::iota(in.begin(), in.end(), next);
        next = uint8_t(next + 7);
        ASSERT_EQ(q.Push(in.data(), in.size()), 7u) << round;
        EXPECT_EQ(q.Waiting(), 7u);
        EXPECT_EQ(Pop(q, 100), in) << round;
    }
    EXPECT_EQ(q.Waiting(), 0u);
}

TEST(ByteQueueTest, AFullQueueTakesNoMoreAndDiscardEmptiesIt)
{
    ByteQueue q(10);
    const Bytes in(15, 0x55);
    EXPECT_EQ(q.Push(in.data(), in.size()), 10u) << "exactly the capacity fits";
    EXPECT_EQ(q.Push(in.data(), 1), 0u);
    EXPECT_EQ(Pop(q, 4).size(), 4u);
    EXPECT_EQ(q.Push(in.data(), 6), 4u) << "room made by the consumer is used again";
    EXPECT_EQ(q.Waiting(), 10u);
    q.Discard();
    EXPECT_EQ(q.Waiting(), 0u);
    EXPECT_TRUE(Pop(q, 10).empty());
    EXPECT_EQ(q.Push(in.data(), in.size()), 10u);
}

// The producer and the consumer on their own threads: every byte arrives once, in order.
TEST(ByteQueueTest, TwoThreadsMoveEveryByteInOrder)
{
    constexpr size_t total = 200000;
    ByteQueue q(333);
    std::thread producer([&] {
        Bytes chunk;
        for (size_t sent = 0, size = 1; sent < total; size = size % 97 + 1) {
            chunk.resize(std::min(size, total - sent));
            for (size_t i = 0; i < chunk.size(); ++i)
                chunk[i] = uint8_t((sent + i) * 31);
            for (size_t done = 0; done < chunk.size();) {
                done += q.Push(chunk.data() + done, chunk.size() - done);
                std::this_thread::yield();
            }
            sent += chunk.size();
        }
    });
    size_t received = 0;
    size_t wrong = 0;
    uint8_t buffer[128];
    while (received < total) {
        const size_t n = q.Pop(buffer, sizeof buffer);
        for (size_t i = 0; i < n; ++i)
            wrong += buffer[i] != uint8_t((received + i) * 31);
        received += n;
        if (!n)
            std::this_thread::yield();
    }
    producer.join();
    EXPECT_EQ(wrong, 0u);
    EXPECT_EQ(q.Waiting(), 0u);
}

TEST(PortChannelTest, ThePortEndOpensOnlyWithADeviceAndOnlyOnce)
{
    PortChannel line("x");
    EXPECT_EQ(line.Name(), "inproc:x");
    EXPECT_FALSE(line.OpenPort(57600)) << "a line without its device is absent";
    line.AttachDevice();
    ASSERT_TRUE(line.OpenPort(57600));
    EXPECT_EQ(line.LineBaud(), 57600u) << "the line carries the port's rate to the device";
    EXPECT_FALSE(line.OpenPort(115200)) << "a port is opened by one owner at a time";
    EXPECT_EQ(line.LineBaud(), 57600u);
    line.ClosePort();
    EXPECT_FALSE(line.PortOpen());
    ASSERT_TRUE(line.OpenPort(115200));
    EXPECT_EQ(line.LineBaud(), 115200u);
}

TEST(PortChannelTest, BytesSentToNoOneAreLost)
{
    PortChannel line("x");
    const Bytes bytes = { 1, 2, 3 };
    uint8_t buffer[16];
    line.AttachDevice();
    EXPECT_EQ(line.DeviceWrite(bytes.data(), 3), 0u) << "the port is closed: nobody listens";
    ASSERT_TRUE(line.OpenPort(57600));
    EXPECT_EQ(line.PortWaiting(), 0u);
    EXPECT_EQ(line.DeviceWrite(bytes.data(), 3), 3u);
    line.ClosePort();
    ASSERT_TRUE(line.OpenPort(57600));
    EXPECT_EQ(line.PortWaiting(), 0u) << "a reopened port starts empty";

    EXPECT_EQ(line.PortWrite(bytes.data(), 3), 3u);
    line.DetachDevice();
    EXPECT_EQ(line.PortWrite(bytes.data(), 3), 0u) << "the device is gone";
    line.AttachDevice();
    EXPECT_EQ(line.DeviceRead(buffer, sizeof buffer), 0u) << "a new device hears nothing meant for the old one";
}

TEST(PortChannelTest, APortMapCarriesTheLineUnderItsName)
{
    PortMap map;
    const auto line = std::make_shared<PortChannel>("demo");
    std::string error;
    EXPECT_FALSE(map.AddChannel(2, nullptr, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(map.AddChannel(0, line)) << "COM numbers run from 1";
    ASSERT_TRUE(map.AddChannel(2, line));
    EXPECT_EQ(map.Device(2), "inproc:demo");
    EXPECT_EQ(map.Channel("inproc:demo"), line);
    EXPECT_EQ(map.Channel("/dev/ttyS0"), nullptr);
    const PortMap copy = map;
    EXPECT_EQ(copy.Channel("inproc:demo"), line) << "the line travels with the map";

    // A name alone, as typed on a command line, brings no line with it.
    PortMap typed;
    ASSERT_TRUE(typed.Add("2=inproc:demo"));
    EXPECT_EQ(typed.Channel("inproc:demo"), nullptr);
    PortTable sys;
    typed.onlyMapped = true;
    sys.SetPortMap(typed);
    sys.ServicePorts();
    EXPECT_EQ(sys.Port(2).present, 0u);
}

TEST(PortChannelTest, LabelsAPortMapCannotCarryAreRefused)
{
    const struct {
        const char* label;
        bool valid;
    } cases[] = {
        { "demo", true },
        { "bench-2", true },
        { "", false },
        { "a,b", false },
        { "a b", false },
        { "a=b", false },
        { "a;b", false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        UnitSim unit;
        std::string error;
        EXPECT_EQ(unit.StartInProcess(c.label, &error), c.valid);
        EXPECT_EQ(error.empty(), c.valid);
        EXPECT_EQ(unit.Channel() != nullptr, c.valid);
    }
}

// The program's search against the demo's unit: an in-process line on COM 1, the unit taking its
// bytes' wire time. The tick clock follows real time as the main window's timer does.
TEST(PortChannelSearch, TheSearchFindsTheDemoUnitOnItsLine)
{
    LanguageIndex = 0;
    UnitSimOptions options;
    options.paced = true;
    UnitSim unit(options);
    ASSERT_TRUE(unit.StartInProcess("demo"));
    TransferEngine link;
    UnitSearch& search = link.Search();
    PortTable& ports = link.Ports();
    RecordingLabels labels;
    StatusSlots status { &labels };
    search.searchTable.FillFamilyRows();
    search.SetStatusSlots(&status);
    PortMap map;
    map.onlyMapped = true;
    ASSERT_TRUE(map.AddChannel(1, unit.Channel()));
    ports.SetPortMap(map);

    const int32_t origin = TickMs = 1000000;
    const auto start = std::chrono::steady_clock::now();
    int lastPass = -1;
    const auto step = [&] {
        const auto elapsed
            = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
        const int tick = int(elapsed / MS_PER_TICK);
        TickMs = origin + tick * MS_PER_TICK;
        if (tick / 2 != lastPass) {
            lastPass = tick / 2;
            link.LinkTick();
        }
    };
    ASSERT_TRUE(
        PumpUntil([&] { return search.connectedPort.load() == 1 && link.state() == ENGINE_READY; }, step, 5000));
    EXPECT_EQ(ports.Port(1).present, 1u);
    EXPECT_EQ(search.connectedUnit.codec.protocol, PROTOCOL_IGN100);
    EXPECT_EQ(labels.labels[1].text, "VORDAX4 v93 connected");
    EXPECT_GT(unit.RequestsAnswered(), 0);

    // Stopping the unit is pulling the plug: the line vanishes and the link lets the port go.
    unit.Stop();
    ASSERT_TRUE(PumpUntil([&] { return search.connectedPort.load() == 0; }, step, 5000));
    EXPECT_TRUE(PumpUntil([&] { return ports.Port(1).present == 0; }, step, 3000));

    // Started again under its label, the unit is back on the same line, as an adapter plugged in again.
    const auto line = unit.Channel();
    ASSERT_TRUE(unit.StartInProcess("demo"));
    EXPECT_EQ(unit.Channel(), line);
    EXPECT_TRUE(PumpUntil([&] { return search.connectedPort.load() == 1; }, step, 5000));
}

// The device end played by the test, so that an answer can come late: after the slot has given the
// port up for a row at another rate, while the port's close is still to be carried out. The slot
// that picks the port up again must not take that answer for its own.
TEST(PortChannelSearch, ALateAnswerOnAPortBeingClosedConnectsNothing)
{
    LanguageIndex = 0;
    TickMs = 1000000;
    TransferEngine link;
    UnitSearch& search = link.Search();
    PortTable& ports = link.Ports();
    RecordingLabels labels;
    StatusSlots status { &labels };
    search.searchTable.FillFamilyRows();
    search.SetStatusSlots(&status);
    const auto line = std::make_shared<PortChannel>("late");
    line->AttachDevice();
    PortMap map;
    map.onlyMapped = true;
    ASSERT_TRUE(map.AddChannel(5, line));
    ports.SetPortMap(map);

    uint8_t answer[102];
    uint8_t identity[100] = {};
    identity[99] = 93; // the unit type, where an IGN100 identify answer carries it
    FrameCodec::BuildIgnFrame(answer, 100, 0xB0, 0, identity, 0);
    Bytes heard(4096);
    const auto pass = [&](int ms) {
        TickMs += ms;
        link.LinkTick();
        QThread::msleep(20);
        return line->DeviceRead(heard.data(), heard.size());
    };
    for (int i = 0; i < 200 && search.searchSlots[0].state != SLOT_PAUSING; ++i)
        pass(100);
    ASSERT_EQ(search.searchSlots[0].state, SLOT_PAUSING) << "no answer: the rows at 57600 baud are used up";
    ASSERT_EQ(ports.Port(5).state.load(), PORT_OPEN);
    ASSERT_EQ(line->DeviceWrite(answer, sizeof answer), sizeof answer);
    ASSERT_TRUE(PumpUntil([&] { return ports.Port(5).rxWrite.load() != ports.Port(5).rxRead.load(); }));

    TickMs += 400; // the pause ends: the slot starts over on the same port
    link.LinkTick();
    EXPECT_EQ(search.connectedPort.load(), 0);
    size_t got = 0;
    for (int i = 0; i < 20 && !got; ++i)
        got = pass(100);
    ASSERT_EQ(got, sizeof answer) << "the identify request on the port opened afresh";
    ASSERT_EQ(line->LineBaud(), 57600u);
    line->DeviceWrite(answer, sizeof answer);
    // The clock moves on only once the port's thread has the answer, as it would have on time.
    ASSERT_TRUE(PumpUntil([&] { return ports.Port(5).rxWrite.load() != ports.Port(5).rxRead.load(); }));
    for (int i = 0; i < 5 && !search.connectedPort.load(); ++i)
        pass(100);
    EXPECT_EQ(search.connectedPort.load(), 5);
    EXPECT_EQ(ports.Port(5).state.load(), PORT_OPEN);
    EXPECT_EQ(ports.Port(5).requestFlags, 0) << "nothing is about to close the connected port";
}

} // namespace
