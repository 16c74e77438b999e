#pragma once

#include "link/ProtocolTable.h"

#include <cstdint>

struct PortRecord;

constexpr int CODEC_BUFFER_LEN = 1040;
constexpr int WCOM_MAX_DATA = 512;

// Flags carried in bits 16..18 of BuildWcomFrame's command argument.
constexpr uint32_t WCOM_FLAG_SUM = 1u << 16;
constexpr uint32_t WCOM_FLAG_ANSWER = 1u << 17;
constexpr uint32_t WCOM_FLAG_ANSWER2 = 1u << 18;

// The bytes every WCOM frame starts with; the kind byte follows.
constexpr uint8_t WCOM_SYNC[7] = { 0xFF, 0xFF, 0xFF, 0xFF, 0xA5, 0x5A, 0xBB };

// Offsets of the WCOM frame.
enum WcomOffset : int { WCOM_KIND = 7, WCOM_COMMAND = 8, WCOM_ADDRESS = 10, WCOM_LENGTH = 12, WCOM_DATA = 14 };

// What an identify answer tells about a unit.
struct UnitIdentity {
    char name[32] = {};
    int32_t maxFrameLength = -1; // -1: not present
    int32_t hardwareCode = -1;
    int32_t unitTypeCode = -1;
};

// The framing state of one link: the receive parser that finds frames in a port's receive ring
// and the transmit frame that is handed to the port in chunks.
class FrameCodec {
public:
    int32_t protocol = PROTOCOL_NONE;
    uint16_t runningCheck = 0;
    uint16_t savedCheck = 0;
    int32_t lastByteTime = 0;
    int32_t interByteTimeout = 0;
    int32_t frameLength = 0;
    int32_t position = 0;
    int32_t syncMode = SYNC_NONE;
    uint8_t rxFrame[CODEC_BUFFER_LEN] = {};
    uint32_t txLength = 0;
    uint8_t txFrame[CODEC_BUFFER_LEN] = {};
    int32_t remaining = 0;
    // Index of the next transmit byte to hand over; SEND_RESTART makes the next hand-over start
    // again at the first byte.
    int32_t sendIndex = SEND_RESTART;

    static constexpr int32_t SEND_RESTART = -1;
    enum SyncMode : int32_t { SYNC_CRC = 0, SYNC_SUM = 1, SYNC_NONE = 255 };

    void ResetCodec();
    void SetProtocol(int32_t id, int32_t timeoutMs);

    // Consumes bytes of the port's receive ring until it is empty (0) or a complete frame with a
    // correct check is in rxFrame (1); bytes after the frame stay in the ring.
    int ReceiveFrame(PortRecord& port, int32_t now);
    // Hands the next chunk of the transmit frame to the port when its transmit buffer is free.
    void SendFrame(PortRecord& port);
    // Restarts the transmit frame from its first byte on the next SendFrame.
    void RestartSend() { sendIndex = SEND_RESTART; }

    // Builders; both return the frame length.
    static int BuildWcomFrame(
        uint8_t* frame, uint32_t commandWithFlags, uint16_t address, int length, const uint8_t* data);
    static int BuildIgnFrame(uint8_t* frame, int blockSize, int kind, int index, const uint8_t* data, int tail);
    // The identify request of a protocol into txFrame; returns its length (0 for an unknown id).
    int BuildIdentifyRequest(int tail);

    // Checks.
    static uint16_t WcomCrc(const uint8_t* bytes, int count);
    static uint16_t WcomsSum(const uint8_t* bytes, int count);
    static uint8_t IgnCheck(const uint8_t* bytes, int count);

    // Fields of the received frame.
    uint8_t kind() const { return rxFrame[WCOM_KIND]; }
    uint16_t command() const { return Word(WCOM_COMMAND); }
    uint16_t address() const { return Word(WCOM_ADDRESS); }
    uint16_t dataLength() const { return Word(WCOM_LENGTH); }
    const uint8_t* data() const { return rxFrame + WCOM_DATA; }
    uint16_t Word(int offset) const { return static_cast<uint16_t>(rxFrame[offset] | (rxFrame[offset + 1] << 8)); }

    // Memory address an IGN answer byte stands for; read and write answers carry block + 1.
    static int IgnAnswerAddress(uint8_t answer, int blockSize, bool readOrWrite);
    // Parses the identity of the received frame; false when the frame is no identity answer.
    bool ParseIdentity(UnitIdentity& identity) const;

private:
    int ReceiveWcomByte(uint8_t byte);
    int ReceiveIgnByte(uint8_t byte);
    void NormaliseShortAnswer();
};
