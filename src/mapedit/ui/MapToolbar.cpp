#include "mapedit/ui/MapToolbar.h"

#include "lang/LangQString.h"
#include "mapedit/ui/MapEditor.h"
#include "mapedit/ui/MapGraph3D.h"
#include "mapedit/ui/PaintBevel.h"

#include <QPainter>

namespace {

constexpr int RIGHT_MARGIN = 27;
constexpr int FIXED_WIDTH = 123; // copy, copy table, paste and the step buttons
constexpr int USE_ONLY_PITCH = 75, USE_ONLY_WIDTH = 70, USE_ONLY_LEFT = 128;
constexpr int VIEW_PITCH = 63, VIEW_WIDTH = 58;
constexpr int STEP_LEFT = 100, STEP_WIDTH = 12;
constexpr int TOGGLE_WIDTH = 24, TOGGLE_HEIGHT = 19;
constexpr int CAPTION_PIXELS = 11, SMALLEST_CAPTION_PIXELS = 9;
constexpr uint32_t OP_ACTIVE = 0x44F444;
constexpr uint32_t OP_OTHER = 0x44F4F4;

const char* const CopyHint = "###Copy##Kopieren##Kopírovat";
const char* const CopyTableHint = "###Copy table##Tabelle kopieren##Kopírovat tabulku";
const char* const PasteHint = "###Paste##Einfügen##Vložit";
const char* const StepUpHint = "###Increment selection or actual value##Increment Auswahl oder Istwert##Zvětšit "
                               "hodnotu vybraných buňek nebo aktuální hodnotu";
const char* const StepDownHint = "###Decrement selection or actual value##Decrement Auswahl oder Istwert##Zmenšit "
                                 "hodnotu vybraných buňek nebo aktuální hodnotu";
const char* const UseOnlyHint = "###Use only this parameter for table definition##Verwenden Sie nur diese Parameter "
                                "für Tabellendefinition##Použít pouze tento parametr pro definici tabluky";
const char* const UseBothHint = "###Use both dimensions for table definition##Benutzen Sie beide Dimensionen für die "
                                "Tabellendefinition##Použít oba rozměry pro definici tabluky";
const char* const OnlyText = "###Only##Nur##Jen";
const char* const AndText = "###and##und##a";
const char* const ToggleHint = "###2D Graph / Table view####2D Graf / Tabulkové zobrazení";

struct ViewButton {
    int command;
    int view;
    int option;
    ToolbarIcon icon;
    const char* hint;
};
const ViewButton Views[] = {
    { CMD_VIEW_TABLE, VIEW_TABLE, OPT_TABLE, ToolbarIcon::Table,
        "###View as table##Als Tabelle anzeigen##Zobrazit jako tabulku" },
    { CMD_VIEW_2D, VIEW_2D, OPT_GRAPH2D, ToolbarIcon::Graph2D,
        "###View as graph 2D##Als 2D Graph anzeigen##Zobrazit jako 2D graf" },
    { CMD_VIEW_3D, VIEW_3D, OPT_GRAPH3D, ToolbarIcon::Graph3D,
        "###View as graph 3D##Als 3D Graph anzeigen##Zobrazit jako 3D graf" },
};

// The view buttons of the 3D graph, shown in its panel.
struct PresetButton {
    int command;
    const char* caption;
    const char* hint;
};
const PresetButton Presets[] = {
    { CMD_3D_TOP, "###TOP##TOP##Seshora",
        "###View graph form top##Ein Blick auf die Tabelle oben##Pohled na graf seshora" },
    { CMD_3D_ISO1, "ISO1", "###View graph as ISO1##Ein Blick auf die Tabelle isometrisch##Pohled na graf izometricky" },
    { CMD_3D_ISO2, "ISO2", "###View graph as ISO2##Ein Blick auf die Tabelle isometrisch##Pohled na graf izometricky" },
};

// The buttons' shadow edge is darker than that of the table's boxes.
void Bevel(QPainter& p, const QRect& r, const QColor& face, bool sunken)
{
    PaintBevel(p, r, face, Qt::white, QColor(0x80, 0x80, 0x80), sunken);
}

} // namespace

MapToolbar::MapToolbar(MapEditor& t)
    : tab_(t)
{
}

int MapToolbar::UseOnlyCount() const
{
    const MapSheet& s = tab_.Sheet();
    if (s.axisX.offMode == MapAxis::OFF_ALWAYS || s.axisY.offMode == MapAxis::OFF_ALWAYS || !s.enabled)
        return 0;
    const int switchable = (s.axisX.offMode == MapAxis::OFF_SWITCHABLE) + (s.axisY.offMode == MapAxis::OFF_SWITCHABLE);
    return switchable ? switchable + 1 : 0;
}

int MapToolbar::ViewCount() const
{
    int n = 0;
    for (const ViewButton& v : Views)
        n += (tab_.Options() & v.option) != 0;
    return n > 1 ? n : 0;
}

int MapToolbar::Width() const
{
    if (!(tab_.Options() & OPT_TOOLBAR) || tab_.SheetCount() == 0)
        return 0;
    return UseOnlyCount() * USE_ONLY_PITCH + ViewCount() * VIEW_PITCH + FIXED_WIDTH;
}

void MapToolbar::Build(int top)
{
    buttons = {};
    viewToggle_ = QRect();
    held = -1;
    if (tab_.SheetCount() == 0)
        return;
    if (!(tab_.Options() & OPT_TOOLBAR)) {
        // Maps without a toolbar switch between table and graph with one small button under the
        // header column, in the bottom margin.
        const bool both = (tab_.Options() & OPT_TABLE) && (tab_.Options() & OPT_GRAPH2D);
        if (both && (tab_.ViewMode() == VIEW_TABLE || tab_.ViewMode() == VIEW_2D)) {
            const MapViewGeometry& g = tab_.Geometry();
            viewToggle_ = QRect(g.left + (g.headerWidth - TOGGLE_WIDTH) / 2, tab_.height() - g.bottomMargin + 4,
                TOGGLE_WIDTH, TOGGLE_HEIGHT);
        }
        return;
    }
    const int e = tab_.width() - RIGHT_MARGIN - Width();
    auto place = [&](int command, QRect rect, ToolbarIcon icon, const char* hint) -> Button& {
        Button& b = buttons[static_cast<size_t>(command)];
        b.exists = true;
        b.rect = rect;
        b.icon = icon;
        b.hint = hint;
        return b;
    };
    place(CMD_COPY, QRect(e, top, 24, HEIGHT), ToolbarIcon::Copy, CopyHint);
    place(CMD_COPY_TABLE, QRect(e + 30, top, 24, HEIGHT), ToolbarIcon::CopySheet, CopyTableHint);
    place(CMD_PASTE, QRect(e + 60, top, 24, HEIGHT), ToolbarIcon::Paste, PasteHint);
    place(CMD_STEP_UP, QRect(e + STEP_LEFT, top, STEP_WIDTH, 12), ToolbarIcon::None, StepUpHint).caption = "+";
    place(CMD_STEP_DOWN, QRect(e + STEP_LEFT, top + 13, STEP_WIDTH, 11), ToolbarIcon::None, StepDownHint).caption = "-";
    if (UseOnlyCount()) {
        const MapSheet& s = tab_.Sheet();
        const QString x = LangQString(s.axisX.label), y = LangQString(s.axisY.label);
        int slot = 0;
        auto useOnly = [&](int command, const QString& caption, const char* hint) {
            Button& b = place(command, QRect(e + USE_ONLY_LEFT + slot++ * USE_ONLY_PITCH, top, USE_ONLY_WIDTH, HEIGHT),
                ToolbarIcon::None, hint);
            b.caption = caption;
            b.toggle = true;
        };
        if (s.axisY.offMode == MapAxis::OFF_SWITCHABLE)
            useOnly(CMD_ONLY_X, QString("%1 %2").arg(LangQString(OnlyText), x), UseOnlyHint);
        if (s.axisX.offMode == MapAxis::OFF_SWITCHABLE)
            useOnly(CMD_ONLY_Y, QString("%1 %2").arg(LangQString(OnlyText), y), UseOnlyHint);
        useOnly(CMD_BOTH, QString("%1 %2 %3").arg(x, LangQString(AndText), y), UseBothHint);
    }
    if (const int v = ViewCount()) {
        int slot = 0;
        for (const ViewButton& view : Views) {
            if (!(tab_.Options() & view.option))
                continue;
            const int x = tab_.width() - RIGHT_MARGIN - v * VIEW_PITCH + 5 + slot++ * VIEW_PITCH;
            place(view.command, QRect(x, top, VIEW_WIDTH, HEIGHT), view.icon, view.hint).toggle = true;
        }
    }
    if (tab_.Options() & OPT_GRAPH3D)
        for (const PresetButton& preset : Presets) {
            Button& b = place(preset.command, MapGraph3D::PresetButton(tab_.Geometry().graphArea, preset.command),
                ToolbarIcon::None, preset.hint);
            b.caption = LangQString(preset.caption);
            b.view = VIEW_3D;
        }
    SetPressedStates();
    Refresh(true, true);
}

void MapToolbar::SetPressedStates()
{
    const MapSheet& s = tab_.Sheet();
    buttons[CMD_ONLY_X].pressed = !s.axisX.off && s.axisY.off;
    buttons[CMD_ONLY_Y].pressed = s.axisX.off && !s.axisY.off;
    buttons[CMD_BOTH].pressed = !s.axisX.off && !s.axisY.off;
    buttons[CMD_VIEW_TABLE].pressed = tab_.ViewMode() == VIEW_TABLE || tab_.ViewMode() == VIEW_POINTS;
    buttons[CMD_VIEW_2D].pressed = tab_.ViewMode() == VIEW_2D;
    buttons[CMD_VIEW_3D].pressed = tab_.ViewMode() == VIEW_3D;
    for (const PresetButton& preset : Presets)
        buttons[static_cast<size_t>(preset.command)].pressed = tab_.Geometry().Shows(preset.command);
}

bool MapToolbar::Refresh(bool stepsAndCopy, bool paste)
{
    if (tab_.SheetCount() == 0 || !(tab_.Options() & OPT_TOOLBAR))
        return false;
    const MapSheet& s = tab_.Sheet();
    const auto before = buttons;
    if (stepsAndCopy) {
        // A switched-off sheet shows nothing, so nothing of it can be stepped either.
        const bool live = (s.flags & SF_OPERATING_POINT) && s.opState > 0 && s.enabled;
        const bool step = (s.selection.count > 0 && tab_.SelectionEditable() && s.enabled) || live;
        buttons[CMD_STEP_UP].enabled = buttons[CMD_STEP_DOWN].enabled = step;
        buttons[CMD_COPY].enabled
            = tab_.Editing() ? tab_.Interaction().TextSelEnd() > tab_.Interaction().TextSelStart() : s.selection.count > 0;
        buttons[CMD_COPY_TABLE].enabled = true;
    }
    if (paste) {
        const int formats = tab_.ClipboardFormats();
        Button& b = buttons[CMD_PASTE];
        b.enabled = s.enabled
            && (((formats & 1) && s.selection.count > 0 && tab_.SelectionEditable())
                || ((formats & 2) && tab_.SomethingEditable()));
        b.icon = (formats & 2) ? ToolbarIcon::PasteSheet : ToolbarIcon::Paste;
    }
    for (size_t i = 0; i < buttons.size(); ++i)
        if (buttons[i].enabled != before[i].enabled || buttons[i].icon != before[i].icon)
            return true;
    return false;
}

bool MapToolbar::Visible(const Button& b) const
{
    // The 3D graph's view buttons stand in its panel, which a switched-off sheet does not show.
    const bool panelShown = b.view != VIEW_3D || (tab_.Sheet().enabled && !tab_.Sheet().hidden);
    return b.exists && (b.view == 0 || b.view == tab_.ViewMode()) && panelShown;
}

int MapToolbar::ButtonAt(QPoint position) const
{
    for (int i = 0; i < MAX_BUTTONS; ++i)
        if (Visible(buttons[static_cast<size_t>(i)]) && buttons[static_cast<size_t>(i)].rect.contains(position))
            return i;
    return -1;
}

bool MapToolbar::MousePress(QPoint position)
{
    if (viewToggle_.contains(position)) {
        tab_.RunCommand(tab_.ViewMode() == VIEW_2D ? CMD_VIEW_TABLE : CMD_VIEW_2D);
        return true;
    }
    const int command = ButtonAt(position);
    if (command < 0)
        return false;
    if (At(command).enabled)
        held = command;
    tab_.RequestRepaint(MapModel::REPAINT);
    return true;
}

bool MapToolbar::MouseRelease(QPoint position)
{
    const int command = held;
    if (command < 0)
        return false;
    held = -1;
    if (ButtonAt(position) == command) {
        Button& b = buttons[static_cast<size_t>(command)];
        if (b.toggle)
            b.pressed = !b.pressed;
        tab_.RunCommand(command);
    }
    tab_.RequestRepaint(MapModel::REPAINT);
    return true;
}

bool MapToolbar::DoubleClick(QPoint position)
{
    const int command = ButtonAt(position);
    if (command < 0)
        return viewToggle_.contains(position);
    Button& b = buttons[static_cast<size_t>(command)];
    if (b.toggle && b.enabled) {
        b.pressed = !b.pressed;
        tab_.RunCommand(command);
    }
    return true;
}

QString MapToolbar::HintAt(QPoint position) const
{
    if (viewToggle_.contains(position))
        return LangQString(ToggleHint);
    const int command = ButtonAt(position);
    return command < 0 ? QString() : LangQString(At(command).hint);
}

QRect MapToolbar::StepButtons() const { return At(CMD_STEP_UP).rect.united(At(CMD_STEP_DOWN).rect); }

void MapToolbar::Paint(QPainter& p)
{
    if (tab_.PrintMode())
        return;
    PaintViewToggle(p);
    if (!(tab_.Options() & OPT_TOOLBAR))
        return;
    SetPressedStates();
    for (int i = 0; i < MAX_BUTTONS; ++i)
        if (Visible(buttons[static_cast<size_t>(i)]))
            PaintButton(p, i);
    PaintStepFrame(p);
}

void MapToolbar::PaintButton(QPainter& p, int command)
{
    const Button& b = At(command);
    const bool sunken = b.pressed || held == command;
    // A toggle that is on shows a lighter face, so that the present choice stands out.
    const QColor face = MapEditor::Color(b.face);
    Bevel(p, b.rect, b.pressed ? face.lighter(112) : face, sunken);
    if (b.pressed) {
        p.setPen(QColor(0x40, 0x40, 0x40));
        p.drawLine(b.rect.left() + 1, b.rect.top() + 1, b.rect.right() - 1, b.rect.top() + 1);
        p.drawLine(b.rect.left() + 1, b.rect.top() + 1, b.rect.left() + 1, b.rect.bottom() - 1);
    }
    const QRect inner = b.rect.adjusted(2, 2, -2, -2).translated(sunken ? 1 : 0, sunken ? 1 : 0);
    if (b.icon != ToolbarIcon::None) {
        DrawToolbarIcon(p, b.icon, inner, b.enabled);
        return;
    }
    // On the desktop's button face the caption takes the desktop's button text, which a dark theme lightens.
    const bool systemFace = (b.face & 0xFF000000u) == 0xFF000000u;
    const QColor ink = !b.enabled ? QColor(0xA0, 0xA0, 0xA0)
        : systemFace              ? MapEditor::Color(0xFF000012)
                                  : QColor(Qt::black);
    if (b.caption == "+" || b.caption == "-") {
        const QPoint c = inner.center();
        p.setPen(QPen(ink, 2));
        p.drawLine(c.x() - 3, c.y(), c.x() + 3, c.y());
        if (b.caption == "+")
            p.drawLine(c.x(), c.y() - 3, c.x(), c.y() + 3);
        return;
    }
    QFont font;
    font.setPixelSize(CAPTION_PIXELS);
    // A caption too long for its button is set smaller before it is shortened.
    while (
        font.pixelSize() > SMALLEST_CAPTION_PIXELS && QFontMetrics(font).horizontalAdvance(b.caption) > inner.width())
        font.setPixelSize(font.pixelSize() - 1);
    p.setFont(font);
    p.setPen(ink);
    p.drawText(inner, Qt::AlignCenter | Qt::TextSingleLine,
        QFontMetrics(font).elidedText(b.caption, Qt::ElideRight, inner.width()));
}

void MapToolbar::PaintStepFrame(QPainter& p)
{
    const MapSheet& s = tab_.Sheet();
    const QRect steps = StepButtons();
    if (!At(CMD_STEP_UP).enabled)
        return;
    if (s.selection.count > 0) {
        p.setPen(QPen(tab_.TextColor(), 3, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.setBrush(Qt::NoBrush);
        p.drawRect(steps.adjusted(-2, -2, 1, 1));
    } else if ((s.flags & SF_OPERATING_POINT) && s.opState > 0) {
        p.save();
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(QPen(MapEditor::Color(s.opState == 1 ? OP_ACTIVE : OP_OTHER), 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(steps).adjusted(-8, -3, 8, 3));
        p.restore();
    }
}

QRect MapToolbar::Bounds() const
{
    // The step frame's ellipse reaches 8 across and 3 up and down beyond the buttons, plus its pen.
    constexpr int FRAME_ACROSS = 10, FRAME_DOWN = 5;
    QRect bounds = viewToggle_;
    for (const Button& b : buttons)
        if (b.exists)
            bounds |= b.rect;
    return bounds.adjusted(-FRAME_ACROSS, -FRAME_DOWN, FRAME_ACROSS, FRAME_DOWN);
}

void MapToolbar::PaintViewToggle(QPainter& p)
{
    if (viewToggle_.isNull())
        return;
    Bevel(p, viewToggle_, MapEditor::Color(0xFF00000F), false);
    DrawToolbarIcon(p, tab_.ViewMode() == VIEW_2D ? ToolbarIcon::ToTable : ToolbarIcon::ToGraph,
        viewToggle_.adjusted(2, 1, -2, -1), true);
}
