#include "mapedit/DisplayRange.h"
#include "mapedit/FormatAxisValue.h"
#include "mapedit/GraphLabel.h"
#include "mapedit/GraphSteps.h"
#include "mapedit/ui/GraphPaint.h"
#include "mapedit/ui/MapEditor.h"
#include "mapedit/ui/MapGraph2D.h"
#include "mapedit/ui/ReferenceCurves.h"

#include "lang/LangString.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr uint32_t PLOT_ONE_CURVE = 0xFFFFFF;
constexpr uint32_t PLOT_CURVES = 0xF0FBFF;
constexpr uint32_t LIMITER_ZONE = 0xDDDDDD;
constexpr uint32_t LIMITER_ZONE_CURVES = 0xC0D5DD;
constexpr uint32_t START_LIMITER_ZONE = 0xC0FFFF;
constexpr uint32_t GRID = 0xC0C0C0;
constexpr uint32_t LABEL = 0x808080;
constexpr uint32_t LIVE_SPEED = 0x00FF00;
constexpr uint32_t CURVE = 0x808080;
constexpr uint32_t CURVE_SELECTED = 0x0000FF;
constexpr uint32_t SEGMENT_SELECTED = 0xFF0000;
constexpr uint32_t POINT_SELECTED = 0xFF0000;
constexpr uint32_t POINT_CORNER = 0x008000;
constexpr uint32_t POINT_YELLOW = 0x00FFFF;
constexpr uint32_t OP_ACTIVE = 0x44F444;
constexpr uint32_t OP_OTHER = 0x44F4F4;
constexpr uint32_t MARK_HOT = 0x0000FF;
constexpr uint32_t MARK_DRAGGING = 0xFF0000;
constexpr int START_LIMITER_BAND = 20;
constexpr double GRID_SPACING = 8;

QColor C(uint32_t bgr) { return MapEditor::Color(bgr); }

using GraphPaint::LabelFont;
using GraphPaint::Value;

void Cross(QPainter& p, QPointF at, const QColor& color)
{
    p.setPen(QPen(color, 2));
    p.drawLine(at + QPointF(-4, -4), at + QPointF(4, 4));
    p.drawLine(at + QPointF(-4, 4), at + QPointF(4, -4));
}

} // namespace

int32_t MapGraph2D::ShownValue(int column, int row, const MapSheet& previewSheet) const
{
    const bool previewed = preview_ && tab_.Sel().IsSelected(column, row);
    return previewed ? previewSheet.Cell(column, row) : tab_.Sheet().Cell(column, row);
}

void MapGraph2D::Paint(QPainter& p)
{
    if (tab_.SheetCount() == 0 || area_.isEmpty())
        return;
    Refresh();
    p.save();
    p.setClipRect(area_);
    PaintBackground(p);
    PaintZones(p);
    PaintGrid(p);
    PaintLabels(p);
    PaintAxes(p);
    PaintLiveSpeed(p);
    ReferenceCurves::Paint(p, tab_, geo_, Plot(), HasBaseAdvance());
    PaintCurves(p);
    PaintHitDots(p);
    PaintCurveLabels(p);
    PaintPoints(p);
    PaintOperatingPoint(p);
    PaintHoverMarks(p);
    PaintBand(p);
    p.restore();
}

void MapGraph2D::PaintBackground(QPainter& p)
{
    p.fillRect(area_, tab_.BackgroundColor());
    p.fillRect(Plot(), C(geo_.ranges.curves > 1 ? PLOT_CURVES : PLOT_ONE_CURVE));
}

void MapGraph2D::PaintZones(QPainter& p)
{
    const QRect plot = Plot();
    if (MarkerX(GraphDrag::LIMITER) >= 0) {
        const int x = std::max(plot.left(), int(std::lround(MarkerX(GraphDrag::LIMITER))));
        const QRect zone(QPoint(x, plot.top()), plot.bottomRight());
        if (geo_.ranges.curves > 1) {
            p.fillRect(zone, C(LIMITER_ZONE_CURVES));
            const MapAxis& data = tab_.Sheet().axisData;
            const double top = geo_.UpPixel(data.viewMax, selectedCurve_);
            const double bottom = geo_.UpPixel(data.viewMin, selectedCurve_);
            p.fillRect(
                zone.intersected(QRect(zone.left(), int(top), zone.width(), int(bottom - top) + 1)), C(LIMITER_ZONE));
        } else {
            p.fillRect(zone, C(LIMITER_ZONE));
        }
    }
    if (MarkerX(GraphDrag::START_LIMITER) >= 0) {
        const int x = int(std::lround(MarkerX(GraphDrag::START_LIMITER)));
        p.fillRect(QRect(x - START_LIMITER_BAND / 2, plot.top(), START_LIMITER_BAND, plot.height()).intersected(plot),
            C(START_LIMITER_ZONE));
    }
}

void MapGraph2D::PaintGrid(QPainter& p)
{
    const MapSheet& s = tab_.Sheet();
    const MapAxis& across = s.Axis(geo_.ranges.across);
    const MapAxis& data = s.axisData;
    p.setPen(C(GRID));
    // Lines closer than a few pixels would grey the plot over: every second (fifth ...) one then.
    const double acrossStep = across.currentRange.gridStep / across.scale;
    GraphSteps::ForEach(geo_.acrossMin, geo_.acrossMax,
        acrossStep * GraphSteps::Stride(acrossStep * geo_.pxAcross, GRID_SPACING), [&](double v) {
            const int x = int(std::lround(geo_.AcrossPixel(v)));
            p.drawLine(x, geo_.plotBottom + 3, x, geo_.plotTop);
        });
    const int lowest = geo_.ranges.curves - 1;
    const double dataStep = data.currentRange.gridStep / data.scale;
    GraphSteps::ForEach(geo_.dataMin, geo_.ranges.dataTop,
        dataStep * GraphSteps::Stride(dataStep * geo_.pxUp, GRID_SPACING), [&](double v) {
            const int y = int(std::lround(geo_.UpPixel(v, lowest)));
            p.drawLine(geo_.plotLeft - 3, y, geo_.PlotRight(), y);
        });
    if (geo_.ranges.curves > 1) {
        const int y = int(std::lround(geo_.UpPixel(0, selectedCurve_)));
        if (y >= geo_.plotTop && y <= geo_.plotBottom) {
            p.setPen(QPen(C(LABEL), 1, Qt::DashLine));
            p.drawLine(geo_.plotLeft - 3, y, geo_.PlotRight(), y);
        }
    }
}

void MapGraph2D::PaintLabels(QPainter& p)
{
    const MapSheet& s = tab_.Sheet();
    const MapAxis& across = s.Axis(geo_.ranges.across);
    const MapAxis& data = s.axisData;
    p.setFont(LabelFont());
    p.setPen(tab_.LabelColor());
    p.setBackgroundMode(Qt::TransparentMode);
    const QFontMetrics fm(p.font());
    int lastRight = area_.left() - 1000;
    auto acrossLabel = [&](double raw, const QString& text) {
        const int x = int(std::lround(geo_.AcrossPixel(raw)));
        const int w = fm.horizontalAdvance(text);
        if (x - w / 2 <= lastRight + 3)
            return;
        lastRight = x - w / 2 + w;
        p.drawText(QRect(x - w / 2 - 1, geo_.plotBottom + 4, w + 2, fm.height()), Qt::AlignCenter, text);
    };
    if (across.proportional) {
        const double step = across.currentRange.labelStep;
        const QString widest = QString::fromStdString(GraphLabel(geo_.acrossMax * across.scale, step));
        const double rawStep = step / across.scale
            * GraphSteps::Stride(step / across.scale * geo_.pxAcross, fm.horizontalAdvance(widest) + 6.0);
        GraphSteps::ForEach(geo_.acrossMin, geo_.acrossMax, rawStep,
            [&](double v) { acrossLabel(v, QString::fromStdString(GraphLabel(v * across.scale, step))); });
    } else {
        for (int i = 0; i < geo_.ranges.points; ++i) {
            const int entry = across.EntryAt(i);
            acrossLabel(entry, Value(across.values[static_cast<size_t>(entry)], across));
        }
    }
    // Up: the values of the selected curve, which is raised by its offset, over the data range.
    const bool right = geo_.ranges.curves > 1;
    const double step = data.currentRange.labelStep;
    const double rawStep = step / data.scale * GraphSteps::Stride(step / data.scale * geo_.pxUp, fm.height() + 1.0);
    int lastTop = area_.bottom() + 1000;
    GraphSteps::ForEach(data.viewMin, data.viewMax, rawStep, [&](double v) {
        const int y = int(std::lround(geo_.UpPixel(v, selectedCurve_)));
        if (y + fm.height() / 2 >= lastTop || y < geo_.plotTop - 1)
            return;
        lastTop = y - fm.height() / 2;
        const QString text = QString::fromUtf8(GraphLabelWithUnit(v * data.scale, step, data.unit).c_str());
        const QRect box = right
            ? QRect(geo_.PlotRight() + 4, y - fm.height() / 2, area_.right() - geo_.PlotRight() - 3, fm.height())
            : QRect(area_.left(), y - fm.height() / 2, geo_.plotLeft - 5 - area_.left(), fm.height());
        p.drawText(box, (right ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter, text);
    });
}

void MapGraph2D::PaintAxes(QPainter& p)
{
    p.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(geo_.plotLeft, geo_.plotTop, geo_.plotLeft, geo_.plotBottom);
    p.drawLine(geo_.plotLeft, geo_.plotBottom, geo_.PlotRight(), geo_.plotBottom);
}

int MapGraph2D::LiveSpeedX() const
{
    const MapSheet& s = tab_.Sheet();
    const MapAxis& across = s.Axis(geo_.ranges.across);
    if (!(s.flags & SF_OPERATING_POINT) || std::strcmp(across.name, "RPM") != 0 || tab_.EngineRpm() <= 0)
        return -1;
    const double raw = tab_.EngineRpm() / across.scale;
    if (raw < geo_.acrossMin || raw > geo_.acrossMax)
        return -1;
    return int(std::lround(geo_.AcrossPixel(raw)));
}

void MapGraph2D::PaintLiveSpeed(QPainter& p)
{
    const int x = paintedSpeedX_ = LiveSpeedX();
    if (x < 0 || tab_.PrintMode())
        return;
    p.setPen(C(LIVE_SPEED));
    p.drawLine(x, geo_.plotTop, x, geo_.plotBottom);
}

void MapGraph2D::PaintCurves(QPainter& p)
{
    const MapSheet& s = tab_.Sheet();
    MapSheet previewSheet;
    if (preview_) {
        previewSheet = s;
        tab_.ComputeInterpolation(previewSheet);
    }
    const bool lead = !(s.flags & SF_GRAPH_NO_LEAD);
    const bool tail = !(s.flags & SF_GRAPH_NO_TAIL);
    for (int pass = 0; pass < 2; ++pass)
        for (int r = 0; r < geo_.ranges.curves; ++r) {
            // The selected curve is drawn last so that it stays on top of the others.
            if ((r == selectedCurve_) != (pass == 1))
                continue;
            const QColor color = C(r == selectedCurve_ ? CURVE_SELECTED : CURVE);
            QPolygonF line;
            for (int i = 0; i < geo_.ranges.points; ++i) {
                const Point& pt = PointAt(i, r);
                line << QPointF(pt.at.x(), geo_.UpPixel(ShownValue(pt.column, pt.row, previewSheet), r));
            }
            const double start = HasBaseAdvance() ? BasePosition(r).y() : line.first().y();
            p.setPen(QPen(color, 2, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
            if (lead) {
                p.drawLine(QPointF(geo_.plotLeft, start), QPointF(line.first().x(), start));
                p.drawLine(QPointF(line.first().x(), start), line.first());
            }
            for (int i = 0; i + 1 < line.size(); ++i) {
                const Point& a = PointAt(i, r);
                const Point& b = PointAt(i + 1, r);
                const bool selected = tab_.Sel().IsSelected(a.column, a.row) && tab_.Sel().IsSelected(b.column, b.row)
                    && !tab_.PrintMode();
                p.setPen(QPen(selected ? C(SEGMENT_SELECTED) : color, 2, Qt::SolidLine, Qt::FlatCap));
                p.drawLine(line[i], line[i + 1]);
            }
            p.setPen(QPen(color, 2, Qt::SolidLine, Qt::FlatCap));
            if (tail)
                p.drawLine(line.last(), QPointF(geo_.PlotRight(), line.last().y()));
        }
}

void MapGraph2D::PaintCurveLabels(QPainter& p)
{
    if (geo_.ranges.curves < 2)
        return;
    const MapSheet& s = tab_.Sheet();
    const MapAxis& curveAxis = s.Axis(geo_.ranges.curve);
    p.setFont(LabelFont());
    const QFontMetrics fm(p.font());
    std::vector<QRect> drawn;
    // The selected curve's label first; a crowded label of another curve gives way.
    for (int k = -1; k < geo_.ranges.curves; ++k) {
        const int r = k < 0 ? selectedCurve_ : geo_.ranges.curves - 1 - k;
        if (k >= 0 && r == selectedCurve_)
            continue;
        const Point& first = PointAt(0, r);
        const int y = int(std::lround(HasBaseAdvance() ? BasePosition(r).y() : first.at.y()));
        const QRect box(area_.left(), y - fm.height() / 2, geo_.plotLeft - 5 - area_.left(), fm.height());
        if (std::any_of(drawn.begin(), drawn.end(), [&](const QRect& d) { return d.intersects(box); }))
            continue;
        drawn.push_back(box);
        const int entry = geo_.ranges.curve == AXIS_Y ? first.row : first.column;
        p.setPen(r == selectedCurve_ ? C(CURVE_SELECTED) : tab_.LabelColor());
        p.drawText(
            box, Qt::AlignRight | Qt::AlignVCenter, Value(curveAxis.values[static_cast<size_t>(entry)], curveAxis));
    }
}

void MapGraph2D::PaintPoints(QPainter& p)
{
    const MapSheet& s = tab_.Sheet();
    const MapSelection& sel = s.selection;
    MapSheet previewSheet;
    if (preview_) {
        previewSheet = s;
        tab_.ComputeInterpolation(previewSheet);
    }
    const bool marks = !tab_.PrintMode();
    p.setRenderHint(QPainter::Antialiasing, true);
    // The selected curve's points come last, over the points of curves that lie on them.
    for (int k = 0; k < geo_.ranges.curves; ++k) {
        const int r = k < selectedCurve_ ? k : k + 1 < geo_.ranges.curves ? k + 1 : selectedCurve_;
        const QColor curveColor = C(r == selectedCurve_ ? CURVE_SELECTED : CURVE);
        auto square = [&](QPointF at, const QColor& fill, const QColor& outline) {
            p.setPen(QPen(outline, 1));
            p.setBrush(fill);
            p.drawRoundedRect(QRectF(at.x() - 3, at.y() - 3, 6, 6), 1.5, 1.5);
        };
        for (int i = 0; i < geo_.ranges.points; ++i) {
            const Point& pt = PointAt(i, r);
            const int32_t shown = ShownValue(pt.column, pt.row, previewSheet);
            const QPointF at(pt.at.x(), geo_.UpPixel(shown, r));
            const int16_t mark = marks ? sel.Mark(pt.column, pt.row) : 0;
            QColor fill = C(r == selectedCurve_ ? POINT_YELLOW : CURVE);
            QColor outline = curveColor;
            if (preview_ && shown != s.Cell(pt.column, pt.row))
                fill = C(POINT_YELLOW);
            else if (mark & MARK_CORNER)
                fill = C(POINT_CORNER);
            else if (mark & (MARK_SELECTED | MARK_DRAG))
                fill = outline = C(POINT_SELECTED);
            square(at, fill, outline);
            if (mark & (MARK_SELECTED | MARK_DRAG)) {
                p.setPen(QPen(C(POINT_SELECTED), 1));
                p.setBrush(Qt::NoBrush);
                p.drawRect(QRectF(at.x() - 5, at.y() - 5, 10, 10));
            }
        }
        if (HasBaseAdvance())
            square(BasePosition(r), C(r == selectedCurve_ ? POINT_YELLOW : CURVE), curveColor);
    }
    p.setBrush(Qt::NoBrush);
    p.setRenderHint(QPainter::Antialiasing, false);
}

void MapGraph2D::PaintOperatingPoint(QPainter& p)
{
    QPointF at;
    if (tab_.PrintMode() || !OperatingPointAt(at))
        return;
    const MapSheet& s = tab_.Sheet();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(C(s.opState == 1 ? OP_ACTIVE : OP_OTHER), 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(at, 7, 7);
    p.drawEllipse(at, 8, 8);
    p.setRenderHint(QPainter::Antialiasing, false);
}

void MapGraph2D::PaintHoverMarks(QPainter& p)
{
    if (tab_.PrintMode() || hot_ == GraphDrag::NONE || preview_)
        return;
    const QColor color = C(drag_.Active() ? MARK_DRAGGING : MARK_HOT);
    if (hot_ == GraphDrag::LIMITER || hot_ == GraphDrag::START_LIMITER) {
        const int x = int(std::lround(MarkerX(hot_)));
        p.setPen(QPen(color, 3));
        p.drawLine(x, geo_.plotTop, x, geo_.plotBottom);
        return;
    }
    if (hot_ == GraphDrag::BASE_ADVANCE) {
        for (int r = 0; r < geo_.ranges.curves; ++r)
            Cross(p, BasePosition(r), color);
        return;
    }
    const MapSheet& s = tab_.Sheet();
    // While dragging the keys held at the press count too; hovering shows what a press would move.
    const bool shift = tab_.Interaction().ShiftDown() || (drag_.Active() && (modifiers_ & Qt::ShiftModifier));
    const bool ctrl = tab_.Interaction().CtrlDown() || (drag_.Active() && (modifiers_ & Qt::ControlModifier));
    const int dragged = drag_.Active() ? drag_.Element() : hot_;
    if (dragged < 0 || GraphDrag::CurveOf(dragged) >= geo_.ranges.curves
        || GraphDrag::PointOf(dragged) >= geo_.ranges.points)
        return;
    Cross(p, PointPosition(GraphDrag::PointOf(dragged), GraphDrag::CurveOf(dragged)), color);
    for (int r = 0; r < geo_.ranges.curves; ++r)
        for (int i = 0; i < geo_.ranges.points; ++i)
            if (GraphDrag::MovesWith(s, geo_.ranges, dragged, i, r, shift, ctrl))
                Cross(p, PointPosition(i, r), color);
}

void MapGraph2D::PaintBand(QPainter& p)
{
    const MapSelection& sel = tab_.Sel();
    if (!banding_ || sel.anchorX < 0)
        return;
    p.setPen(QPen(C(MARK_HOT), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(QPoint(sel.anchorX, sel.anchorY), QPoint(sel.currentX, sel.currentY)).normalized());
}
