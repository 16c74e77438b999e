#include "mapedit/FormatAxisValue.h"
#include "mapedit/GraphLabel.h"
#include "mapedit/GraphSteps.h"
#include "mapedit/MapReference.h"
#include "mapedit/ReferenceDifference.h"
#include "mapedit/SurfaceMesh.h"
#include "mapedit/SurfacePalette.h"
#include "mapedit/SurfaceValues.h"
#include "mapedit/TriangleFill.h"
#include "mapedit/ui/GraphPaint.h"
#include "lang/LangQString.h"
#include "mapedit/ui/MapEditor.h"
#include "mapedit/ui/MapGraph3D.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr uint32_t DRAWING = 0xFFFFFF;
constexpr uint32_t FLOOR_GRID = 0xE4E4E4;
constexpr uint32_t FLOOR_EDGE = 0xB4B4B4;
constexpr uint32_t AXIS = 0x404040;
constexpr uint32_t TICK_LABEL = 0x808080;
constexpr uint32_t AXIS_NAME = 0x000000;
constexpr uint32_t OP_ACTIVE = 0x44F444;
constexpr uint32_t OP_OTHER = 0x44F4F4;
constexpr uint32_t VALUE_BOX = 0xFFFFFF;
constexpr uint32_t VALUE_TEXT = 0x000000;
constexpr int ANGLES_TOP = 8;
constexpr int ANGLES_HEIGHT = 15;
// Floor grid lines closer than this many pixels are thinned out.
constexpr double GRID_SPACING = 8;
// Labels stand this far outside the edge they belong to.
constexpr double LABEL_GAP = 5;
constexpr double NAME_GAP = 22;
// The colour scale in the panel, below the view buttons.
constexpr int LEGEND_TOP = 60;
constexpr int LEGEND_BOTTOM_GAP = 12;
constexpr int LEGEND_LEFT = 16;
constexpr int LEGEND_WIDTH = 14;
// The note of the difference surface stands in the drawing's top left corner.
constexpr int NOTE_MARGIN = 4;
constexpr int NOTE_SWATCH = 10;
const char* const DifferenceNote
    = "###Difference: map - reference##Differenz: Kennfeld - Referenz##Rozdíl: mapa - reference";
// Values on the surface stand a little above their point.
constexpr int VALUE_LIFT = 9;
// Values written over the surface get a light veil behind them.
constexpr int LABEL_VEIL_ALPHA = 170;

QColor C(uint32_t bgr) { return MapEditor::Color(bgr); }

using GraphPaint::LabelFont;
using GraphPaint::Value;

QPointF Unit(QPointF v)
{
    const double length = std::hypot(v.x(), v.y());
    return length < 1e-6 ? QPointF() : v / length;
}

// A text box whose centre stands gap pixels from an anchor in direction d, beyond its own extent.
QRectF BoxOutside(QPointF anchor, QPointF d, QSizeF size, double gap)
{
    const double reach = gap + std::fabs(d.x()) * size.width() / 2 + std::fabs(d.y()) * size.height() / 2;
    const QPointF centre = anchor + d * reach;
    return QRectF(centre.x() - size.width() / 2, centre.y() - size.height() / 2, size.width(), size.height());
}

// Moves a box into a bounding rectangle, as far as it fits.
QRectF Inside(QRectF box, const QRectF& bounds)
{
    box.moveLeft(std::clamp(box.left(), bounds.left(), std::max(bounds.left(), bounds.right() - box.width())));
    box.moveTop(std::clamp(box.top(), bounds.top(), std::max(bounds.top(), bounds.bottom() - box.height())));
    return box;
}

// Paints the pieces of the surface as they come, back to front. Filled triangles go straight into
// the rows of the editor's picture when the painter paints there untransformed: the finest grain
// has tens of thousands of them.
class PainterSink : public SurfaceSink {
public:
    PainterSink(QPainter& painter, const QRect& clip)
        : p(painter)
    {
        // A shared picture would be copied by bits(), away from the painter.
        auto* image = dynamic_cast<QImage*>(p.device());
        const bool rows = image && image->isDetached() && p.worldTransform().isIdentity()
            && image->devicePixelRatio() == 1
            && (image->format() == QImage::Format_RGB32 || image->format() == QImage::Format_ARGB32_Premultiplied);
        if (rows) {
            const QRect inside = clip.intersected(image->rect());
            target = { reinterpret_cast<uint32_t*>(image->bits()), static_cast<int>(image->bytesPerLine() / 4),
                inside.left(), inside.top(), inside.right() + 1, inside.bottom() + 1 };
        }
    }
    void Fill(const Triangle& t, uint32_t color) override
    {
        if (target.pixels) {
            TriangleFill::Fill(target, { t[0].x, t[0].y }, { t[1].x, t[1].y }, { t[2].x, t[2].y }, Rgb(color));
            return;
        }
        p.setPen(Qt::NoPen);
        p.setBrush(C(color));
        Draw(t);
    }
    void Outline(const Triangle& t, uint32_t color) override
    {
        p.setPen(C(color));
        p.setBrush(Qt::NoBrush);
        Draw(t);
    }
    void CellEdges(const std::array<Projection3D::Point, 4>& corners, uint32_t color) override
    {
        p.setPen(C(color));
        p.setBrush(Qt::NoBrush);
        QPointF points[4];
        for (size_t k = 0; k < 4; ++k)
            points[k] = QPointF(corners[k].x, corners[k].y);
        p.drawPolygon(points, 4);
    }

private:
    static uint32_t Rgb(uint32_t bgr)
    {
        return 0xFF000000u | ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
    }
    void Draw(const Triangle& t)
    {
        const QPointF points[3] = { { t[0].x, t[0].y }, { t[1].x, t[1].y }, { t[2].x, t[2].y } };
        p.drawConvexPolygon(points, 3);
    }
    QPainter& p;
    TriangleFill::Target target;
};

} // namespace

void MapGraph3D::Paint(QPainter& p)
{
    if (tab_.SheetCount() == 0 || area_.isEmpty())
        return;
    // On paper the graph shows the settings themselves, never a comparison.
    const ReferenceDifference difference(tab_, tab_.Reference(), tab_.Geometry().difference && !tab_.PrintMode());
    Refresh();
    p.save();
    p.setClipRect(area_);
    p.fillRect(area_, tab_.BackgroundColor());
    p.fillRect(QRect(Panel().right() + 1, area_.top(), area_.width() - Panel().width(), area_.height()), C(DRAWING));
    PaintPanel(p);
    if (difference.Active())
        PaintDifferenceNote(p);
    p.setClipRect(area_.adjusted(Panel().width(), 0, 0, 0));
    PaintFloor(p);
    // Axes and labels first: the surface hides what lies behind it.
    PaintAxisLines(p);
    PaintAxisLabels(p, false);
    PaintSurface(p);
    PaintAxisLabels(p, true);
    PaintOperatingPoint(p);
    PaintValues(p);
    p.restore();
}

QString MapGraph3D::AnglesText() const
{
    const View3DState& v = tab_.Geometry();
    return QString::asprintf("X:%i°  XY:%i°  XYZ:%i°", v.angleX * View3DState::STEP_DEGREES,
        v.angleXY * View3DState::STEP_DEGREES, v.angleXYZ * View3DState::STEP_DEGREES);
}

void MapGraph3D::PaintPanel(QPainter& p)
{
    const View3DState& v = tab_.Geometry();
    p.setFont(LabelFont());
    p.setPen(tab_.TextColor());
    p.drawText(QRect(area_.left(), area_.top() + ANGLES_TOP, v.panelWidth, ANGLES_HEIGHT), Qt::AlignCenter, AnglesText());
    if (v.surfaceMode >= View3DState::HEIGHT_COLOURS)
        PaintLegend(p);
}

void MapGraph3D::PaintDifferenceNote(QPainter& p)
{
    // A swatch in the reference's colour keys the note as the reference's curves and marks are.
    const QRect swatch(Panel().right() + 1 + NOTE_MARGIN, area_.top() + NOTE_MARGIN, NOTE_SWATCH, NOTE_SWATCH);
    p.fillRect(swatch, C(MapReference::COLOUR));
    p.setFont(LabelFont());
    p.setPen(C(AXIS_NAME));
    p.drawText(QRect(swatch.right() + 1 + NOTE_MARGIN, swatch.top() - 2,
                   area_.right() - swatch.right() - 2 * NOTE_MARGIN, ANGLES_HEIGHT),
        Qt::AlignLeft | Qt::AlignTop, LangQString(DifferenceNote));
}

void MapGraph3D::PaintLegend(QPainter& p)
{
    const QRect bar(area_.left() + LEGEND_LEFT, area_.top() + LEGEND_TOP, LEGEND_WIDTH,
        area_.height() - LEGEND_TOP - LEGEND_BOTTOM_GAP);
    if (bar.height() < 20)
        return;
    for (int y = 0; y < bar.height(); ++y) {
        const double position = SurfacePalette::TOP * (1.0 - (y + 0.5) / bar.height());
        p.setPen(C(SurfacePalette::ColorAt(position)));
        p.drawLine(bar.left(), bar.top() + y, bar.right(), bar.top() + y);
    }
    p.setPen(tab_.LabelColor());
    p.setBrush(Qt::NoBrush);
    p.drawRect(bar.adjusted(0, 0, -1, -1));
    const MapAxis& data = tab_.Sheet().axisData;
    const QFontMetrics fm(p.font());
    const double step = data.currentRange.labelStep / data.scale;
    const double pxPerRaw = bar.height() / grid_.DataSpan();
    const double rawStep = step * GraphSteps::Stride(step * pxPerRaw, fm.height() + 2.0);
    GraphSteps::ForEach(grid_.DataBottom(), grid_.DataBottom() + grid_.DataSpan(), rawStep, [&](double raw) {
        const int y = bar.bottom() - int(std::lround((raw - grid_.DataBottom()) * pxPerRaw));
        p.drawLine(bar.right() + 1, y, bar.right() + 4, y);
        const QString text
            = QString::fromUtf8(GraphLabelWithUnit(raw * data.scale, data.currentRange.labelStep, data.unit).c_str());
        p.drawText(QRect(bar.right() + 7, y - fm.height() / 2, Panel().right() - bar.right() - 7, fm.height()),
            Qt::AlignLeft | Qt::AlignVCenter, text);
    });
}

void MapGraph3D::PaintFloor(QPainter& p)
{
    const MapSheet& s = tab_.Sheet();
    p.setPen(C(FLOOR_GRID));
    // Lines across one direction of the floor, at the grid steps of the other.
    auto lines = [&](const MapAxis& axis, double span, bool alongCurve) {
        const double step = axis.proportional ? axis.currentRange.gridStep / axis.scale : 1.0;
        const QPointF unit = At(alongCurve ? step : 0, 0, alongCurve ? 0 : step) - At(0, 0, 0);
        const double rawStep = step * GraphSteps::Stride(std::hypot(unit.x(), unit.y()), GRID_SPACING);
        GraphSteps::ForEach(axis.viewMin, axis.viewMin + span, rawStep, [&](double raw) {
            const double t = raw - axis.viewMin;
            if (alongCurve)
                p.drawLine(At(t, 0, 0), At(t, 0, grid_.CurveSpan()));
            else
                p.drawLine(At(0, 0, t), At(grid_.AcrossSpan(), 0, t));
        });
    };
    lines(s.Axis(ranges_.across), grid_.AcrossSpan(), true);
    lines(s.Axis(ranges_.curve), grid_.CurveSpan(), false);
    p.setPen(C(FLOOR_EDGE));
    const QPointF corners[4] = { At(0, 0, 0), At(grid_.AcrossSpan(), 0, 0), At(grid_.AcrossSpan(), 0, grid_.CurveSpan()),
        At(0, 0, grid_.CurveSpan()) };
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(corners, 4);
}

double MapGraph3D::Span(int axis) const
{
    return axis == 0 ? grid_.AcrossSpan() : axis == 1 ? grid_.DataSpan() : grid_.CurveSpan();
}

QPointF MapGraph3D::AxisPoint(int axis, double t) const
{
    double v[3] = { 0, 0, 0 };
    v[axis] = t;
    return At(v[0], v[1], v[2]);
}

void MapGraph3D::ChooseLabelEdges()
{
    // Of two parallel edges of the floor the one nearer to the viewer (on a tie, the lower one on
    // the screen) carries the labels.
    auto nearer = [&](double a0, double a2, double b0, double b2) {
        const Projection3D::Point a = projection_.Project(a0, 0, a2), b = projection_.Project(b0, 0, b2);
        return std::fabs(a.depth - b.depth) > 1e-6 ? a.depth < b.depth : a.y >= b.y;
    };
    const double across = Span(0) / 2, deep = Span(2) / 2;
    labelEdge[0] = nearer(across, 0, across, Span(2)) ? 0 : Span(2);
    labelEdge[2] = nearer(0, deep, Span(0), deep) ? 0 : Span(0);
}

QPointF MapGraph3D::LabelPoint(int axis, double t) const
{
    return axis == 0 ? At(t, 0, labelEdge[0]) : axis == 2 ? At(labelEdge[2], 0, t) : AxisPoint(1, t);
}

QPointF MapGraph3D::Outward(int axis, double t) const
{
    // Away from the other edge of the floor (for the height axis, from the far corner of the box),
    // or down when that edge is seen end-on.
    const QPointF other = axis == 0 ? At(t, 0, Span(2) - labelEdge[0])
        : axis == 2                 ? At(Span(0) - labelEdge[2], 0, t)
                                    : At(Span(0), t, Span(2));
    const QPointF d = Unit(LabelPoint(axis, t) - other);
    return d.isNull() ? QPointF(0, 1) : d;
}

void MapGraph3D::PaintAxisLines(QPainter& p)
{
    p.setPen(QPen(C(AXIS), 1));
    for (int axis = 0; axis < 3; ++axis)
        p.drawLine(AxisPoint(axis, 0), AxisPoint(axis, Span(axis)));
}

void MapGraph3D::PlaceAxisLabels(const QFontMetrics& fm)
{
    const MapSheet& s = tab_.Sheet();
    const QRectF bounds = area_.adjusted(Panel().width(), 0, 0, 0);
    labels_.clear();
    ChooseLabelEdges();
    // A label stands outside the box. Where the drawing's edge leaves no room it goes to the
    // other side of its axis and is written over the surface; a value that would cover a label
    // already placed is left out.
    auto place = [&](int axis, double t, const QString& text, double gap, bool name) {
        const QSizeF size(fm.horizontalAdvance(text) + 2, fm.height());
        AxisLabel label { text, BoxOutside(LabelPoint(axis, t), Outward(axis, t), size, gap), name, name };
        if (!bounds.contains(label.box)) {
            label.box = Inside(BoxOutside(LabelPoint(axis, t), -Outward(axis, t), size, gap), bounds);
            label.overSurface = true;
        }
        if (name || std::none_of(labels_.begin(), labels_.end(), [&](const AxisLabel& l) {
                return l.box.intersects(label.box);
            }))
            labels_.push_back(label);
    };
    const MapAxis* axes[3] = { &s.Axis(ranges_.across), &s.axisData, &s.Axis(ranges_.curve) };
    const double bottoms[3] = { double(axes[0]->viewMin), grid_.DataBottom(), double(axes[2]->viewMin) };
    // A map of one curve has no depth: its curve axis would put its name and value on the corner
    // where the across axis begins, over that axis's own labels.
    const int axesShown = axes[2]->Used() > 1 ? 3 : 2;
    for (int axis = 0; axis < axesShown; ++axis)
        place(axis, Span(axis), LangQString(axes[axis]->label), NAME_GAP, true);
    for (int axis = 0; axis < axesShown; ++axis) {
        const MapAxis& a = *axes[axis];
        if (!a.proportional) {
            for (int i = 0; i < a.Used(); ++i) {
                const int entry = a.EntryAt(i);
                place(axis, entry - bottoms[axis], Value(a.values[static_cast<size_t>(entry)], a), LABEL_GAP, false);
            }
            continue;
        }
        const double step = a.currentRange.labelStep;
        const QPointF along = AxisPoint(axis, step / a.scale) - AxisPoint(axis, 0);
        const double rawStep = step / a.scale * GraphSteps::Stride(std::hypot(along.x(), along.y()), fm.height() + 2.0);
        GraphSteps::ForEach(bottoms[axis], bottoms[axis] + Span(axis), rawStep, [&](double raw) {
            place(axis, raw - bottoms[axis], QString::fromStdString(GraphLabel(raw * a.scale, step)), LABEL_GAP, false);
        });
    }
}

void MapGraph3D::PaintAxisLabels(QPainter& p, bool overSurface)
{
    p.setFont(LabelFont());
    p.setBackgroundMode(Qt::TransparentMode);
    if (!overSurface)
        PlaceAxisLabels(QFontMetrics(p.font()));
    for (const AxisLabel& label : labels_) {
        if (label.overSurface != overSurface)
            continue;
        if (overSurface && !label.name) {
            QColor veil = C(VALUE_BOX);
            veil.setAlpha(LABEL_VEIL_ALPHA);
            p.fillRect(label.box, veil);
        }
        p.setPen(C(label.name ? AXIS_NAME : TICK_LABEL));
        p.drawText(label.box, Qt::AlignCenter, label.text);
    }
}

void MapGraph3D::PaintSurface(QPainter& p)
{
    PainterSink sink(p, area_.adjusted(Panel().width(), 0, 0, 0));
    SurfaceMesh::Paint(grid_, projection_, tab_.Geometry().surfaceMode, sink);
    p.setBrush(Qt::NoBrush);
}

void MapGraph3D::PaintOperatingPoint(QPainter& p)
{
    const MapSheet& s = tab_.Sheet();
    QPointF at;
    if (tab_.PrintMode() || !(s.flags & SF_OPERATING_POINT)
        || (s.opState != MapSheet::OP_ACTIVE && s.opState != MapSheet::OP_OTHER_MAP)
        || !CellPosition(s.opColumn, s.opRow, at))
        return;
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(C(s.opState == MapSheet::OP_ACTIVE ? OP_ACTIVE : OP_OTHER), 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(at, 7, 7);
    p.drawEllipse(at, 8, 8);
    p.setRenderHint(QPainter::Antialiasing, false);
}

void MapGraph3D::PaintValues(QPainter& p)
{
    const MapSheet& s = tab_.Sheet();
    p.setFont(LabelFont());
    const QFontMetrics fm(p.font());
    // A value that would cover an axis label or one already written is left out.
    valueBoxes_.clear();
    std::vector<QRectF>& written = valueBoxes_;
    for (const AxisLabel& label : labels_)
        written.push_back(label.box);
    const size_t labelCount = written.size();
    for (const auto& [column, row] : SurfaceValues::Cells(tab_, tab_.Geometry().valueMode)) {
        QPointF at;
        if (!CellPosition(column, row, at))
            continue;
        const QString text = column == MapSheet::OP_BASE_ZONE
            ? QString::fromUtf8(FormatAxisValue(tab_.BaseAdvance(), 1.0, s.axisData.unit, false).c_str())
            : QString::fromUtf8(FormatAxisValue(s.Cell(column, row), s.axisData.scale, s.axisData.unit, false).c_str());
        const int w = fm.horizontalAdvance(text) + 4;
        const QRectF box(at.x() - w / 2.0, at.y() - VALUE_LIFT - fm.height(), w, fm.height());
        if (std::any_of(written.begin(), written.end(), [&](const QRectF& r) { return r.intersects(box); }))
            continue;
        written.push_back(box);
        p.fillRect(box, C(VALUE_BOX));
        p.setPen(C(VALUE_TEXT));
        p.drawText(box, Qt::AlignCenter, text);
    }
    written.erase(written.begin(), written.begin() + static_cast<std::ptrdiff_t>(labelCount));
}

std::vector<QRectF> MapGraph3D::LabelBoxes() const
{
    std::vector<QRectF> boxes;
    for (const AxisLabel& label : labels_)
        boxes.push_back(label.box);
    return boxes;
}
