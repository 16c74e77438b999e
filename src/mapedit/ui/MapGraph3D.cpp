#include "mapedit/ui/MapGraph3D.h"

#include "lang/LangQString.h"
#include "mapedit/DisplayRange.h"
#include "mapedit/ui/MapEditor.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QStatusTipEvent>

namespace {

// Preset buttons: their row in the panel and their columns, in the panel's own pixels.
constexpr int PRESET_TOP = 25;
constexpr int PRESET_HEIGHT = 17;
struct PresetPlace {
    int command;
    int left, right;
};
constexpr PresetPlace PresetPlaces[] = { { CMD_3D_TOP, 10, 55 }, { CMD_3D_ISO1, 60, 95 }, { CMD_3D_ISO2, 100, 135 } };
// The hints leave a gap at the panel's edge where neither is shown.
constexpr int PANEL_HINT_GAP = 10;
constexpr int SURFACE_HINT_GAP = 20;

const char* const ActualValueHint
    = "###Set actual value - mouse wheel##Istwert setzen - Mausrad##Nastav aktuální hodnotu - kolečko myši";
const char* const RotateHint
    = "###Rotate: drag mouse (X, XY) and wheel (XYZ)   \nGraph quality: CTRL+mouse wheel   \nView values: SHIFT + "
      "mouse wheel##Drehen: Ziehen Sie die Maus (X, XY) und Rad (XYZ)  nGraph Qualität: STRG + Mausrad  nView Werte: "
      "SHIFT + Mausrad##Otáčení - tažení myší (X a XY) a kolečkem (XYZ)  \nJemnost vykreslení grafu: CTRL+kolečko "
      "myši   \nZobrazení hodnot: SHIFT+kolečko myši";
const char* const QualityHint = "###high graph drawing quality takes lot of CPU time##hohe Qualität Zeichnen von "
                                "Graphen nimmt sehr viel CPU-Zeit##vysoká kvalita vykreslení grafu značně zatěžuje "
                                "počítač";

struct MenuEntry {
    int value;
    const char* text;
};
const MenuEntry PresetEntries[] = {
    { CMD_3D_TOP, "###Top view##Aufsicht##Pohled seshora" },
    { CMD_3D_ISO1, "###ISO1 view##ISO1 Ansicht##Pohled ISO1" },
    { CMD_3D_ISO2, "###ISO2 view##ISO2 Ansicht##Pohled ISO2" },
};
const MenuEntry SurfaceEntries[] = {
    { View3DState::WIRE, "###Wire model##Draht-Modell##Drátěný model" },
    { View3DState::ONE_COLOUR, "###One color graph##Ein Farb-Kurve##Jednobarevný graf" },
    { View3DState::HEIGHT_COLOURS, "###Height colors (grain 0)##Höhe Farben (Korn 0)##Výškové barvy (zrno 0)" },
    { View3DState::HEIGHT_COLOURS + 1, "###Height colors (grain 1)##Höhe Farben (Korn 1)##Výškové barvy (zrno 1)" },
    { View3DState::HEIGHT_COLOURS + 2, "###Height colors (grain 2)##Höhe Farben (Korn 2)##Výškové barvy (zrno 2)" },
    { View3DState::HEIGHT_COLOURS + 3, "###Height colors (grain 3)##Höhe Farben (Korn 3)##Výškové barvy (zrno 3)" },
};
const MenuEntry ValueEntries[] = {
    { View3DState::VALUES_NONE, "###No values##Keinen Wert##Žádné hodnoty" },
    { View3DState::VALUES_ACTIVE, "###Only active value##Nur aktiven Wert##Jen aktivní honota" },
    { View3DState::VALUES_INTERESTING, "###Only interresting values##Nur interresanten Werte##Jen zajímavé honoty" },
    { View3DState::VALUES_ALL, "###All values##Alle Werte##Všechny honoty" },
};

const char* const DifferenceEntry
    = "###Difference to reference##Differenz zur Referenz##Rozdíl oproti referenci";

} // namespace

MapGraph3D::MapGraph3D(MapEditor& t)
    : tab_(t)
{
}

void MapGraph3D::Layout(const QRect& a)
{
    area_ = a;
    Refresh();
}

QRect MapGraph3D::Panel() const { return QRect(area_.left(), area_.top(), tab_.Geometry().panelWidth, area_.height()); }

QRect MapGraph3D::PresetButton(const QRect& a, int command)
{
    for (const PresetPlace& place : PresetPlaces)
        if (place.command == command)
            return QRect(a.left() + place.left, a.top() + PRESET_TOP, place.right - place.left, PRESET_HEIGHT);
    return {};
}

void MapGraph3D::Refresh()
{
    if (tab_.SheetCount() == 0 || area_.isEmpty())
        return;
    ranges_ = DisplayRange::Compute(tab_);
    grid_ = SurfaceGrid::Build(tab_, ranges_);
    projection_ = Projection3D::For({ area_.left(), area_.top(), area_.width(), area_.height() }, tab_.Geometry().panelWidth,
        tab_.Geometry().Current(), grid_.AcrossSpan(), grid_.DataSpan(), grid_.CurveSpan());
}

QPointF MapGraph3D::At(double across, double height, double depth) const
{
    const Projection3D::Point p = projection_.Project(across, height, depth);
    return QPointF(p.x, p.y);
}

bool MapGraph3D::CellPosition(int column, int row, QPointF& at) const
{
    SurfaceGrid::Node n;
    if (!grid_.CellPoint(column, row, n))
        return false;
    at = At(n.across, n.height, n.depth);
    return true;
}

void MapGraph3D::ShowPreset(int command)
{
    View3DState::Angles angles {};
    if (!View3DState::PresetOf(command, angles))
        return;
    tab_.Geometry().Set(angles);
    tab_.RequestRepaint(MapModel::REPAINT_LAYOUT);
}

bool MapGraph3D::Key(int key)
{
    if (key != KEY_SPACE)
        return false;
    tab_.Geometry().NextValueMode();
    tab_.RequestRepaint(MapModel::REPAINT);
    return true;
}

void MapGraph3D::UpdateHints(QPoint position)
{
    const int x = position.x() - area_.left();
    const View3DState& v = tab_.Geometry();
    QString longHint;
    tip_.clear();
    if (!area_.contains(position)) {
        // Outside the graph no hint of it stays.
    } else if (x < v.panelWidth - PANEL_HINT_GAP) {
        longHint = LangQString(ActualValueHint);
        if (v.hintFlags & View3DState::HINT_ACTUAL_VALUE)
            tip_ = longHint;
    } else if (x > v.panelWidth + SURFACE_HINT_GAP) {
        const bool fresh = v.hintFlags & View3DState::HINT_ROTATE;
        if (fresh)
            tip_ = LangQString(RotateHint);
        longHint = LangQString(fresh ? QualityHint : RotateHint);
    }
    // The status line has one row: the lines of a hint are joined there.
    longHint = longHint.simplified();
    if (longHint == statusHint_)
        return;
    statusHint_ = longHint;
    QStatusTipEvent event(statusHint_);
    QApplication::sendEvent(&tab_, &event);
}

Qt::CursorShape MapGraph3D::MouseMove(QPoint position, bool leftHeld)
{
    if (rotating_ && leftHeld) {
        const QPoint d = position - pressAt_;
        if (tab_.Geometry().Drag(pressAngles, d.x(), d.y()))
            tab_.RequestRepaint(MapModel::REPAINT_LAYOUT);
        UpdateHints(position);
        return Qt::ClosedHandCursor;
    }
    UpdateHints(position);
    return area_.contains(position) && position.x() >= Panel().right() ? Qt::OpenHandCursor : Qt::ArrowCursor;
}

bool MapGraph3D::MousePress(QPoint position, Qt::KeyboardModifiers)
{
    if (tab_.SheetCount() == 0 || !area_.contains(position) || position.x() <= Panel().right())
        return false;
    if (tab_.Editing())
        tab_.CommitCellEdit();
    rotating_ = true;
    pressAt_ = position;
    pressAngles = tab_.Geometry().Current();
    return true;
}

void MapGraph3D::MouseRelease(QPoint position)
{
    rotating_ = false;
    UpdateHints(position);
}

bool MapGraph3D::Wheel(QPoint position, int steps)
{
    if (tab_.SheetCount() == 0 || !area_.contains(position))
        return false;
    View3DState& v = tab_.Geometry();
    if (position.x() <= Panel().right()) {
        tab_.StepValues(steps, true);
        v.hintFlags &= ~View3DState::HINT_ACTUAL_VALUE;
    } else {
        v.Wheel(steps, tab_.Interaction().CtrlDown(), tab_.Interaction().ShiftDown());
    }
    UpdateHints(position);
    tab_.RequestRepaint(MapModel::REPAINT);
    return true;
}

void MapGraph3D::AddPopupEntries(QMenu& menu, QPoint position)
{
    if (!area_.contains(position))
        return;
    View3DState& v = tab_.Geometry();
    auto entry = [&](const MenuEntry& e, bool checked, auto run) {
        QAction* action = menu.addAction(LangQString(e.text));
        action->setCheckable(true);
        action->setChecked(checked);
        QObject::connect(action, &QAction::triggered, &tab_, run);
    };
    for (const MenuEntry& e : PresetEntries)
        entry(e, v.Shows(e.value), [this, command = e.value] { tab_.RunCommand(command); });
    menu.addSeparator();
    for (const MenuEntry& e : SurfaceEntries)
        entry(e, v.surfaceMode == e.value, [this, mode = e.value] {
            tab_.Geometry().surfaceMode = mode;
            tab_.RequestRepaint(MapModel::REPAINT);
        });
    menu.addSeparator();
    for (const MenuEntry& e : ValueEntries)
        entry(e, v.valueMode == e.value, [this, mode = e.value] {
            tab_.Geometry().valueMode = mode;
            tab_.RequestRepaint(MapModel::REPAINT);
        });
    menu.addSeparator();
    // Offered while a reference is loaded; the choice stays for the next one.
    if (tab_.Reference()) {
        entry({ 0, DifferenceEntry }, v.difference, [this] {
            tab_.Geometry().difference = !tab_.Geometry().difference;
            tab_.RequestRepaint(MapModel::REPAINT_LAYOUT);
        });
        menu.addSeparator();
    }
}
