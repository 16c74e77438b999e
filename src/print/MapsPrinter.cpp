#include "print/MapsPrinter.h"

#include "lang/LangQString.h"
#include "print/MapPageLayout.h"
#include "print/MapsInUse.h"
#include "print/WindowPrinter.h"

#include <QPagedPaintDevice>
#include <QPainter>

namespace {

const char* const COLUMNS = "###Columns##Spalten##Sloupce";
const char* const ROWS = "###Rows##Zeilen##Řádky";
const char* const VALUES = "###Values##Werte##Hodnoty";
const char* const NO_MAPS = "###No map is in use.##Kein Kennfeld ist in Gebrauch.##Žádná mapa se nepoužívá.";
const char* const LEGEND_GAP = "      ";
constexpr qreal LINE_POINTS = 0.5;

QString Legend(const PrintedMap& map)
{
    QStringList parts;
    if (!map.columnAxis.isEmpty())
        parts << LangQString(COLUMNS) + ": " + map.columnAxis;
    if (!map.rowAxis.isEmpty())
        parts << LangQString(ROWS) + ": " + map.rowAxis;
    parts << LangQString(VALUES) + ": " + map.values;
    return parts.join(LEGEND_GAP);
}

QString Title(const PrintedMap& map, const MapPageLayout::Block& b)
{
    return b.parts > 1 ? QString("%1 (%2/%3)").arg(map.title).arg(b.part + 1).arg(b.parts) : map.title;
}

// Header row and column on a light grey, the cells on white, every cell framed.
void PaintTable(QPainter& p, const PrintedMap& map, const MapPageLayout::Block& b)
{
    const QPointF origin = b.TableOrigin();
    const auto cell = [&](int column, int row) {
        const qreal x = column < 0 ? origin.x() : origin.x() + b.rowHeaderWidth + column * b.columnWidth;
        return QRectF(
            x, origin.y() + (row + 1) * b.rowHeight, column < 0 ? b.rowHeaderWidth : b.columnWidth, b.rowHeight);
    };
    const int rows = static_cast<int>(map.rows.size());
    p.setFont(MapPageLayout::TableFont(b.points));
    const auto draw = [&](const QRectF& r, const QString& text, bool header) {
        p.fillRect(r, header ? QColor(235, 235, 235) : QColor(Qt::white));
        p.drawRect(r);
        p.drawText(r, Qt::AlignCenter, text);
    };
    draw(cell(-1, -1), MapPageLayout::CornerText(map), true);
    for (int c = 0; c < b.columnCount; ++c)
        draw(cell(c, -1), map.columns[b.firstColumn + c], true);
    for (int r = 0; r < rows; ++r) {
        draw(cell(-1, r), map.rows[r], true);
        for (int c = 0; c < b.columnCount; ++c)
            draw(cell(c, r), map.cells[static_cast<size_t>(r)][b.firstColumn + c], false);
    }
}

void PaintBlock(QPainter& p, const PrintedMap& map, const MapPageLayout::Block& b)
{
    // The title and the legend may be wider than a narrow table: they have the page's width.
    QRectF line(b.rect.left(), b.rect.top(), p.device()->width() - b.rect.left(), b.titleHeight);
    p.setFont(MapPageLayout::TitleFont(b.points));
    p.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, Title(map, b));
    line.translate(0, b.titleHeight);
    line.setHeight(b.legendHeight);
    p.setFont(MapPageLayout::TableFont(b.points));
    p.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, Legend(map));
    PaintTable(p, map, b);
}

} // namespace

int MapsPrinter::PaintPages(QPainter& painter, QPagedPaintDevice& device, const std::vector<PrintedMap>& maps,
    const QString& header, bool newPage)
{
    const QRect page(QPoint(0, 0), QSize(device.width(), device.height()));
    if (newPage && !device.newPage())
        return -1;
    painter.save();
    QPen pen(Qt::black);
    pen.setWidthF(LINE_POINTS * device.logicalDpiX() / 72.0);
    QRect area = page;
    area.setTop(area.top() + WindowPrinter::PaintHeadLine(painter, area, header));
    painter.setPen(pen);
    int pages = 1;
    if (maps.empty()) {
        painter.setFont(MapPageLayout::TableFont(MapPageLayout::LARGEST_POINTS));
        painter.drawText(area, Qt::AlignLeft | Qt::AlignTop, LangQString(NO_MAPS));
    }
    const MapPageLayout layout(device, area);
    for (const MapPageLayout::Block& b : layout.Place(maps)) {
        if (b.page >= pages) {
            if (!device.newPage()) {
                pages = -1;
                break;
            }
            ++pages;
            WindowPrinter::PaintHeadLine(painter, page, header);
            painter.setPen(pen);
        }
        PaintBlock(painter, maps[static_cast<size_t>(b.map)], b);
    }
    painter.restore();
    return pages;
}

bool MapsPrinter::Print(QMainWindow& window, QPagedPaintDevice& device, const QString& header)
{
    const std::vector<PrintedMap> maps = MapsInUse::Of(window);
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const bool painted = PaintPages(painter, device, maps, header, false) > 0;
    return painter.end() && painted;
}
