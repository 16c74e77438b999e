#include "link/FrameCodec.h"

#include "base/Trace.h"
#include "link/FrameCommands.h"
#include "link/PortRecord.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint16_t crcAfterSync = 0xB797;
constexpr uint16_t sumAfterSync = 0x5B5E;

uint16_t CrcByte(uint16_t reg, uint8_t byte)
{
    for (int bit = 0; bit < 8; ++bit) {
        const bool top = reg & 0x8000;
        reg = static_cast<uint16_t>((reg << 1) | ((byte >> bit) & 1));
        if (top)
            reg ^= 0x1083;
    }
    return reg;
}

void PutWord(uint8_t* p, unsigned v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

} // namespace

void FrameCodec::ResetCodec()
{
    position = 0;
    runningCheck = 0;
    lastByteTime = 0;
    interByteTimeout = 0;
    frameLength = 0;
    txLength = 0;
    remaining = 0;
    sendIndex = SEND_RESTART;
}

void FrameCodec::SetProtocol(int32_t id, int32_t timeoutMs)
{
    ResetCodec();
    if (id == PROTOCOL_NONE) {
        protocol = id;
        interByteTimeout = timeoutMs;
        return;
    }
    const ProtocolInfo* info = FindProtocol(id);
    if (!info)
        return;
    frameLength = info->requestLength;
    protocol = id;
    interByteTimeout = timeoutMs;
}

uint16_t FrameCodec::WcomCrc(const uint8_t* bytes, int count)
{
    uint16_t reg = 1;
    for (int i = 0; i < count; ++i)
        reg = CrcByte(reg, bytes[i]);
    return reg;
}

uint16_t FrameCodec::WcomsSum(const uint8_t* bytes, int count)
{
    uint16_t sum = 0;
    for (int i = 0; i < count; ++i)
        sum = static_cast<uint16_t>(sum + ((i & 1) ? bytes[i] << 8 : bytes[i]));
    return sum;
}

uint8_t FrameCodec::IgnCheck(const uint8_t* bytes, int count)
{
    uint8_t check = 0xFF;
    for (int i = 0; i < count; ++i)
        check ^= bytes[i];
    return check;
}

int FrameCodec::BuildWcomFrame(
    uint8_t* frame, uint32_t commandWithFlags, uint16_t address, int length, const uint8_t* data)
{
    length = std::clamp(length, 0, WCOM_MAX_DATA);
    PutWord(frame + WCOM_COMMAND, commandWithFlags & 0xFFFF);
    PutWord(frame + WCOM_ADDRESS, address);
    PutWord(frame + WCOM_LENGTH, static_cast<unsigned>(length));
    std::memcpy(frame, WCOM_SYNC, sizeof WCOM_SYNC);
    uint8_t kind = (commandWithFlags & WCOM_FLAG_SUM) ? WCOM_KIND_SUM : WCOM_KIND_CRC;
    if (commandWithFlags & WCOM_FLAG_ANSWER)
        kind |= WCOM_KIND_ANSWER;
    else if (commandWithFlags & WCOM_FLAG_ANSWER2)
        kind |= WCOM_KIND_ANSWER_SECOND;
    else
        kind |= WCOM_KIND_REQUEST;
    frame[WCOM_KIND] = kind;
    if (length > 0 && data)
        std::memcpy(frame + WCOM_DATA, data, static_cast<size_t>(length));
    else if (length > 0)
        std::memset(frame + WCOM_DATA, 0, static_cast<size_t>(length));
    const int checked = WCOM_DATA + length;
    if (commandWithFlags & WCOM_FLAG_SUM) {
        uint16_t sum = WcomsSum(frame, checked & ~1);
        if (length & 1) {
            sum = static_cast<uint16_t>(sum + frame[checked - 1]);
            frame[checked] = static_cast<uint8_t>(~(sum >> 8));
            frame[checked + 1] = static_cast<uint8_t>(~sum);
        } else {
            PutWord(frame + checked, static_cast<uint16_t>(~sum));
        }
    } else {
        PutWord(frame + checked, WcomCrc(frame, checked));
    }
    return checked + 2;
}

int FrameCodec::BuildIgnFrame(uint8_t* frame, int blockSize, int kind, int index, const uint8_t* data, int tail)
{
    frame[0] = static_cast<uint8_t>(kind + index);
    if (data)
        std::memcpy(frame + 1, data, static_cast<size_t>(blockSize));
    else
        std::memset(frame + 1, 0, static_cast<size_t>(blockSize));
    const ProtocolInfo* info = FindProtocol(FixedBlockProtocolId(blockSize));
    if (tail != 0 && info && info->hasTail) {
        frame[blockSize] = static_cast<uint8_t>(tail);
        if (tail > 255)
            frame[blockSize - 1] = static_cast<uint8_t>(tail >> 8);
    }
    frame[blockSize + 1] = IgnCheck(frame, blockSize + 1);
    return blockSize + 2;
}

int FrameCodec::BuildIdentifyRequest(int tail)
{
    const ProtocolInfo* info = FindProtocol(protocol);
    if (!info)
        return 0;
    if (info->wcomFamily)
        txLength = static_cast<uint32_t>(
            BuildWcomFrame(txFrame, WCOM_IDENTIFY | (info->sumCheck ? WCOM_FLAG_SUM : 0), 0, 0, nullptr));
    else
        txLength = static_cast<uint32_t>(BuildIgnFrame(txFrame, info->blockSize, IGN_MONITOR, 0, nullptr, tail));
    return static_cast<int>(txLength);
}

void FrameCodec::SendFrame(PortRecord& port)
{
    if (sendIndex == SEND_RESTART) {
        sendIndex = 0;
        remaining = static_cast<int32_t>(std::min<uint32_t>(txLength, CODEC_BUFFER_LEN));
    }
    if (remaining <= 0 || port.txLength.load(std::memory_order_acquire) != 0)
        return;
    TraceLinef("...sent [0x%02x] (%i)", txFrame[0], remaining);
    const uint32_t count = std::min<uint32_t>(static_cast<uint32_t>(remaining), PORT_BUFFER_LEN);
    std::memcpy(port.txBuffer, txFrame + sendIndex, count);
    sendIndex += static_cast<int32_t>(count);
    remaining -= static_cast<int32_t>(count);
    port.txLength.store(count, std::memory_order_release);
}

int FrameCodec::ReceiveFrame(PortRecord& port, int32_t now)
{
    if (protocol == PROTOCOL_NONE || !FindProtocol(protocol)) {
        port.DiscardReceived();
        return 0;
    }
    const bool wcom = IsWcomFamily(protocol);
    uint32_t read = port.rxRead.load(std::memory_order_relaxed);
    const uint32_t write = port.rxWrite.load(std::memory_order_acquire);
    int result = 0;
    while (read != write && !result) {
        const uint8_t byte = port.rxRing[read];
        read = (read + 1) % PORT_BUFFER_LEN;
        if (position > 0 && now - lastByteTime > interByteTimeout)
            position = 0;
        lastByteTime = now;
        result = wcom ? ReceiveWcomByte(byte) : ReceiveIgnByte(byte);
    }
    port.rxRead.store(read, std::memory_order_release);
    return result;
}

int FrameCodec::ReceiveWcomByte(uint8_t byte)
{
    if (position >= CODEC_BUFFER_LEN)
        position = 0;
    rxFrame[position++] = byte;
    if (syncMode == SYNC_CRC)
        runningCheck = CrcByte(runningCheck, byte);
    else if (syncMode == SYNC_SUM)
        runningCheck = static_cast<uint16_t>(runningCheck + ((position & 1) ? byte : byte << 8));
    if (position == 8) {
        const bool synced = std::memcmp(rxFrame, WCOM_SYNC, sizeof WCOM_SYNC) == 0;
        const uint8_t check = rxFrame[WCOM_KIND] & WCOM_KIND_CHECK_MASK;
        if (synced && check == WCOM_KIND_CRC) {
            syncMode = SYNC_CRC;
            runningCheck = CrcByte(crcAfterSync, rxFrame[WCOM_KIND]);
        } else if (synced && check == WCOM_KIND_SUM) {
            syncMode = SYNC_SUM;
            runningCheck = static_cast<uint16_t>(sumAfterSync + rxFrame[WCOM_KIND] * 256);
        } else {
            syncMode = SYNC_NONE;
            std::memmove(rxFrame, rxFrame + 1, 7);
            position = 7;
        }
        return 0;
    }
    if (position < 14)
        return 0;
    frameLength = dataLength() + WCOM_OVERHEAD;
    if (position == frameLength - 2)
        savedCheck = runningCheck;
    if (position != frameLength)
        return 0;
    // The next frame starts afresh; the finished one stays in rxFrame for the caller.
    position = 0;
    const bool good
        = syncMode == SYNC_CRC ? savedCheck == Word(frameLength - 2) : syncMode == SYNC_SUM && runningCheck == 0xFFFF;
    if (!good)
        return 0;
    NormaliseShortAnswer();
    return 1;
}

int FrameCodec::ReceiveIgnByte(uint8_t byte)
{
    if (position >= frameLength)
        position = 0;
    if (position == 0) {
        runningCheck = 0xFF;
        if (!(byte & IGN_ANSWER))
            return 0;
    }
    runningCheck ^= byte;
    rxFrame[position++] = byte;
    if (position == frameLength && runningCheck == 0) {
        position = 0;
        return 1;
    }
    return 0;
}

void FrameCodec::NormaliseShortAnswer()
{
    const struct {
        uint16_t command;
        uint8_t nibble;
    } forms[] = { { WCOM_SHORT_ANSWER, WCOM_KIND_ANSWER }, { WCOM_SHORT_ANSWER_SECOND, WCOM_KIND_ANSWER_SECOND } };
    for (const auto& form : forms) {
        if (command() != form.command)
            continue;
        rxFrame[WCOM_KIND] = static_cast<uint8_t>((rxFrame[WCOM_KIND] & WCOM_KIND_CHECK_MASK) | form.nibble);
        PutWord(rxFrame + WCOM_COMMAND, address());
        PutWord(rxFrame + WCOM_ADDRESS, 0);
        if (dataLength() == 1) {
            PutWord(rxFrame + WCOM_ADDRESS, rxFrame[WCOM_DATA]);
            PutWord(rxFrame + WCOM_LENGTH, 0);
        }
        if (dataLength() == 2) {
            PutWord(rxFrame + WCOM_ADDRESS, Word(WCOM_DATA));
            PutWord(rxFrame + WCOM_LENGTH, 0);
        }
    }
}

int FrameCodec::IgnAnswerAddress(uint8_t answer, int blockSize, bool readOrWrite)
{
    int k = answer & 0x3F;
    if (k > 47)
        k = answer & 0x0F;
    return k * blockSize - (readOrWrite ? blockSize : 0);
}

bool FrameCodec::ParseIdentity(UnitIdentity& identity) const
{
    const ProtocolInfo* info = FindProtocol(protocol);
    if (!info)
        return false;
    identity = UnitIdentity {};
    if (!info->wcomFamily) {
        if (rxFrame[0] != IGN_IDENTIFY_ANSWER)
            return false;
        const int n = info->blockSize;
        identity.unitTypeCode = info->hasTail ? rxFrame[n] : (rxFrame[2] << 8) | rxFrame[3];
        return true;
    }
    if ((kind() & WCOM_KIND_DIRECTION_MASK) != WCOM_KIND_ANSWER || command() != WCOM_IDENTIFY)
        return false;
    const int length = std::min<int>(dataLength(), CODEC_BUFFER_LEN - WCOM_OVERHEAD);
    const uint8_t* d = data();
    int text = 0;
    while (text < length && d[text])
        ++text;
    std::memcpy(identity.name, d, static_cast<size_t>(std::min(text, 31)));
    int32_t* words[] = { &identity.maxFrameLength, &identity.hardwareCode, &identity.unitTypeCode };
    int offset = text + 1;
    for (int32_t* word : words) {
        if (offset + 2 > length)
            break;
        *word = d[offset] | (d[offset + 1] << 8);
        offset += 2;
    }
    return true;
}
