#include "mapedit/SurfacePalette.h"

#include <algorithm>
#include <cmath>

const std::array<SurfacePalette::Key, 7> SurfacePalette::Keys = { {
    { 0, 0x550000 },
    { 15, 0xFF0000 },
    { 25, 0x00FF00 },
    { 32, 0x00FFFF },
    { 40, 0x00CCCC },
    { 52, 0x0000FF },
    { 61, 0xFF00FF },
} };

namespace {

uint32_t Channel(uint32_t color, int shift) { return (color >> shift) & 0xFF; }

// Below this brightness black text is hard to read, white text easy.
constexpr double DARK_BRIGHTNESS = 128.0;

uint32_t Blend(uint32_t a, uint32_t b, double t)
{
    uint32_t out = 0;
    for (int shift : { 0, 8, 16 }) {
        const double v = Channel(a, shift) + (double(Channel(b, shift)) - Channel(a, shift)) * t;
        out |= static_cast<uint32_t>(std::lround(v)) << shift;
    }
    return out;
}

} // namespace

const std::array<uint32_t, SurfacePalette::ENTRIES>& SurfacePalette::Table()
{
    static const std::array<uint32_t, ENTRIES> table = [] {
        std::array<uint32_t, ENTRIES> t {};
        for (size_t k = 0; k + 1 < Keys.size(); ++k) {
            const Key& a = Keys[k];
            const Key& b = Keys[k + 1];
            for (int e = a.entry; e <= b.entry; ++e)
                t[static_cast<size_t>(e)] = Blend(a.color, b.color, double(e - a.entry) / (b.entry - a.entry));
        }
        // Entries past the last key keep its colour.
        for (int e = Keys.back().entry + 1; e < ENTRIES; ++e)
            t[static_cast<size_t>(e)] = Keys.back().color;
        return t;
    }();
    return table;
}

double SurfacePalette::Position(double height, double span)
{
    if (span <= 0)
        return 0;
    return std::clamp(height / span * TOP, 0.0, double(TOP));
}

uint32_t SurfacePalette::ColorAt(double position)
{
    return Entry(static_cast<int>(std::lround(std::clamp(position, 0.0, double(TOP)))));
}

uint32_t SurfacePalette::Entry(int index) { return Table()[static_cast<size_t>(std::clamp(index, 0, ENTRIES - 1))]; }

uint32_t SurfacePalette::ValueColor(int32_t value, int32_t lo, int32_t hi)
{
    return ColorAt(Position(double(value) - lo, double(hi) - lo));
}

bool SurfacePalette::NeedsLightText(uint32_t color)
{
    // The perceived brightness of the colour (ITU-R BT.601 weights), 0..255.
    const double brightness = 0.299 * Channel(color, 0) + 0.587 * Channel(color, 8) + 0.114 * Channel(color, 16);
    return brightness < DARK_BRIGHTNESS;
}
