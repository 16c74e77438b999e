#pragma once

#include <array>
#include <cstdint>

// The height colours of the 3D graph: 63 entries from dark blue at the bottom through blue,
// green, yellow, olive and red to magenta at the top, interpolated between key entries. Colours
// are 0x00BBGGRR values.
class SurfacePalette {
public:
    static constexpr int ENTRIES = 63;
    // Heights are spread over entries 0..TOP.
    static constexpr int TOP = 61;

    struct Key {
        int entry;
        uint32_t color;
    };
    static const std::array<Key, 7> Keys;

    // The palette position (0..61, not rounded) of a height above the bottom of a span; out of
    // range heights are clamped.
    static double Position(double height, double span);
    // The entry nearest to a position.
    static uint32_t ColorAt(double position);
    static uint32_t Entry(int index);
    // The colour of a value within a map's range lo..hi, as the 3D graph colours that height
    // over the map's full range.
    static uint32_t ValueColor(int32_t value, int32_t lo, int32_t hi);
    // Whether text on this colour needs to be light to stay readable.
    static bool NeedsLightText(uint32_t color);

private:
    static const std::array<uint32_t, ENTRIES>& Table();
};
