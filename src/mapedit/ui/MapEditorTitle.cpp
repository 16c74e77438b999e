#include "mapedit/ui/MapEditor.h"

#include "lang/LangQString.h"

#include <QPainter>

#include <algorithm>

namespace {

// Sheet tabs run along the top from the left; the active one is raised and wider on each side.
constexpr int TAB_LEFT = 2;
constexpr int TAB_TOP = 2;
constexpr int TAB_HEIGHT = 18;
constexpr int ACTIVE_TAB_GROWTH = 2;
constexpr int TAB_FONT_POINTS = 9;
constexpr uint32_t ACTIVE_TAB = 0xFFFFFF;
constexpr uint32_t TAB_FACE = 0xFF00000F;
// Tab edges, and the labels of sheets the user cannot change or has switched off.
constexpr uint32_t GREY = 0x808080;
constexpr int TITLE_HEIGHT = 20;
// The title's label stands right of its check box.
constexpr int CHECK_BOX_ROOM = 18;

const char* const SWITCHED_OFF = "###switched off##ausgeschaltet##vypnuto";

QRect TabRect(int x, const MapSheet& s) { return QRect(x, TAB_TOP, s.labelWidth, TAB_HEIGHT); }

} // namespace

QRect MapEditor::TitleArea() const
{
    // The sheet tabs, the title and its check box all stand in the top strip (paper aside).
    return QRect(0, 0, width(), TAB_TOP + TITLE_HEIGHT + 2);
}

int MapEditor::SheetTabAt(QPoint position) const
{
    if (SheetCount() < 2)
        return -1;
    int x = TAB_LEFT;
    for (int i = 0; i < SheetCount(); ++i) {
        const MapSheet& s = SheetAt(i);
        if (s.hidden)
            continue;
        if (TabRect(x, s).contains(position))
            return i;
        x += s.labelWidth;
    }
    return -1;
}

void MapEditor::PaintTitle(QPainter& p)
{
    if (SheetCount() > 1)
        PaintSheetTabs(p);
    else if (TitleShown())
        PaintSheetTitle(p);
}

void MapEditor::PaintSheetTabs(QPainter& p)
{
    QFont font = this->font();
    font.setPixelSize(TAB_FONT_POINTS * 96 / 72);
    p.setFont(font);
    int x = TAB_LEFT;
    for (int i = 0; i < SheetCount(); ++i) {
        const MapSheet& s = SheetAt(i);
        if (s.hidden)
            continue;
        const bool active = i == ActiveSheet();
        const QRect r
            = active ? TabRect(x, s).adjusted(-ACTIVE_TAB_GROWTH, -TAB_TOP, ACTIVE_TAB_GROWTH, 0) : TabRect(x, s);
        p.fillRect(r, Color(active ? ACTIVE_TAB : TAB_FACE));
        p.setPen(Color(GREY));
        p.drawRect(r.adjusted(0, 0, -1, -1));
        const bool grey = !s.enabled || !(s.axisX.editable || s.axisY.editable || s.axisData.editable);
        QFont f = font;
        f.setItalic(grey);
        p.setFont(f);
        p.setPen(grey ? Color(GREY) : active ? QColor(Qt::black) : TextColor());
        p.drawText(r, Qt::AlignCenter, LangQString(s.label));
        x += s.labelWidth;
    }
}

void MapEditor::PaintSheetTitle(QPainter& p)
{
    const MapSheet& s = Sheet();
    QFont font = this->font();
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
        x += CHECK_BOX_ROOM;
    }
    // A switched-off sheet is drawn empty; its grey title with the cleared box says why.
    font.setItalic(!s.enabled);
    p.setFont(font);
    p.setPen(s.enabled ? TextColor() : Color(GREY));
    p.drawText(QRect(x, 2, width() - x, TITLE_HEIGHT), Qt::AlignLeft | Qt::AlignVCenter, LangQString(s.label));
}

void MapEditor::PaintSwitchedOff(QPainter& p)
{
    QFont font = this->font();
    font.setPixelSize(std::max(6, Sheet().fontSize * 96 / 72));
    p.setFont(font);
    p.setPen(TextColor());
    const QRect below(0, TITLE_HEIGHT + 4, width(), std::max(TITLE_HEIGHT, height() - TITLE_HEIGHT - 4));
    p.drawText(below, Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip,
        LangQString(Sheet().label) + ": " + LangQString(SWITCHED_OFF));
}

QRect MapEditor::TitleCheckBox() const { return QRect((geometry_.Grid().right() < 200 ? 0 : 10) + 2, 6, 12, 12); }

bool MapEditor::TitleShown() const
{
    return SheetCount() == 1 && ((Options() & OPT_TITLE) || (Sheet().flags & SF_CAN_DISABLE));
}
