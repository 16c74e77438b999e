#pragma once

#include <QFont>
#include <QPoint>
#include <QPolygon>

#include <algorithm>
#include <cmath>
#include <cstdint>

// The look of the table view that its layout, painting and mouse handling share: the colours, the
// sizes more than one of them needs, and the font rule.
namespace TableViewStyle {

// Colours (0x00BBGGRR; 0xFF00000F is the system's button face).
inline constexpr uint32_t BEVEL_LIGHT = 0xFFFFFF;
inline constexpr uint32_t BEVEL_DARK = 0xC0C0C0;
inline constexpr uint32_t PARTLY_SELECTED_HEADER = 0xC0C0C0;
inline constexpr uint32_t FULLY_SELECTED_HEADER = 0x808080;
inline constexpr uint32_t GRID_LINE = 0xE4D6D4;
inline constexpr uint32_t SELECTION_OVERLAY = 0xF4EEEC;
inline constexpr uint32_t EDIT_TEXT_SELECTION = 0xFF8844;
inline constexpr uint32_t CORNER_MARK = 0x88F444;
// A hovered corner mark, and the values its interpolation would give.
inline constexpr uint32_t CORNER_MARK_HOT = 0x00AAAA;
inline constexpr uint32_t OP_POINT_ACTIVE = 0x44F444;
inline constexpr uint32_t OP_POINT_OTHER = 0x44F4F4;
// Arrow glyphs, the corner's diagonal and the values of an axis the user cannot change.
inline constexpr uint32_t GREY = 0x808080;
inline constexpr uint32_t TRACK_COLOR = 0xE0E0E0;
inline constexpr uint32_t BUTTON_FACE = 0xFF00000F;
inline constexpr uint32_t BUTTON_TEXT = 0xFF000012;

// Sizes given for 96 pixels per inch grow with the screen's density.
inline constexpr int BASE_DPI = 96;
// The thickness of a scroll bar, and the side of its arrow buttons.
inline constexpr int SCROLL_BAR = 15;

inline constexpr int POINTS_PER_INCH = 72;
inline constexpr int MIN_FONT_PIXELS = 6;

// A triangle glyph: its tip and base stand this far from the centre; the base is 2 x halfWidth.
struct Glyph {
    int tip, base, halfWidth;
};
inline constexpr Glyph SCROLL_GLYPH { 3, 2, 4 };
inline constexpr Glyph STEP_GLYPH { 2, 2, 3 };

// Font sizes are points; a negative size means the same size without bold.
inline QFont FontOf(int size, bool italic = false, double factor = 1.0)
{
    QFont font;
    font.setPixelSize(std::max(MIN_FONT_PIXELS, int(std::abs(size) * factor * BASE_DPI / POINTS_PER_INCH)));
    font.setBold(size > 0 && !italic);
    font.setItalic(italic);
    return font;
}

// A triangle pointing along x (horizontal) or y, toward higher coordinates when forward.
inline QPolygon Triangle(QPoint c, bool horizontal, bool forward, Glyph g)
{
    const int s = forward ? 1 : -1;
    QPolygon triangle;
    if (horizontal)
        triangle << QPoint(c.x() + s * g.tip, c.y()) << QPoint(c.x() - s * g.base, c.y() - g.halfWidth)
                 << QPoint(c.x() - s * g.base, c.y() + g.halfWidth);
    else
        triangle << QPoint(c.x(), c.y() + s * g.tip) << QPoint(c.x() - g.halfWidth, c.y() - s * g.base)
                 << QPoint(c.x() + g.halfWidth, c.y() - s * g.base);
    return triangle;
}

} // namespace TableViewStyle
