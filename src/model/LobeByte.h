#pragma once

#include <cstdint>

// A lobe byte (LOBE_START / LOBE_END): bits 0..5 the lobe number, bit 6 "2nd Edge", bit 7
// "2nd Pick-up". Trigger system 14 needs lobe numbers up to 120: there bit 7 is lobe bit 6
// and the second-pick-up flag does not exist.
class LobeByte {
public:
    static constexpr int WIDE_LOBE_SYSTEM = 14;
    static constexpr uint8_t SECOND_EDGE = 0x40;
    static constexpr uint8_t SECOND_PICKUP = 0x80;

    static constexpr bool Wide(int system) { return system == WIDE_LOBE_SYSTEM; }

    // Whether bit 7 means something under a trigger system: the second-pick-up flag where the
    // system has a second pick-up (0, 4, 9, 17, 18, 19), lobe bit 6 with system 14. Elsewhere
    // validation clears it.
    static constexpr bool KeepsBitSeven(int system)
    {
        for (int s : { WIDE_LOBE_SYSTEM, 0, 4, 9, 17, 18, 19 })
            if (system == s)
                return true;
        return false;
    }

    static constexpr int Number(uint8_t b, int system)
    {
        return (b & 0x3F) | (Wide(system) && (b & 0x80) ? 64 : 0);
    }

    // Bits that are flags, not part of the lobe number.
    static constexpr uint8_t Flags(uint8_t b, int system)
    {
        return static_cast<uint8_t>(b & (Wide(system) ? SECOND_EDGE : SECOND_EDGE | SECOND_PICKUP));
    }

    static constexpr uint8_t WithNumber(uint8_t b, int lobe, int system)
    {
        uint8_t out = static_cast<uint8_t>(Flags(b, system) | (lobe & 0x3F));
        if (Wide(system) && (lobe & 64))
            out |= 0x80;
        return out;
    }
};
