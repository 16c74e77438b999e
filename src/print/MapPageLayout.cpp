#include "print/MapPageLayout.h"

#include <QFontMetricsF>
#include <QPaintDevice>

#include <algorithm>
#include <cmath>

namespace {

// Heights as multiples of a font's line height: rows get air above and below their text, and a
// block keeps one row's height away from the next.
constexpr qreal ROW_SPACING = 1.5;
constexpr qreal TITLE_SPACING = 1.3;
constexpr qreal BLOCK_GAP_ROWS = 1.5;
constexpr qreal TITLE_GROWTH_POINTS = 2;
// Room left and right of a text in its cell, in average character widths.
constexpr qreal CELL_PADDING = 0.8;

qreal WidestText(const QFontMetricsF& fm, const QStringList& texts)
{
    qreal widest = 0;
    for (const QString& t : texts)
        widest = std::max(widest, fm.horizontalAdvance(t));
    return widest;
}

} // namespace

MapPageLayout::MapPageLayout(const QPaintDevice& device, const QRectF& area)
    : device_(device)
    , area_(area)
{
}

QFont MapPageLayout::TableFont(qreal points)
{
    QFont font;
    font.setPointSizeF(points);
    return font;
}

QFont MapPageLayout::TitleFont(qreal points)
{
    QFont font = TableFont(points + TITLE_GROWTH_POINTS);
    font.setBold(true);
    return font;
}

QString MapPageLayout::CornerText(const PrintedMap& map)
{
    if (map.rowAxis.isEmpty() || map.columnAxis.isEmpty())
        return map.rowAxis + map.columnAxis;
    return map.rowAxis + " \\ " + map.columnAxis;
}

MapPageLayout::Measures MapPageLayout::Measure(const PrintedMap& map, qreal points) const
{
    const QFontMetricsF table(TableFont(points), &device_);
    const QFontMetricsF title(TitleFont(points), &device_);
    const qreal padding = 2 * CELL_PADDING * table.averageCharWidth();
    qreal widestCell = WidestText(table, map.columns);
    for (const QStringList& row : map.cells)
        widestCell = std::max(widestCell, WidestText(table, row));
    const qreal rowHeader = std::max(WidestText(table, map.rows), table.horizontalAdvance(CornerText(map)));
    return { title.height() * TITLE_SPACING, table.height() * TITLE_SPACING, table.height() * ROW_SPACING,
        rowHeader + padding, widestCell + padding };
}

std::vector<MapPageLayout::Block> MapPageLayout::Fit(const PrintedMap& map, int index) const
{
    const int columns = static_cast<int>(map.columns.size());
    const int rows = static_cast<int>(map.rows.size());
    qreal points = LARGEST_POINTS;
    Measures m = Measure(map, points);
    while (points > SMALLEST_POINTS && (m.Width(columns) > area_.width() || m.Height(rows) > area_.height())) {
        points -= POINTS_STEP;
        m = Measure(map, points);
    }
    // Still too wide: as few parts as fit, their columns shared out evenly.
    const int fitting = std::max(1, static_cast<int>((area_.width() - m.rowHeaderWidth) / m.columnWidth));
    const int parts = std::max(1, (columns + fitting - 1) / fitting);
    const int perPart = (columns + parts - 1) / parts;
    std::vector<Block> blocks;
    for (int part = 0, first = 0; first < columns || part == 0; ++part, first += perPart) {
        Block b;
        b.map = index;
        b.part = part;
        b.parts = parts;
        b.firstColumn = first;
        b.columnCount = std::min(perPart, columns - first);
        b.points = points;
        b.titleHeight = m.titleHeight;
        b.legendHeight = m.legendHeight;
        b.rowHeight = m.rowHeight;
        b.rowHeaderWidth = m.rowHeaderWidth;
        b.columnWidth = m.columnWidth;
        b.rect = QRectF(0, 0, m.Width(b.columnCount), m.Height(rows));
        blocks.push_back(b);
    }
    return blocks;
}

std::vector<MapPageLayout::Block> MapPageLayout::Place(const std::vector<PrintedMap>& maps) const
{
    std::vector<Block> placed;
    int page = 0;
    qreal top = area_.top();
    for (int i = 0; i < static_cast<int>(maps.size()); ++i)
        for (Block b : Fit(maps[static_cast<size_t>(i)], i)) {
            // A block that does not fit below the last one starts a page; it is never split.
            if (top > area_.top() && top + b.rect.height() > area_.bottom()) {
                ++page;
                top = area_.top();
            }
            b.page = page;
            b.rect.moveTopLeft(QPointF(area_.left(), top));
            top += b.rect.height() + b.rowHeight * BLOCK_GAP_ROWS;
            placed.push_back(b);
        }
    return placed;
}
