#include "print/MapsInUse.h"

#include "mapedit/FormatAxisValue.h"
#include "lang/LangQString.h"
#include "mapedit/ui/MapEditor.h"

#include <QGroupBox>
#include <QMainWindow>
#include <QTabWidget>

namespace {

const char* const SWITCHING_VALUES = "###1 = on, 0 = off##1 = ein, 0 = aus##1 = zapnuto, 0 = vypnuto";

QString Number(int32_t raw, double scale) { return QString::fromUtf8(FormatAxisValue(raw, scale, "", false).c_str()); }

QString WithUnit(const QString& name, const char* unit)
{
    return *unit && !name.contains('[') ? name + " [" + QString::fromUtf8(unit) + "]" : name;
}

QString AxisText(const MapAxis& a) { return a.off ? QString() : WithUnit(QString::fromUtf8(a.name), a.unit); }

QString ValuesText(const MapSheet& s, bool compact)
{
    if (compact)
        return LangQString(SWITCHING_VALUES);
    const QString label = LangQString(s.axisData.label);
    return WithUnit(label.isEmpty() ? QString::fromUtf8(s.axisData.name) : label, s.axisData.unit);
}

// The entries shown along an axis: its values, or on a compact map the regions its points bound
// ("< 30", "30 – 50", "> 50"). An axis switched off shows one entry, named by the values.
struct Entries {
    QStringList texts;
    std::vector<int> indexes;
};

Entries EntriesOf(const MapAxis& a, bool compact, const QString& valuesText)
{
    Entries e;
    if (a.off) {
        e.texts << valuesText;
        e.indexes.push_back(a.offIndex);
        return e;
    }
    for (int i = 0; i < a.count; ++i) {
        e.indexes.push_back(i);
        e.texts << Number(a.values[static_cast<size_t>(i)], a.scale);
    }
    if (compact) {
        QStringList regions { "< " + e.texts.first() };
        for (int i = 1; i < a.count; ++i)
            regions << e.texts[i - 1] + " – " + e.texts[i];
        regions << "> " + e.texts.last();
        e.texts = regions;
        e.indexes.push_back(a.count);
    }
    return e;
}

// Whether the settings show the control on its sheet: nothing between them is hidden. A window
// that was never shown counts as showing what it has not hidden on purpose.
bool ShownOn(const QWidget* control, const QWidget* sheet)
{
    for (const QWidget* w = control; w && w != sheet; w = w->parentWidget())
        if (w->isHidden() && w->testAttribute(Qt::WA_WState_ExplicitShowHide))
            return false;
    return true;
}

// A sheet's own label, else the name of the box around its editor, else that of its page.
QString TitleOf(const MapSheet& s, const MapEditor& editor, const QString& page)
{
    const QString label = LangQString(s.label).trimmed();
    if (!label.isEmpty())
        return label;
    for (const QWidget* w = editor.parentWidget(); w; w = w->parentWidget())
        if (const auto* box = qobject_cast<const QGroupBox*>(w); box && !box->title().isEmpty())
            return box->title();
    return page;
}

void AddEditor(std::vector<PrintedMap>& maps, const MapEditor& editor, const QString& page)
{
    const bool compact = editor.Options() & OPT_COMPACT_POINTS;
    for (int i = 0; i < editor.SheetCount(); ++i) {
        const MapSheet& s = editor.SheetAt(i);
        if (s.defined && !s.hidden && s.enabled)
            maps.push_back(MapsInUse::Read(s, compact, TitleOf(s, editor, page)));
    }
}

// The window's own page controls: not those of a dialog it owns, nor one inside another's page,
// whose editors that page already holds.
bool IsPageControl(const QTabWidget& tabs, const QMainWindow& window)
{
    if (tabs.window() != &window)
        return false;
    for (const QWidget* w = tabs.parentWidget(); w; w = w->parentWidget())
        if (qobject_cast<const QTabWidget*>(w))
            return false;
    return true;
}

} // namespace

PrintedMap MapsInUse::Read(const MapSheet& s, bool compact, const QString& title)
{
    PrintedMap map;
    map.title = title;
    map.values = ValuesText(s, compact);
    map.columnAxis = AxisText(s.axisX);
    map.rowAxis = AxisText(s.axisY);
    const Entries columns = EntriesOf(s.axisX, compact, map.values);
    const Entries rows = EntriesOf(s.axisY, compact, map.values);
    map.columns = columns.texts;
    map.rows = rows.texts;
    for (int row : rows.indexes) {
        QStringList cells;
        for (int column : columns.indexes) {
            // Cells show whole steps of the map's quantum, as in the table.
            const int32_t raw = s.Cell(column, row);
            const auto shown = static_cast<int32_t>(raw / s.axisData.quantum * s.axisData.quantum);
            cells << Number(shown, s.axisData.scale);
        }
        map.cells.push_back(cells);
    }
    return map;
}

std::vector<PrintedMap> MapsInUse::Of(QMainWindow& window)
{
    std::vector<PrintedMap> maps;
    for (const QTabWidget* tabs : window.findChildren<QTabWidget*>()) {
        if (!IsPageControl(*tabs, window))
            continue;
        for (int t = 0; t < tabs->count(); ++t) {
            const QWidget* sheet = tabs->widget(t);
            if (!tabs->isTabVisible(t) || !sheet)
                continue;
            for (const MapEditor* editor : sheet->findChildren<MapEditor*>())
                if (ShownOn(editor, sheet))
                    AddEditor(maps, *editor, tabs->tabText(t).remove('&'));
        }
    }
    return maps;
}
