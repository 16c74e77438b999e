#pragma once

#include "model/ImageLayout.h"

#include <array>
#include <cstdint>

// Mirror of the unit's live monitor block: bytes 1..100 hold the block, byte 0 stays 0.
// Monb addresses bytes, Monw little-endian words (word K = bytes 2K and 2K+1).
class MonitorImage {
public:
    using Bytes = std::array<uint8_t, MONITOR_IMAGE_LEN>;

    uint8_t& Monb(int index) { return bytes_[static_cast<unsigned>(index)]; }
    uint8_t Monb(int index) const { return bytes_[static_cast<unsigned>(index)]; }
    uint16_t Monw(int index) const
    {
        const unsigned i = 2u * static_cast<unsigned>(index);
        return static_cast<uint16_t>(bytes_[i] | (bytes_[i + 1] << 8));
    }
    void SetMonw(int index, uint16_t v)
    {
        const unsigned i = 2u * static_cast<unsigned>(index);
        bytes_[i] = static_cast<uint8_t>(v);
        bytes_[i + 1] = static_cast<uint8_t>(v >> 8);
    }

    // The 24-bit operating-time counter in minutes.
    uint32_t hours() const { return (static_cast<uint32_t>(Monb(MON_HOURS_HIGH)) << 16) | Monw(MON_HOURS_LOW); }

    // Takes over one monitor block from the unit (bytes 1..100); byte 0 is left alone.
    void SetBlock(const uint8_t* block)
    {
        for (int i = 0; i < MONITOR_BLOCK_LEN; ++i)
            bytes_[static_cast<unsigned>(i + 1)] = block[i];
    }
    void Clear() { bytes_.fill(0); }

    Bytes& bytes() { return bytes_; }
    const Bytes& bytes() const { return bytes_; }

private:
    Bytes bytes_{};
};

static_assert(2 * MONW_END <= MONB_FIRST, "monitor words must end before the first monitor byte field");
static_assert(MONB_END == MONITOR_IMAGE_LEN, "monitor byte fields end with the block");
