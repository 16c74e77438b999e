#include "link/FrameCodec.h"
#include "link/PortRecord.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

struct CodecFixture : ::testing::Test {
    PortRecord port;
    FrameCodec codec;

    void Feed(const Bytes& bytes) { ASSERT_EQ(port.PushReceived(bytes.data(), uint32_t(bytes.size())), bytes.size()); }
    // Feeds the bytes and collects every frame the parser returns, as the callers do.
    std::vector<Bytes> FeedAndCollect(const Bytes& bytes, int32_t now = 0)
    {
        std::vector<Bytes> frames;
        size_t done = 0;
        while (done < bytes.size()) {
            const size_t chunk = std::min<size_t>(bytes.size() - done, 200);
            Feed(Bytes(bytes.begin() + long(done), bytes.begin() + long(done + chunk)));
            done += chunk;
            while (codec.ReceiveFrame(port, now))
                frames.emplace_back(codec.rxFrame, codec.rxFrame + FrameLength());
        }
        return frames;
    }
    int FrameLength() const { return IsWcomFamily(codec.protocol) ? codec.dataLength() + 16 : codec.frameLength; }
};

Bytes Wcom(uint32_t command, uint16_t address, const Bytes& data)
{
    Bytes frame(CODEC_BUFFER_LEN);
    frame.resize(size_t(FrameCodec::BuildWcomFrame(frame.data(), command, address, int(data.size()), data.data())));
    return frame;
}

Bytes Ign(int block, int kind, int index, const Bytes& data, int tail = 0)
{
    Bytes frame(size_t(block) + 2);
    FrameCodec::BuildIgnFrame(frame.data(), block, kind, index, data.empty() ? nullptr : data.data(), tail);
    return frame;
}

TEST(FrameCodecVectors, IdentifyRequestsAreTheKnownBytes)
{
    EXPECT_EQ(Wcom(0xFEEE, 0, {}),
        (Bytes { 0xFF, 0xFF, 0xFF, 0xFF, 0xA5, 0x5A, 0xBB, 0xBB, 0xEE, 0xFE, 0, 0, 0, 0, 0xD8, 0x69 }));
    EXPECT_EQ(Wcom(0xFEEE | WCOM_FLAG_SUM, 0, {}),
        (Bytes { 0xFF, 0xFF, 0xFF, 0xFF, 0xA5, 0x5A, 0xBB, 0xFB, 0xEE, 0xFE, 0, 0, 0, 0, 0xB3, 0xAA }));
}

TEST(FrameCodecVectors, WcomsOddLengthCheckMakesTheSumAllOnes)
{
    const Bytes frame = Wcom(0x7010 | WCOM_FLAG_SUM, 0, { 0x12 });
    ASSERT_EQ(frame.size(), 17u);
    EXPECT_EQ(frame[15], 0x39);
    EXPECT_EQ(frame[16], 0x7E);
    EXPECT_EQ(FrameCodec::WcomsSum(frame.data(), 17), 0xFFFF);
}

TEST(FrameCodecVectors, ChecksAfterTheSyncBytes)
{
    const uint8_t sync[] = { 0xFF, 0xFF, 0xFF, 0xFF, 0xA5, 0x5A, 0xBB, 0xFB };
    EXPECT_EQ(FrameCodec::WcomCrc(sync, 7), 0xB797);
    EXPECT_EQ(FrameCodec::WcomsSum(sync, 8), uint16_t(0x5B5E + 0xFB * 256));
}

TEST(FrameCodecVectors, KindByteFollowsTheFlags)
{
    EXPECT_EQ(Wcom(0x7010, 0, {})[WCOM_KIND], 0xBB);
    EXPECT_EQ(Wcom(0x7010 | WCOM_FLAG_SUM | WCOM_FLAG_ANSWER, 0, {})[WCOM_KIND], 0xFC);
    EXPECT_EQ(Wcom(0x7010 | WCOM_FLAG_ANSWER2, 0, {})[WCOM_KIND], 0xBD);
    EXPECT_EQ(Wcom(0x7010, 0, Bytes(600, 1)).size(), 512u + 16u) << "the data length is limited to 512";
}

TEST(FrameCodecVectors, IgnFramesCarryTailAndCheck)
{
    const Bytes identify = Ign(100, 0x30, 0, {}, 93);
    EXPECT_EQ(identify[0], 0x30);
    EXPECT_EQ(identify[100], 93);
    EXPECT_EQ(identify[99], 0);
    EXPECT_EQ(FrameCodec::IgnCheck(identify.data(), 102), 0);
    const Bytes wide = Ign(50, 0x30, 1, {}, 2 * 256 + 93);
    EXPECT_EQ(wide[0], 0x31);
    EXPECT_EQ(wide[49], 2);
    EXPECT_EQ(wide[50], 93);
    const Bytes noTail = Ign(300, 0x30, 0, {}, 93);
    EXPECT_EQ(noTail[300], 0) << "IGN300 frames have no tail";
}

TEST_F(CodecFixture, ShortAnswerIsNormalised)
{
    codec.SetProtocol(PROTOCOL_WCOM, 75);
    const auto frames = FeedAndCollect(Wcom(0xFFFF | WCOM_FLAG_ANSWER, 0x7020, { 0x40 }));
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(codec.kind() & 0x0F, 0x0C);
    EXPECT_EQ(codec.command(), 0x7020);
    EXPECT_EQ(codec.address(), 0x40);
    EXPECT_EQ(codec.dataLength(), 0);
}

TEST_F(CodecFixture, ShortAnswersOfBothFormsWithAWordValue)
{
    codec.SetProtocol(PROTOCOL_WCOMS, 125);
    ASSERT_EQ(FeedAndCollect(Wcom(0xFFFE | WCOM_FLAG_SUM, 0x7010, { 0x34, 0x12 })).size(), 1u);
    EXPECT_EQ(codec.kind(), 0xFD);
    EXPECT_EQ(codec.command(), 0x7010);
    EXPECT_EQ(codec.address(), 0x1234);
    ASSERT_EQ(FeedAndCollect(Wcom(0xFFFF | WCOM_FLAG_ANSWER, 0xFFFE, {})).size(), 1u);
    EXPECT_EQ(codec.kind(), 0xBD) << "a 0xFFFF answer that carries 0xFFFE is normalised twice";
    EXPECT_EQ(codec.command(), 0);
}

TEST_F(CodecFixture, GarbageBeforeTheSyncAndBothCheckKindsAreAccepted)
{
    codec.SetProtocol(PROTOCOL_WCOM, 75);
    Bytes stream = { 0x00, 0xFF, 0xA5, 0xFF, 0xFF, 0xFF, 0xFF, 0x12 };
    const Bytes crcFrame = Wcom(0x7010 | WCOM_FLAG_ANSWER, 32, Bytes(32, 0x55));
    const Bytes sumFrame = Wcom(0x7050 | WCOM_FLAG_ANSWER | WCOM_FLAG_SUM, 0, Bytes(33, 0x66));
    stream.insert(stream.end(), crcFrame.begin(), crcFrame.end());
    stream.insert(stream.end(), { 0xEE, 0xFF });
    stream.insert(stream.end(), sumFrame.begin(), sumFrame.end());
    const auto frames = FeedAndCollect(stream);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0], crcFrame);
    EXPECT_EQ(frames[1], sumFrame);
}

TEST_F(CodecFixture, BackToBackFramesAreAllFound)
{
    codec.SetProtocol(PROTOCOL_WCOM, 75);
    Bytes stream;
    for (int i = 0; i < 5; ++i) {
        const Bytes f = Wcom(0x7010 | WCOM_FLAG_ANSWER, uint16_t(i * 32), Bytes(32, uint8_t(i)));
        stream.insert(stream.end(), f.begin(), f.end());
    }
    EXPECT_EQ(FeedAndCollect(stream).size(), 5u);
}

TEST_F(CodecFixture, CorruptedWcomFrameIsDropped)
{
    codec.SetProtocol(PROTOCOL_WCOM, 75);
    Bytes bad = Wcom(0x7010 | WCOM_FLAG_ANSWER, 0, Bytes(8, 1));
    bad[16] ^= 0x01;
    const Bytes good = Wcom(0x7010 | WCOM_FLAG_ANSWER, 8, Bytes(8, 2));
    Bytes stream = bad;
    stream.insert(stream.end(), good.begin(), good.end());
    const auto frames = FeedAndCollect(stream);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0], good);
}

TEST_F(CodecFixture, WrongIgnCheckThenAGoodFrame)
{
    codec.SetProtocol(PROTOCOL_IGN100, 175);
    Bytes bad = Ign(100, 0xC0, 1, Bytes(100, 7));
    bad.back() ^= 0xFF;
    const Bytes good = Ign(100, 0xC0, 2, Bytes(100, 8));
    Bytes stream = bad;
    stream.insert(stream.begin(), { 0x41, 0x12 }); // an echoed request byte cannot start a frame
    stream.insert(stream.end(), good.begin(), good.end());
    const auto frames = FeedAndCollect(stream);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0], good);
}

// Each case is refused by one check of the parser alone, and a good frame behind it is still
// found: without that check the case would come through as a frame or swallow the good one.
TEST_F(CodecFixture, EachCheckRefusesItsOwnCaseAlone)
{
    const auto join = [](Bytes a, const Bytes& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    Bytes wrongSum = Wcom(0x7010 | WCOM_FLAG_ANSWER | WCOM_FLAG_SUM, 0, Bytes(9, 4));
    wrongSum[14] ^= 0x10;
    Bytes beyondTheBuffer = Wcom(0x7010 | WCOM_FLAG_ANSWER, 0, {});
    beyondTheBuffer[12] = 0xD0; // 2000 data bytes claimed
    beyondTheBuffer[13] = 0x07;
    beyondTheBuffer.resize(beyondTheBuffer.size() - 2);
    beyondTheBuffer.resize(CODEC_BUFFER_LEN, 0x00);
    const Bytes echoedRequest = Ign(100, 0x40, 1, {}); // a read request: its check is right, its bit 7 clear
    const Bytes wcomGood = Wcom(0x7010 | WCOM_FLAG_ANSWER, 8, Bytes(8, 2));
    const Bytes ignGood = Ign(100, 0xC0, 1, Bytes(100, 8));
    Bytes wrongXor = Ign(100, 0xC0, 2, Bytes(100, 9));
    wrongXor.back() ^= 0x01; // only the check byte is wrong
    const struct {
        const char* what;
        int32_t protocol;
        Bytes stream;
        Bytes good;
    } cases[] = {
        { "a word sum that does not come to 0xFFFF", PROTOCOL_WCOMS, join(wrongSum, wcomGood), wcomGood },
        { "a length beyond the receive buffer", PROTOCOL_WCOM, join(beyondTheBuffer, wcomGood), wcomGood },
        { "a request echoed by the line", PROTOCOL_IGN100, echoedRequest, {} },
        { "a wrong check byte", PROTOCOL_IGN100, join(wrongXor, ignGood), ignGood },
    };
    for (const auto& c : cases) {
        codec.SetProtocol(c.protocol, 100);
        const auto frames = FeedAndCollect(c.stream);
        EXPECT_EQ(frames, c.good.empty() ? std::vector<Bytes> {} : std::vector<Bytes> { c.good }) << c.what;
    }
}

TEST_F(CodecFixture, InterByteGapRestartsTheParser)
{
    for (int32_t protocol : { PROTOCOL_WCOM, PROTOCOL_IGN50 }) {
        SCOPED_TRACE(protocol);
        codec.SetProtocol(protocol, 100);
        const Bytes frame = protocol == PROTOCOL_WCOM ? Wcom(0x7010 | WCOM_FLAG_ANSWER, 0, Bytes(10, 3))
                                                      : Ign(50, 0xC0, 1, Bytes(50, 3));
        const Bytes head(frame.begin(), frame.begin() + 10);
        const Bytes tail(frame.begin() + 10, frame.end());
        EXPECT_TRUE(FeedAndCollect(head, 1000).empty());
        EXPECT_TRUE(FeedAndCollect(tail, 1150).empty()) << "the gap of 150 ms exceeds the 100 ms time-out";
        EXPECT_EQ(FeedAndCollect(frame, 1200).size(), 1u) << "the next whole frame is found";
        EXPECT_TRUE(FeedAndCollect(head, 2000).empty());
        EXPECT_EQ(FeedAndCollect(tail, 2100).size(), 1u) << "a gap of exactly the time-out is allowed";
    }
}

TEST_F(CodecFixture, ProtocolNoneDiscardsEverything)
{
    codec.SetProtocol(PROTOCOL_NONE, 0);
    Feed(Ign(50, 0xC0, 1, {}));
    EXPECT_EQ(codec.ReceiveFrame(port, 0), 0);
    uint8_t byte = 0;
    EXPECT_FALSE(port.PopReceived(byte));
}

TEST_F(CodecFixture, SetProtocolTable)
{
    const struct {
        int32_t id;
        int frameLength;
    } cases[] = { { PROTOCOL_WCOM, 16 }, { PROTOCOL_WCOMS, 16 }, { PROTOCOL_IGN50, 52 }, { PROTOCOL_IGN100, 102 },
        { PROTOCOL_IGN150, 152 }, { PROTOCOL_IGN300, 302 } };
    for (const auto& c : cases) {
        codec.SetProtocol(c.id, 42);
        EXPECT_EQ(codec.frameLength, c.frameLength);
        EXPECT_EQ(codec.protocol, c.id);
        EXPECT_EQ(codec.interByteTimeout, 42);
    }
    codec.SetProtocol(4242, 10);
    EXPECT_EQ(codec.protocol, PROTOCOL_IGN300) << "an unknown id keeps the previous protocol";
    EXPECT_EQ(codec.frameLength, 0);
}

TEST_F(CodecFixture, FourHundredByteFrameIsHandedOverAs330And70)
{
    codec.txLength = 400;
    for (uint32_t i = 0; i < 400; ++i)
        codec.txFrame[i] = uint8_t(i);
    codec.SendFrame(port);
    EXPECT_EQ(port.txLength.load(), 330u);
    EXPECT_EQ(codec.remaining, 70);
    codec.SendFrame(port);
    EXPECT_EQ(port.txLength.load(), 330u) << "nothing more while the port's buffer is busy";
    port.txLength = 0;
    codec.SendFrame(port);
    EXPECT_EQ(port.txLength.load(), 70u);
    EXPECT_EQ(port.txBuffer[0], uint8_t(330));
    EXPECT_EQ(codec.remaining, 0);
    port.txLength = 0;
    codec.RestartSend();
    codec.SendFrame(port);
    EXPECT_EQ(port.txLength.load(), 330u) << "a restart sends the frame again from its first byte";
    EXPECT_EQ(port.txBuffer[0], 0);
}

TEST(FrameCodecAddresses, IgnAnswerAddressTable)
{
    const struct {
        uint8_t answer;
        int block;
        bool readOrWrite;
        int address;
    } cases[] = { { 0xC1, 100, true, 0 }, { 0xC4, 100, true, 300 }, { 0x81, 50, true, 0 }, { 0xB0, 100, false, 0 },
        { 0xB1, 50, false, 50 }, { 0xC0, 100, false, 0 }, { 0x80, 300, false, 0 } };
    for (const auto& c : cases)
        EXPECT_EQ(FrameCodec::IgnAnswerAddress(c.answer, c.block, c.readOrWrite), c.address) << int(c.answer);
}

TEST_F(CodecFixture, IdentityOfEveryFamily)
{
    codec.SetProtocol(PROTOCOL_WCOM, 75);
    Bytes data = { 'X', 0, 64, 0, 0x12, 0, 93, 0 };
    ASSERT_EQ(FeedAndCollect(Wcom(0xFEEE | WCOM_FLAG_ANSWER, 0, data)).size(), 1u);
    UnitIdentity id;
    ASSERT_TRUE(codec.ParseIdentity(id));
    EXPECT_STREQ(id.name, "X");
    EXPECT_EQ(id.maxFrameLength, 64);
    EXPECT_EQ(id.hardwareCode, 0x12);
    EXPECT_EQ(id.unitTypeCode, 93);

    ASSERT_EQ(FeedAndCollect(Wcom(0xFEEE | WCOM_FLAG_ANSWER, 0, { 'Y', 'Z', 0, 100 })).size(), 1u);
    ASSERT_TRUE(codec.ParseIdentity(id));
    EXPECT_STREQ(id.name, "YZ");
    EXPECT_EQ(id.maxFrameLength, -1) << "a word cut short is absent";
    EXPECT_EQ(id.unitTypeCode, -1);

    codec.SetProtocol(PROTOCOL_IGN150, 175);
    Bytes ign(150, 0);
    ign[149] = 93;
    ASSERT_EQ(FeedAndCollect(Ign(150, 0xB0, 0, ign)).size(), 1u);
    ASSERT_TRUE(codec.ParseIdentity(id));
    EXPECT_EQ(id.unitTypeCode, 93);

    codec.SetProtocol(PROTOCOL_IGN300, 175);
    Bytes wide(300, 0);
    wide[1] = 0x01;
    wide[2] = 0x2D;
    ASSERT_EQ(FeedAndCollect(Ign(300, 0xB0, 0, wide)).size(), 1u);
    ASSERT_TRUE(codec.ParseIdentity(id));
    EXPECT_EQ(id.unitTypeCode, 301);
}

TEST(PortRing, OneByteAlwaysStaysFree)
{
    uint32_t first = 0, second = 0;
    PortRecord::FreeParts(0, 329, first, second);
    EXPECT_EQ(first + second, 0u);
    PortRecord::FreeParts(100, 300, first, second);
    EXPECT_EQ(first, 30u);
    EXPECT_EQ(second, 99u);
    PortRecord::FreeParts(50, 10, first, second);
    EXPECT_EQ(first, 39u);
    EXPECT_EQ(second, 0u);
    PortRecord port;
    const Bytes many(400, 9);
    EXPECT_EQ(port.PushReceived(many.data(), 400), 329u);
}

} // namespace
