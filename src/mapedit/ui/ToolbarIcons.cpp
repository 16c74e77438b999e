#include "mapedit/ui/ToolbarIcons.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace {

// Icons are drawn on a 20 x 20 grid and scaled into their button.
constexpr double GRID = 20.0;

// A disabled icon keeps its shapes in light greys, so that it reads as the same button.
QColor Ink(QColor c, bool enabled)
{
    if (enabled)
        return c;
    const int grey = 150 + qGray(c.rgb()) * 90 / 255;
    return QColor(grey, grey, grey);
}

struct Pen {
    QPainter& p;
    bool enabled;
    void Stroke(QColor c, double width = 1.0)
    {
        p.setPen(QPen(Ink(c, enabled), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    }
    void Fill(QColor c) { p.setBrush(Ink(c, enabled)); }
};

const QColor Outline(0x40, 0x40, 0x48);
const QColor Paper(0xFF, 0xFF, 0xFF);
const QColor TextLine(0x70, 0x80, 0xA8);
const QColor Board(0xC8, 0x96, 0x50);
const QColor Clip(0x90, 0x90, 0x98);
const QColor Header(0x9C, 0xB8, 0xE8);
const QColor Curve(0xE0, 0x20, 0x20);

// A sheet of paper with a folded corner.
void Page(Pen& pen, QRectF r)
{
    QPainterPath path;
    path.moveTo(r.topLeft());
    path.lineTo(r.right() - 3, r.top());
    path.lineTo(r.right(), r.top() + 3);
    path.lineTo(r.bottomRight());
    path.lineTo(r.bottomLeft());
    path.closeSubpath();
    pen.Stroke(Outline);
    pen.Fill(Paper);
    pen.p.drawPath(path);
}

void TextLines(Pen& pen, QRectF r)
{
    pen.Stroke(TextLine, 1.2);
    for (double y = r.top() + 4; y < r.bottom() - 1.5; y += 2.5)
        pen.p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2.5, y));
}

// A small table: a coloured header row and a grid of cells.
void Grid(Pen& pen, QRectF r, int columns, int rows)
{
    const double h = r.height() / rows;
    pen.p.setPen(Qt::NoPen);
    pen.Fill(Header);
    pen.p.drawRect(QRectF(r.left(), r.top(), r.width(), h));
    pen.Stroke(Outline, 0.9);
    pen.p.setBrush(Qt::NoBrush);
    pen.p.drawRect(r);
    for (int c = 1; c < columns; ++c) {
        const double x = r.left() + r.width() * c / columns;
        pen.p.drawLine(QPointF(x, r.top()), QPointF(x, r.bottom()));
    }
    for (int k = 1; k < rows; ++k)
        pen.p.drawLine(QPointF(r.left(), r.top() + h * k), QPointF(r.right(), r.top() + h * k));
}

void Clipboard(Pen& pen)
{
    pen.Stroke(Board.darker(140));
    pen.Fill(Board);
    pen.p.drawRoundedRect(QRectF(2, 2.5, 12, 16), 1.5, 1.5);
    pen.Stroke(Outline);
    pen.Fill(Clip);
    pen.p.drawRoundedRect(QRectF(5, 1, 6, 3.5), 1, 1);
}

void Axes(Pen& pen, QRectF r)
{
    pen.Stroke(Outline, 1.4);
    pen.p.drawLine(r.topLeft(), r.bottomLeft());
    pen.p.drawLine(r.bottomLeft(), r.bottomRight());
}

void CurveWithPoints(Pen& pen, const QPolygonF& line, double dot)
{
    pen.Stroke(Curve, 1.6);
    pen.p.setBrush(Qt::NoBrush);
    pen.p.drawPolyline(line);
    pen.Stroke(Curve.darker(130), 0.8);
    pen.Fill(QColor(0xFF, 0xE0, 0x20));
    for (const QPointF& at : line)
        pen.p.drawEllipse(at, dot, dot);
}

void Surface(Pen& pen)
{
    // A hill seen from the front-left: four bands of height colours, then the wire grid.
    const QColor bands[]
        = { QColor(0x20, 0x40, 0xD0), QColor(0x20, 0xB0, 0x40), QColor(0xF0, 0xD0, 0x20), QColor(0xE0, 0x30, 0x20) };
    auto at = [](int i, int j) {
        static const double height[4][4] = { { 0, 1, 1.5, 1 }, { 1, 3, 4, 2 }, { 1.5, 4, 6, 3 }, { 1, 2, 3, 2 } };
        return QPointF(2 + i * 3.6 + j * 2.2, 17 - j * 2.2 - height[i][j] * 1.4);
    };
    pen.p.setPen(Qt::NoPen);
    for (int j = 2; j >= 0; --j)
        for (int i = 0; i < 3; ++i) {
            QPolygonF quad;
            quad << at(i, j) << at(i + 1, j) << at(i + 1, j + 1) << at(i, j + 1);
            pen.Fill(bands[std::min(3, (i + j + (i == 1 && j == 1)) * 3 / 4 + (j > 0))]);
            pen.p.drawPolygon(quad);
        }
    pen.Stroke(Outline, 0.7);
    pen.p.setBrush(Qt::NoBrush);
    for (int j = 0; j < 4; ++j) {
        QPolygonF row, column;
        for (int i = 0; i < 4; ++i) {
            row << at(i, j);
            column << at(j, i);
        }
        pen.p.drawPolyline(row);
        pen.p.drawPolyline(column);
    }
}

void Draw(Pen& pen, ToolbarIcon icon)
{
    switch (icon) {
    case ToolbarIcon::Copy:
        Page(pen, QRectF(2, 1.5, 10, 13));
        Page(pen, QRectF(7.5, 5.5, 10, 13));
        TextLines(pen, QRectF(7.5, 5.5, 10, 13));
        break;
    case ToolbarIcon::CopySheet:
        Page(pen, QRectF(2, 1.5, 10, 13));
        Page(pen, QRectF(6.5, 5.5, 12, 13));
        Grid(pen, QRectF(8, 8.5, 9, 8.5), 3, 4);
        break;
    case ToolbarIcon::Paste:
        Clipboard(pen);
        Page(pen, QRectF(8, 7, 10, 12));
        TextLines(pen, QRectF(8, 7, 10, 12));
        break;
    case ToolbarIcon::PasteSheet:
        Clipboard(pen);
        Page(pen, QRectF(7, 7, 12, 12));
        Grid(pen, QRectF(8.5, 9.5, 9, 8), 3, 4);
        break;
    case ToolbarIcon::Table:
        Grid(pen, QRectF(1.5, 3, 17, 14), 4, 4);
        break;
    case ToolbarIcon::Graph2D:
        Axes(pen, QRectF(2, 2, 16.5, 16));
        CurveWithPoints(
            pen, QPolygonF({ QPointF(4.5, 14.5), QPointF(8.5, 12), QPointF(12, 6), QPointF(16, 4.5) }), 1.3);
        break;
    case ToolbarIcon::Graph3D:
        Surface(pen);
        break;
    case ToolbarIcon::ToGraph:
        Axes(pen, QRectF(2.5, 3, 15, 14));
        CurveWithPoints(pen, QPolygonF({ QPointF(4.5, 14), QPointF(9, 11), QPointF(12.5, 6), QPointF(16.5, 5) }), 1.6);
        break;
    case ToolbarIcon::ToTable:
        Grid(pen, QRectF(2, 3.5, 16, 13), 3, 3);
        break;
    case ToolbarIcon::None:
        break;
    }
}

} // namespace

void DrawToolbarIcon(QPainter& painter, ToolbarIcon icon, const QRect& rect, bool enabled)
{
    if (icon == ToolbarIcon::None || rect.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    const double side = std::min(rect.width(), rect.height());
    const double scale = side / GRID;
    painter.translate(rect.left() + (rect.width() - side) / 2.0, rect.top() + (rect.height() - side) / 2.0);
    painter.scale(scale, scale);
    Pen pen { painter, enabled };
    Draw(pen, icon);
    painter.restore();
}
