#include "unitsim/PseudoTerminal.h"
#include "unitsim/UnitSim.h"
#include "LinkTestSupport.h"
#include "link/PortTable.h"
#include "link/FrameCodec.h"

#include <gtest/gtest.h>

#include <QFileInfo>

#include <memory>
#include <optional>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

enum class Line { InProcess, PseudoTerminal };

// The program's side of a line to a simulated unit: port 7 opened at the unit's rate. The unit's
// answers need no real serial path, so it sits on an in-process line unless a test asks for a
// pseudo-terminal.
struct SimLine {
    UnitSim sim;
    PortTable sys;
    FrameCodec codec;
    const ProtocolInfo* info;

    explicit SimLine(UnitSimOptions options, uint32_t baud = 0, Line kind = Line::InProcess)
        : sim(options)
        , info(FindProtocol(options.protocol))
    {
        TickMs = 200000;
        PortMap map;
        map.onlyMapped = true;
        if (kind == Line::PseudoTerminal) {
            EXPECT_TRUE(sim.Start());
            map.Add("7=" + sim.DevicePath());
        } else {
            EXPECT_TRUE(sim.StartInProcess());
            map.AddChannel(7, sim.Channel());
        }
        sys.SetPortMap(map);
        sys.OpenPort(7, baud ? baud : sim.LineBaudRequired());
        EXPECT_TRUE(PumpUntil([&] { return sys.Port(7).state.load() == PORT_OPEN; }, [&] { sys.ServicePorts(); }));
        codec.SetProtocol(options.protocol, 1000);
    }
    std::optional<Bytes> Exchange(const Bytes& request, int limitMs = 500)
    {
        std::copy(request.begin(), request.end(), codec.txFrame);
        codec.txLength = uint32_t(request.size());
        codec.RestartSend();
        bool got = false;
        PumpUntil([&] { return got; },
            [&] {
                codec.SendFrame(sys.Port(7));
                got = codec.remaining == 0 && codec.ReceiveFrame(sys.Port(7), TickMs.load());
            },
            limitMs);
        if (!got)
            return std::nullopt;
        const int length = info->wcomFamily ? codec.dataLength() + WCOM_OVERHEAD : codec.frameLength;
        return Bytes(codec.rxFrame, codec.rxFrame + length);
    }
    Bytes Wcom(uint16_t command, uint16_t address, const Bytes& data)
    {
        Bytes f(CODEC_BUFFER_LEN);
        f.resize(size_t(FrameCodec::BuildWcomFrame(
            f.data(), command | (info->sumCheck ? WCOM_FLAG_SUM : 0), address, int(data.size()), data.data())));
        return f;
    }
    Bytes Ign(int kind, int index, const Bytes& data, int tail = 0)
    {
        Bytes f(size_t(info->blockSize) + 2);
        FrameCodec::BuildIgnFrame(f.data(), info->blockSize, kind, index, data.empty() ? nullptr : data.data(), tail);
        return f;
    }
};

TEST(UnitSimTest, WcomUnitAnswersEveryRequest)
{
    for (const ProtocolInfo& row : Protocols()) {
        if (!row.wcomFamily)
            continue;
        SCOPED_TRACE(row.name);
        UnitSimOptions o;
        o.protocol = row.id;
        o.maxFrameLength = 64;
        SimLine line(o);
        ASSERT_TRUE(line.Exchange(line.Wcom(0xFEEE, 0, {})));
        UnitIdentity id;
        ASSERT_TRUE(line.codec.ParseIdentity(id));
        EXPECT_STREQ(id.name, "VORDAX4 SIM");
        EXPECT_EQ(id.maxFrameLength, 64);
        EXPECT_EQ(id.unitTypeCode, 93);

        const Bytes payload = { 9, 8, 7, 6, 5 };
        ASSERT_TRUE(line.Exchange(line.Wcom(0x7020, 100, payload)));
        EXPECT_EQ(line.codec.command(), 0x7020) << "the short answer is normalised";
        EXPECT_EQ(line.codec.address(), 100);
        const auto read = line.Exchange(line.Wcom(0x7010, 98, { 8, 0 }));
        ASSERT_TRUE(read);
        EXPECT_EQ(line.codec.dataLength(), 8);
        EXPECT_EQ(Bytes(line.codec.data() + 2, line.codec.data() + 7), payload);

        ASSERT_TRUE(line.Exchange(line.Wcom(0x701F, 0, { 16, 0 })));
        EXPECT_EQ(line.codec.data()[10], 93);

        ASSERT_TRUE(line.Exchange(line.Wcom(0x7050, 0, Bytes(32, 0))));
        const uint16_t countdown = uint16_t(line.codec.data()[27] | (line.codec.data()[28] << 8));
        EXPECT_GT(countdown, 0) << "storing counts down after a write";
        EXPECT_LE(countdown, 800);

        ASSERT_TRUE(line.Exchange(line.Wcom(0xF000, 0, {})));
        EXPECT_EQ(line.codec.command(), 0xF000);
        EXPECT_EQ(line.sim.ResetsReceived(), 1);
    }
}

TEST(UnitSimTest, FixedBlockUnitAnswersEveryRequest)
{
    for (const ProtocolInfo& row : Protocols()) {
        if (row.wcomFamily)
            continue;
        SCOPED_TRACE(row.name);
        UnitSimOptions o;
        o.protocol = row.id;
        SimLine line(o);
        const int n = line.info->blockSize;
        ASSERT_TRUE(line.Exchange(line.Ign(0x30, 0, {}, line.info->hasTail ? 93 : 0)));
        UnitIdentity id;
        ASSERT_TRUE(line.codec.ParseIdentity(id));
        EXPECT_EQ(id.unitTypeCode, 93);

        Bytes block(size_t(n), 0x3C);
        const auto written = line.Exchange(line.Ign(0x00, 2, block)); // block 1, at address n
        ASSERT_TRUE(written);
        EXPECT_EQ((*written)[0], 0x82);
        EXPECT_EQ(Bytes(written->begin() + 1, written->end() - 1), block) << "the write is confirmed with its data";
        const auto read = line.Exchange(line.Ign(0x40, 2, {}));
        ASSERT_TRUE(read);
        EXPECT_EQ((*read)[0], 0xC2);
        EXPECT_EQ((*read)[1], 0x3C);
        EXPECT_EQ(line.sim.Configuration()[size_t(n)], 0x3C);

        const auto reference = line.Exchange(line.Ign(0x40, 0, {}));
        ASSERT_TRUE(reference);
        EXPECT_EQ((*reference)[0], 0xC0);
        EXPECT_EQ((*reference)[11], 93) << "firmware major at reference offset 10";

        Bytes reset(size_t(n), 0);
        reset[12] = 0xA5;
        reset[13] = 0x10;
        const auto resetAnswer = line.Exchange(line.Ign(0x00, 0, reset));
        ASSERT_TRUE(resetAnswer);
        EXPECT_EQ((*resetAnswer)[0], 0x80);
        EXPECT_EQ(line.sim.ResetsReceived(), 1);
    }
}

// Every byte the program writes lands in the unit's memory, the first and the last of each frame
// and the last byte of the configuration included, on every protocol.
TEST(UnitSimTest, WritesOfEveryProtocolLandByteForByte)
{
    std::array<uint8_t, RS_LEN_EXE> written {};
    for (size_t a = 0; a < written.size(); ++a)
        written[a] = uint8_t(a * 13 + 7);
    for (const ProtocolInfo& row : Protocols()) {
        SCOPED_TRACE(row.name);
        UnitSimOptions o;
        o.protocol = row.id;
        o.maxFrameLength = 64;
        SimLine line(o);
        std::array<uint8_t, RS_LEN_EXE> before {};
        for (size_t a = 0; a < before.size(); ++a)
            before[a] = uint8_t(~written[a]);
        line.sim.SetConfiguration(before);
        const int perFrame = row.wcomFamily ? 48 : row.blockSize;
        for (int start = 0; start < RS_LEN_EXE; start += perFrame) {
            Bytes data(size_t(perFrame), 0);
            for (int i = 0; i < perFrame && start + i < RS_LEN_EXE; ++i)
                data[size_t(i)] = written[size_t(start + i)];
            if (row.wcomFamily) {
                data.resize(size_t(std::min(perFrame, RS_LEN_EXE - start)));
                ASSERT_TRUE(line.Exchange(line.Wcom(0x7020, uint16_t(start), data))) << start;
            } else {
                ASSERT_TRUE(line.Exchange(line.Ign(0x00, start / perFrame + 1, data))) << start;
            }
        }
        const auto stored = line.sim.Configuration();
        for (size_t a = 0; a < stored.size(); ++a)
            ASSERT_EQ(stored[a], written[a]) << "byte " << a;
    }
}

TEST(UnitSimTest, FaultsTable)
{
    struct Case {
        const char* what;
        void (*apply)(UnitSimOptions&);
        bool answers;
        bool echoed;
    };
    const Case cases[] = {
        { "silent", [](UnitSimOptions& o) { o.silent = true; }, false, false },
        { "all dropped", [](UnitSimOptions& o) { o.dropShare = 1.0; }, false, false },
        { "all corrupted", [](UnitSimOptions& o) { o.corruptShare = 1.0; }, false, false },
        { "delayed", [](UnitSimOptions& o) { o.delayMs = 30; }, true, false },
        { "paced", [](UnitSimOptions& o) { o.paced = true; }, true, false },
        { "loop-back", [](UnitSimOptions& o) { o.echo = true; }, false, true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        UnitSimOptions o;
        o.protocol = PROTOCOL_WCOM;
        c.apply(o);
        SimLine line(o);
        // A WCOM parser takes an echoed request for a frame: that is how the search sees the echo.
        const Bytes request = line.Wcom(0xFEEE, 0, {});
        // Answers get a generous limit, so a loaded machine cannot turn a late answer into a missing one.
        const auto frame = line.Exchange(request, c.answers || c.echoed ? 3000 : 300);
        EXPECT_EQ(frame.has_value(), c.answers || c.echoed);
        if (frame && c.echoed) {
            EXPECT_EQ(*frame, request);
        }
        if (frame && c.answers) {
            EXPECT_EQ(line.codec.kind(), 0xBC);
        }
    }
}

// The rate reaches the unit over both kinds of line: as the terminal's settings, and carried by
// the in-process line.
TEST(UnitSimTest, RequestAtAnotherLineRateIsNotUnderstood)
{
    std::vector<Line> kinds { Line::InProcess };
#if VORDAX4_HAVE_PTY
    kinds.push_back(Line::PseudoTerminal);
#endif
    for (Line kind : kinds) {
        SCOPED_TRACE(kind == Line::InProcess ? "in-process" : "pseudo-terminal");
        UnitSimOptions o;
        o.protocol = PROTOCOL_IGN300;
        SimLine wrongRate(o, 57600, kind);
        EXPECT_FALSE(wrongRate.Exchange(wrongRate.Ign(0x30, 0, {}), 300));
        SimLine rightRate(o, 0, kind);
        EXPECT_TRUE(rightRate.Exchange(rightRate.Ign(0x30, 0, {})));
    }
}

// Unless told a rate, a unit listens at the usual rate of its protocol.
TEST(UnitSimTest, ListensAtItsProtocolsUsualRate)
{
    const struct {
        int32_t protocol;
        uint32_t baud;
    } cases[] = { { PROTOCOL_WCOM, 57600 }, { PROTOCOL_WCOMS, 57600 }, { PROTOCOL_IGN50, 57600 },
        { PROTOCOL_IGN100, 57600 }, { PROTOCOL_IGN150, 57600 }, { PROTOCOL_IGN300, 115200 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(ProtocolName(c.protocol));
        UnitSimOptions o;
        o.protocol = c.protocol;
        EXPECT_EQ(UnitSim(o).LineBaudRequired(), c.baud);
        o.baud = 19200;
        EXPECT_EQ(UnitSim(o).LineBaudRequired(), 19200u);
    }
}

TEST(UnitSimTest, DropsAreReproducibleWithTheSeed)
{
    auto pattern = [](uint32_t seed) {
        UnitSimOptions o;
        o.protocol = PROTOCOL_IGN50;
        o.dropShare = 0.5;
        o.seed = seed;
        SimLine line(o);
        std::string answered;
        for (int i = 0; i < 8; ++i)
            answered += line.Exchange(line.Ign(0x40, 1, {}), 1000) ? '1' : '0';
        return answered;
    };
    const std::string first = pattern(7);
    EXPECT_EQ(first, pattern(7));
    EXPECT_NE(first.find('0'), std::string::npos);
    EXPECT_NE(first.find('1'), std::string::npos);
}

TEST(UnitSimTest, PullsItsOwnPlugAtTheGivenWriteOrRead)
{
    struct Case {
        const char* what;
        void (*apply)(UnitSimOptions&);
        int kind; // request kind of the transfer that counts
    };
    const Case cases[] = {
        { "write", [](UnitSimOptions& o) { o.unplugAtWrite = 2; }, 0x00 },
        { "read", [](UnitSimOptions& o) { o.unplugAtRead = 2; }, 0x40 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        UnitSimOptions o;
        o.protocol = PROTOCOL_IGN100;
        c.apply(o);
        SimLine line(o);
        EXPECT_TRUE(line.Exchange(line.Ign(0x40, 0, {}), 1000)) << "the reference read does not count";
        EXPECT_TRUE(line.Exchange(line.Ign(c.kind, 1, Bytes(100, 7)), 1000));
        EXPECT_FALSE(line.sim.Unplugged());
        const auto before = line.sim.Configuration();
        EXPECT_FALSE(line.Exchange(line.Ign(c.kind, 2, Bytes(100, 9)), 300));
        EXPECT_TRUE(line.sim.Unplugged());
        EXPECT_EQ(line.sim.Configuration(), before) << "the request that met the pulled plug changed nothing";
    }
}

} // namespace

#ifndef _WIN32
// A program that still names an unplugged unit's device must find nothing there: if the system
// gave the freed number to another pseudo-terminal at once, a port link left pointing at the old
// device would reach a stranger's unit and program it.
TEST(PseudoTerminalTest, AClosedLineKeepsItsNumberUntilItGoes)
{
    auto first = std::make_unique<PseudoTerminal>();
    ASSERT_TRUE(first->Open());
    const std::string path = first->DevicePath();
    first->Close();
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(path))) << "the device vanishes as it is unplugged";

    std::vector<std::unique_ptr<PseudoTerminal>> others;
    for (int i = 0; i < 8; ++i) {
        others.push_back(std::make_unique<PseudoTerminal>());
        ASSERT_TRUE(others.back()->Open());
        EXPECT_NE(others.back()->DevicePath(), path);
    }
    first.reset();
    others.clear();
}
#endif
