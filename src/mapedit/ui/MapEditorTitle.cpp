#include "mapedit/ui/MapEditor.h"

#include "mapedit/ui/LangQString.h"

#include <QPainter>

int MapEditor::SheetTabAt(QPoint position) const
{
    if (SheetCount() < 2)
        return -1;
    int x = 2;
    for (int i = 0; i < SheetCount(); ++i) {
        const MapSheet& s = SheetAt(i);
        if (s.hidden)
            continue;
        if (QRect(x, 2, s.labelWidth, 18).contains(position))
            return i;
        x += s.labelWidth;
    }
    return -1;
}

void MapEditor::PaintTitle(QPainter& p)
{
    QFont font = this->font();
    if (SheetCount() > 1) {
        font.setPixelSize(9 * 96 / 72);
        p.setFont(font);
        int x = 2;
        for (int i = 0; i < SheetCount(); ++i) {
            const MapSheet& s = SheetAt(i);
            if (s.hidden)
                continue;
            const bool active = i == ActiveSheet();
            const QRect r = active ? QRect(x - 2, 0, s.labelWidth + 4, 20) : QRect(x, 2, s.labelWidth, 18);
            p.fillRect(r, Color(active ? 0xFFFFFF : 0xFF00000F));
            p.setPen(Color(0x808080));
            p.drawRect(r.adjusted(0, 0, -1, -1));
            const bool grey = !s.enabled || !(s.axisX.editable || s.axisY.editable || s.axisData.editable);
            QFont f = font;
            f.setItalic(grey);
            p.setFont(f);
            p.setPen(grey ? Color(0x808080) : QColor(Qt::black));
            p.drawText(r, Qt::AlignCenter, LangQString(s.label));
            x += s.labelWidth;
        }
        return;
    }
    if (!TitleShown())
        return;
    const MapSheet& s = Sheet();
    font.setPixelSize(std::max(6, s.fontSize * 96 / 72));
    p.setFont(font);
    int x = TitleCheckBox().left() - 2;
    if (s.flags & SF_CAN_DISABLE) {
        const QRect box = TitleCheckBox();
        p.fillRect(box, Qt::white);
        p.setPen(Qt::black);
        p.drawRect(box.adjusted(0, 0, -1, -1));
        if (s.enabled) {
            p.drawLine(box.left() + 2, box.center().y(), box.center().x(), box.bottom() - 2);
            p.drawLine(box.center().x(), box.bottom() - 2, box.right() - 2, box.top() + 2);
        }
        x += 18;
    }
    // A switched-off sheet is drawn empty; its grey title with the cleared box says why.
    font.setItalic(!s.enabled);
    p.setFont(font);
    p.setPen(s.enabled ? QColor(Qt::black) : Color(0x808080));
    p.drawText(QRect(x, 2, width() - x, 20), Qt::AlignLeft | Qt::AlignVCenter, LangQString(s.label));
}

QRect MapEditor::TitleCheckBox() const { return QRect((geometry_.Grid().right() < 200 ? 0 : 10) + 2, 6, 12, 12); }

bool MapEditor::TitleShown() const
{
    return SheetCount() == 1 && ((Options() & OPT_TITLE) || (Sheet().flags & SF_CAN_DISABLE));
}
