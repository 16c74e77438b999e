#include "mapedit/ui/MapTableView.h"

#include "mapedit/FormatAxisValue.h"
#include "mapedit/SurfacePalette.h"
#include "mapedit/ui/MapEditor.h"
#include "mapedit/ui/TableViewStyle.h"

#include <QPainter>

#include <cmath>

using namespace TableViewStyle;

namespace {

// Values use 1.4 x the control's font size; values the user cannot change shrink to 0.857 of it.
constexpr double VALUE_FONT_FACTOR = 1.4;
constexpr double FIXED_VALUE_FONT_FACTOR = 0.857;
// Values stand 2 pixels right of the centre of their cell.
constexpr int TEXT_NUDGE = 2;

// The open edit is drawn in the values' size, always bold.
QFont EditFont(int baseFontSize) { return FontOf(int(std::lround(VALUE_FONT_FACTOR * baseFontSize))); }

// Left end of an edit text centred in its element like the values.
int EditTextLeft(const QRect& rect, const QFontMetrics& fm, const QString& text)
{
    return rect.center().x() + TEXT_NUDGE - fm.horizontalAdvance(text) / 2;
}

// Values on heat colours stay readable: white on the dark blues and reds, black on the rest.
QColor HeatTextColor(const MapSheet& s, int32_t raw)
{
    const uint32_t back = SurfacePalette::ValueColor(raw, s.axisData.minValue, s.axisData.maxValue);
    return SurfacePalette::NeedsLightText(back) ? QColor(Qt::white) : QColor(Qt::black);
}

// Headers stand on their axis's own light colour; cells on the control's face, which a dark desktop
// theme darkens, so their text takes the face's text colour.
QColor InkOn(const MapEditor& tab, bool cell) { return cell ? tab.TextColor() : QColor(Qt::black); }

} // namespace

void MapTableView::PaintTexts(QPainter& p)
{
    const MapSheet& s = tab_.Sheet();
    const MapViewGeometry& g = tab_.Geometry();
    // While a corner mark is hovered the cells show what the interpolation would make of them.
    MapSheet preview;
    const bool previewing = interpolationHover_ && tab_.CanInterpolate();
    if (previewing) {
        preview = s;
        tab_.ComputeInterpolation(preview);
    }
    const MapSheet* shown = previewing ? &preview : nullptr;
    caretRect_ = QRect();
    for (int j = 0; j < g.shownRows; ++j)
        for (int i = 0; i < g.shownColumns; ++i)
            PaintValue(p, EntryColumn(i), EntryRow(j), g.Cell(i, j), shown);
    for (int i = 0; i < g.shownColumns; ++i)
        if (!s.axisX.off)
            PaintValue(p, EntryColumn(i), HEADER, g.columnHeaders[i], shown);
    for (int j = 0; j < g.shownRows; ++j)
        if (!s.axisY.off)
            PaintValue(p, HEADER, EntryRow(j), g.rowHeaders[j], shown);
}

void MapTableView::PaintValue(QPainter& p, int c, int r, const QRect& rect, const MapSheet* preview)
{
    if (rect.isNull() || !tab_.Repaints(rect))
        return;
    // An open edit shows its text in place of the value, even when the value changes meanwhile.
    if (tab_.IsEditing(c, r)) {
        PaintEditText(p, rect);
        return;
    }
    const MapSheet& s = tab_.Sheet();
    const MapAxis& a = s.AxisOf(c, r);
    const bool isCell = c >= 0 && r >= 0;
    const int size = a.axisFontSize ? a.axisFontSize : int(std::lround(VALUE_FONT_FACTOR * tab_.BaseFontSize()));
    int32_t raw = s.ValueOf(c, r);
    bool previewed = false;
    if (preview) {
        const int32_t pv = preview->ValueOf(c, r);
        previewed = pv != raw;
        raw = pv;
    }
    // Header values always carry their unit; cells only where the map asks for it.
    const bool withUnit = isCell ? a.showUnit : true;
    const int32_t shown = isCell ? int32_t(raw / a.quantum * a.quantum) : raw;
    const bool grey = !a.editable;
    const int fontKey = size * 2 + (grey ? 1 : 0);
    p.setFont(texts_.Font(fontKey, [&] { return FontOf(size, grey, grey ? FIXED_VALUE_FONT_FACTOR : 1.0); }));
    p.setPen(previewed              ? MapEditor::Color(CORNER_MARK_HOT)
            : isCell && HeatShown() ? HeatTextColor(s, raw)
            : grey                  ? MapEditor::Color(GREY)
                                    : InkOn(tab_, isCell));
    texts_.DrawFitted(
        p, rect.translated(TEXT_NUDGE, 0), FormatAxisValue(shown, a.scale, a.unit, withUnit), fontKey, MIN_FONT_PIXELS);
}

void MapTableView::PaintEditText(QPainter& p, const QRect& rect)
{
    const QFont font = EditFont(tab_.BaseFontSize());
    p.setFont(font);
    const QFontMetrics fm(font);
    const QString text = QString::fromStdString(tab_.EditText());
    const int x = EditTextLeft(rect, fm, text);
    const int y = rect.center().y() + (fm.ascent() - fm.descent()) / 2;
    if (tab_.Interaction().TextSelEnd() > tab_.Interaction().TextSelStart() && !tab_.PrintMode()) {
        const int a0 = fm.horizontalAdvance(text.left(tab_.Interaction().TextSelStart()));
        const int a1 = fm.horizontalAdvance(text.left(tab_.Interaction().TextSelEnd()));
        p.fillRect(QRect(x + a0, y - fm.ascent(), a1 - a0, fm.height()), MapEditor::Color(EDIT_TEXT_SELECTION));
    }
    p.setPen(InkOn(tab_, tab_.EditColumn() >= 0 && tab_.EditRow() >= 0));
    p.drawText(x, y, text);
    // The caret blinks in the paint event over the picture, so only its place is kept here.
    const int cx = x + fm.horizontalAdvance(text.left(tab_.Interaction().Caret()));
    caretRect_ = QRect(cx, y - fm.ascent(), 1, fm.height());
}

int MapTableView::CaretAt(QPoint position) const
{
    const QFont font = EditFont(tab_.BaseFontSize());
    const QFontMetrics fm(font);
    const QString text = QString::fromStdString(tab_.EditText());
    const int x0 = EditTextLeft(ElementRect(tab_.EditColumn(), tab_.EditRow()), fm, text);
    // The caret goes to the character boundary nearest the click: past a character's middle, after it.
    int best = 0;
    for (int i = 1; i <= text.size(); ++i) {
        const int left = fm.horizontalAdvance(text.left(i - 1)), right = fm.horizontalAdvance(text.left(i));
        if (position.x() - x0 >= (left + right) / 2)
            best = i;
    }
    return best;
}
