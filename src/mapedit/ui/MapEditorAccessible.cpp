#include "mapedit/ui/MapEditorAccessible.h"

#include "lang/LangQString.h"
#include "mapedit/FormatAxisValue.h"
#include "mapedit/ui/MapEditor.h"
#include "mapedit/ui/MapGraph2D.h"

namespace {

const char* const TABLE = "###table##Tabelle##tabulka";
const char* const GRAPH_2D = "###2D graph##2D-Graph##2D graf";
const char* const GRAPH_3D = "###3D graph##3D-Graph##3D graf";
const char* const POINTS = "###switching table##Schalttabelle##spínací tabulka";
const char* const CELL = "###Row %1, column %2: %3##Zeile %1, Spalte %2: %3##Řádek %1, sloupec %2: %3";
const char* const CELL_ONE_ROW = "###Column %1: %2##Spalte %1: %2##Sloupec %1: %2";
const char* const CELL_ONE_COLUMN = "###Row %1: %2##Zeile %1: %2##Řádek %1: %2";
const char* const COLUMN_HEADER = "###Column header %1: %2##Spaltenkopf %1: %2##Záhlaví sloupce %1: %2";
const char* const ROW_HEADER = "###Row header %1: %2##Zeilenkopf %1: %2##Záhlaví řádku %1: %2";
const char* const NOTHING_FOCUSED = "###No cell chosen: the arrow keys choose one##Keine Zelle gewählt: die "
                                    "Pfeiltasten wählen eine##Není vybrána buňka: vyberte ji šipkami";
const char* const SWITCHED_OFF = "###switched off##ausgeschaltet##vypnuto";
const char* const TABLE_USE = "###Arrow keys move between the cells, typing a number changes the chosen ones, "
                              "Shift with the arrows selects a block.##Pfeiltasten wechseln die Zelle, eine "
                              "eingetippte Zahl ändert die gewählten, Umschalt mit den Pfeilen wählt einen Block.##"
                              "Šipky přecházejí mezi buňkami, napsané číslo změní vybrané, Shift se šipkami vybere "
                              "blok.";
const char* const GRAPH_2D_USE = "###%1 over %2, one curve per %3; dragging a point changes its value.##%1 über %2, "
                                 "eine Kurve je %3; Ziehen eines Punktes ändert seinen Wert.##%1 podle %2, jedna "
                                 "křivka pro každou hodnotu %3; tažením bodu se mění jeho hodnota.";
const char* const GRAPH_2D_ONE_CURVE_USE = "###%1 over %2; dragging a point changes its value.##%1 über %2; Ziehen "
                                           "eines Punktes ändert seinen Wert.##%1 podle %2; tažením bodu se mění "
                                           "jeho hodnota.";
const char* const GRAPH_3D_USE = "###%1 as a surface over %2 and %3; dragging turns it, the wheel over the left "
                                 "panel steps the live cell.##%1 als Fläche über %2 und %3; Ziehen dreht sie, das "
                                 "Mausrad über dem linken Feld verstellt die aktuelle Zelle.##%1 jako plocha nad %2 a "
                                 "%3; tažením se otáčí, kolečko nad levým panelem mění aktuální buňku.";

// A value of an axis as the table writes it, always with its unit.
QString AxisValue(const MapAxis& axis, int32_t raw)
{
    return QString::fromUtf8(FormatAxisValue(raw, axis.scale, axis.unit, true).c_str());
}

QString CellValue(const MapSheet& s, int column, int row)
{
    const MapAxis& data = s.axisData;
    return AxisValue(data, int32_t(s.Cell(column, row) / data.quantum * data.quantum));
}

QString CellText(const MapSheet& s, int column, int row)
{
    const QString value = CellValue(s, column, row);
    const bool hasColumns = !s.axisX.off, hasRows = !s.axisY.off;
    if (hasColumns && hasRows)
        return LangQString(CELL).arg(
            AxisValue(s.axisY, s.axisY.values[size_t(row)]), AxisValue(s.axisX, s.axisX.values[size_t(column)]), value);
    if (hasColumns)
        return LangQString(CELL_ONE_ROW).arg(AxisValue(s.axisX, s.axisX.values[size_t(column)]), value);
    if (hasRows)
        return LangQString(CELL_ONE_COLUMN).arg(AxisValue(s.axisY, s.axisY.values[size_t(row)]), value);
    return value;
}

const char* ViewWord(int viewMode)
{
    switch (viewMode) {
    case VIEW_2D:
        return GRAPH_2D;
    case VIEW_3D:
        return GRAPH_3D;
    case VIEW_POINTS:
        return POINTS;
    default:
        return TABLE;
    }
}

} // namespace

MapEditorAccessible::MapEditorAccessible(MapEditor* editor)
    : QAccessibleWidget(editor)
{
}

QAccessibleInterface* MapEditorAccessible::Create(const QString& className, QObject* object)
{
    auto* editor = qobject_cast<MapEditor*>(object);
    return className == QLatin1String("MapEditor") && editor ? new MapEditorAccessible(editor) : nullptr;
}

void MapEditorAccessible::Install()
{
    static const bool installed = (QAccessible::installFactory(&MapEditorAccessible::Create), true);
    (void)installed;
}

void MapEditorAccessible::NoteChange(MapEditor* editor)
{
    // Building the texts costs a little on every repaint; nobody hears them without a screen reader.
    if (!QAccessible::isActive())
        return;
    auto* self = dynamic_cast<MapEditorAccessible*>(QAccessible::queryAccessibleInterface(editor));
    const QString focused = FocusedElementOf(*editor);
    // Hovering repaints as well; only a new element or value is worth saying.
    if (!self || focused == self->lastSaid_)
        return;
    self->lastSaid_ = focused;
    QAccessibleValueChangeEvent event(editor, focused);
    QAccessible::updateAccessibility(&event);
}

QAccessible::Role MapEditorAccessible::role() const
{
    const int view = Editor().ViewMode();
    return view == VIEW_2D || view == VIEW_3D ? QAccessible::Chart : QAccessible::Table;
}

QString MapEditorAccessible::text(QAccessible::Text t) const
{
    // A name the owner gave the widget outranks the one built here.
    if (t == QAccessible::Name && !widget()->accessibleName().isEmpty())
        return widget()->accessibleName();
    switch (t) {
    case QAccessible::Name:
        return NameOf(Editor());
    case QAccessible::Description:
        return DescriptionOf(Editor());
    case QAccessible::Value:
        return FocusedElementOf(Editor());
    default:
        return QAccessibleWidget::text(t);
    }
}

MapEditor& MapEditorAccessible::Editor() const { return *static_cast<MapEditor*>(widget()); }

QString MapEditorAccessible::NameOf(MapEditor& editor)
{
    if (editor.SheetCount() == 0)
        return LangQString(TABLE);
    const MapSheet& s = editor.Sheet();
    QString name = LangQString(s.label) + " – " + LangQString(ViewWord(editor.ViewMode()));
    if (!s.enabled)
        name += " (" + LangQString(SWITCHED_OFF) + ")";
    return name;
}

QString MapEditorAccessible::DescriptionOf(MapEditor& editor)
{
    if (editor.SheetCount() == 0)
        return QString();
    const MapSheet& s = editor.Sheet();
    const QString data = LangQString(s.axisData.label);
    switch (editor.ViewMode()) {
    case VIEW_2D: {
        const GraphRanges& ranges = editor.Graph2D().Geometry().ranges;
        const QString across = LangQString(s.Axis(ranges.across).label);
        return ranges.curves > 1 ? LangQString(GRAPH_2D_USE).arg(data, across, LangQString(s.Axis(ranges.curve).label))
                                 : LangQString(GRAPH_2D_ONE_CURVE_USE).arg(data, across);
    }
    case VIEW_3D:
        return LangQString(GRAPH_3D_USE).arg(data, LangQString(s.axisX.label), LangQString(s.axisY.label));
    default:
        return LangQString(TABLE_USE);
    }
}

QString MapEditorAccessible::FocusedElementOf(MapEditor& editor)
{
    if (editor.SheetCount() == 0)
        return QString();
    const MapSheet& s = editor.Sheet();
    const MapSelection& sel = s.selection;
    const int column = sel.endColumn, row = sel.endRow;
    if (sel.count == 0 || !s.Inside(column, row))
        return LangQString(NOTHING_FOCUSED);
    if (row == HEADER)
        return LangQString(COLUMN_HEADER).arg(column + 1).arg(AxisValue(s.axisX, s.axisX.values[size_t(column)]));
    if (column == HEADER)
        return LangQString(ROW_HEADER).arg(row + 1).arg(AxisValue(s.axisY, s.axisY.values[size_t(row)]));
    return CellText(s, column, row);
}
