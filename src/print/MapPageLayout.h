#pragma once

#include "print/PrintedMap.h"

#include <QFont>
#include <QRectF>
#include <QString>

#include <vector>

class QPaintDevice;

// Where the printed maps go on the pages: one block per map (or per part of a map too wide for the
// page), each whole on one page, one below the other. A map that is too wide at the largest size
// is set smaller, down to the smallest size that still reads well at A4; wider still, its columns
// are shared among blocks that each repeat the row axis.
class MapPageLayout {
public:
    static constexpr qreal LARGEST_POINTS = 10;
    static constexpr qreal SMALLEST_POINTS = 7;
    static constexpr qreal POINTS_STEP = 0.5;

    struct Block {
        int map = 0; // index into the maps
        int page = 0;
        int part = 0; // 0-based, of parts
        int parts = 1;
        int firstColumn = 0;
        int columnCount = 0;
        qreal points = LARGEST_POINTS;
        QRectF rect; // the whole block: title, legend and table
        qreal titleHeight = 0;
        qreal legendHeight = 0;
        qreal rowHeight = 0;
        qreal rowHeaderWidth = 0;
        qreal columnWidth = 0;

        // The table's top left corner, below the title and the legend.
        QPointF TableOrigin() const { return rect.topLeft() + QPointF(0, titleHeight + legendHeight); }
    };

    // device measures the texts; area is the room for blocks on every page.
    MapPageLayout(const QPaintDevice& device, const QRectF& area);

    std::vector<Block> Place(const std::vector<PrintedMap>& maps) const;

    static QFont TableFont(qreal points);
    static QFont TitleFont(qreal points);
    // "Rows \ Columns", the text of the table's corner.
    static QString CornerText(const PrintedMap& map);

private:
    struct Measures {
        qreal titleHeight, legendHeight, rowHeight, rowHeaderWidth, columnWidth;
        qreal Width(int columns) const { return rowHeaderWidth + columns * columnWidth; }
        qreal Height(int rows) const { return titleHeight + legendHeight + (rows + 1) * rowHeight; }
    };
    Measures Measure(const PrintedMap& map, qreal points) const;
    // The blocks of one map, before they are put on pages.
    std::vector<Block> Fit(const PrintedMap& map, int index) const;

    const QPaintDevice& device_;
    QRectF area_;
};
