#include "mapedit/ui/ReferenceMarks.h"

#include "mapedit/FormatAxisValue.h"
#include "mapedit/MapReference.h"
#include "lang/LangQString.h"
#include "mapedit/ui/MapEditor.h"
#include "mapedit/ui/MapTableView.h"

#include <QPainter>
#include <QPolygon>

namespace {

constexpr int MARK_SIZE = 7;

const char* const ReferenceTip = "###Reference: %1##Referenz: %1##Reference: %1";
const char* const ReferenceMissing = "###Not in the reference##Nicht in der Referenz##V referenci není";

void MarkCorner(QPainter& p, const QRect& r)
{
    const QPoint corner(r.right(), r.top());
    const QPolygon mark({ corner, corner - QPoint(MARK_SIZE, 0), corner + QPoint(0, MARK_SIZE) });
    p.setPen(Qt::NoPen);
    p.setBrush(MapEditor::Color(MapReference::COLOUR));
    p.drawPolygon(mark);
    p.setPen(Qt::white);
    p.drawLine(mark.point(1), mark.point(2));
}

} // namespace

void ReferenceMarks::Paint(QPainter& p, const MapEditor& tab, const MapTableView& table)
{
    const MapReference* reference = tab.Reference();
    if (!reference || tab.PrintMode())
        return;
    const MapSheet& s = tab.Sheet();
    p.save();
    for (int row = HEADER; row < s.DataRows(); ++row)
        for (int column = HEADER; column < s.DataColumns(); ++column) {
            if (!reference->Differs(tab, column, row))
                continue;
            const QRect rect = table.ElementRect(column, row);
            if (!rect.isEmpty())
                MarkCorner(p, rect);
        }
    p.restore();
}

QString ReferenceMarks::Tip(const MapEditor& tab, int column, int row)
{
    const MapReference* reference = tab.Reference();
    if (!reference || tab.SheetCount() == 0 || !reference->Differs(tab, column, row))
        return {};
    int32_t value = 0;
    if (!reference->ValueOf(tab.ActiveSheet(), column, row, value))
        return LangQString(ReferenceMissing);
    // The reference's own unit: its load sensor or servo scale may be another than the screen's.
    const MapAxis& axis = reference->Sheet(tab.ActiveSheet())->AxisOf(column, row);
    return LangQString(ReferenceTip)
        .arg(QString::fromUtf8(FormatAxisValue(value, axis.scale, axis.unit, true).c_str()));
}
