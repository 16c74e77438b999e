#pragma once

#include "link/FrameCodec.h"

#include <cstdint>

// SlotState of a search slot.
enum SlotState : int32_t {
    SLOT_IDLE = 0,
    SLOT_OPENING = 1,
    SLOT_SENT_ONCE = 2,
    SLOT_PAUSING = 3,
    SLOT_SENT_AGAIN = 4,
    SLOT_IDENTIFIED = 5,
    SLOT_PROTOCOL_FAILED = 6,
    SLOT_PORT_FAILED = 7,
};

// One of the three parallel searches, and (as connectedUnit) the copy of the slot that connected.
struct SearchSlot {
    int32_t port = 0;
    int32_t row = 0;
    int32_t timeStamp = 0;
    int32_t state = SLOT_IDLE;
    int32_t hardwareCode = -1;
    int32_t unitTypeCode = -1;
    char name[36] = {};
    int32_t maxFrameLength = 0;
    int32_t frameOverhead = 0;
    FrameCodec codec;
    // The slot is trying the known unit's row (at its rate) before the port's full order.
    bool knownTry = false;

    // Data bytes per frame: the maximum frame length less the frame overhead, kept within what
    // one frame can carry even when a unit reports an odd maximum.
    int DataBytesPerFrame() const
    {
        const int b = maxFrameLength - frameOverhead;
        return b < 1 ? 1 : (b > WCOM_MAX_DATA ? WCOM_MAX_DATA : b);
    }
};
