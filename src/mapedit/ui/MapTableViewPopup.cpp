#include "mapedit/ui/MapTableView.h"

#include "lang/LangQString.h"
#include "mapedit/ui/MapEditor.h"

#include <QAction>
#include <QMenu>

#include <algorithm>

void MapTableView::RightClickSelect(QPoint position)
{
    // The popup acts on what is under the mouse: select it unless it is selected already.
    const Hit hit = HitTest(position);
    const MapSheet& s = tab_.Sheet();
    switch (hit.kind) {
    case HIT_CELL:
    case HIT_COLUMN_HEADER:
    case HIT_ROW_HEADER:
        if (!s.selection.IsSelected(hit.column, hit.row))
            tab_.SelectElement(hit.column, hit.row);
        break;
    case HIT_CORNER_X:
    case HIT_CORNER_Y:
        tab_.SelectAllHeaders(hit.kind == HIT_CORNER_X);
        break;
    case HIT_SELECT_ALL:
        if (MapState() != COVER_ALL)
            tab_.SelectAllCells();
        break;
    case HIT_COLUMN_BOX:
    case HIT_ROW_BOX:
        if (HeaderState(hit.kind == HIT_COLUMN_BOX, hit.kind == HIT_COLUMN_BOX ? hit.column : hit.row) != COVER_ALL) {
            tab_.Interaction().BeginBand(
                BandKindOf(hit.kind), std::max(0, hit.column), std::max(0, hit.row), false, false);
            tab_.Interaction().EndBand();
        }
        break;
    default:
        break;
    }
}

void MapTableView::AddPopupEntries(QMenu& menu, QPoint position)
{
    AddLineEntries(menu, position);
    AddAutoscrollEntries(menu, position);
    AddHeatEntry(menu);
}

void MapTableView::AddHeatEntry(QMenu& menu)
{
    int32_t* shared = tab_.HeatSwitch();
    if (!shared)
        return;
    QAction* heat
        = menu.addAction(LangQString("###Colour cells by value##Zellen nach Wert färben##Obarvit buňky podle hodnoty"));
    heat->setObjectName("MapHeatColours");
    heat->setCheckable(true);
    heat->setChecked(*shared);
    // The switch is shared by every editor of the window; the others repaint on the next tick.
    QObject::connect(heat, &QAction::toggled, &tab_, [this, shared](bool on) {
        *shared = on ? 1 : 0;
        tab_.RequestRepaint(MapModel::REPAINT);
    });
    menu.addSeparator();
}

void MapTableView::AddLineEntries(QMenu& menu, QPoint position)
{
    const MapSheet& s = tab_.Sheet();
    bool any = false;
    for (bool columns : { false, true }) {
        const MapAxis& a = columns ? s.axisX : s.axisY;
        if (!a.resizable || a.off)
            continue;
        const int deletable = tab_.CountDeletableLines(columns);
        if (deletable == 0)
            continue;
        // Insert at the boundary nearest the mouse: before the element under it when in its first half.
        int index = columns ? s.axisX.count : s.axisY.count;
        const Hit hit = HitTest(position);
        const int entry = columns ? hit.column : hit.row;
        if (entry >= 0) {
            const QRect r = columns ? ElementRect(entry, HEADER) : ElementRect(HEADER, entry);
            const bool firstHalf = columns ? position.x() < r.center().x() : position.y() < r.center().y();
            index = firstHalf ? entry : entry + 1;
        }
        const char* insert = columns ? "###Insert column here##Einfügen hier Spalte##Vložit sloupec (zde)"
                                     : "###Insert row here##Einfügen einer Zeile##Vložit řádek (zde)";
        QAction* act = menu.addAction(LangQString(insert));
        QObject::connect(act, &QAction::triggered, &tab_, [this, columns, index] { tab_.InsertLine(columns, index); });
        // Deleting every line is not offered: a map keeps at least its minimum count.
        if (deletable < a.count) {
            QString text = deletable > 1
                ? QString("%1 (%2)")
                      .arg(LangQString(columns ? "###Delete columns##Löschen von Spalten##Vymazat sloupce"
                                               : "###Delete rows##Klare Linien##Vymazat řádky"))
                      .arg(deletable)
                : LangQString(columns ? "###Delete column##Spalte löschen##Vymazat sloupec"
                                      : "###Delete row##Klare Zeile##Vymazat řádek");
            QAction* del = menu.addAction(text);
            QObject::connect(del, &QAction::triggered, &tab_, [this, columns] { tab_.DeleteSelectedLines(columns); });
        }
        any = true;
    }
    if (any)
        menu.addSeparator();
}

void MapTableView::AddAutoscrollEntries(QMenu& menu, QPoint position)
{
    const MapSheet& s = tab_.Sheet();
    // Autoscroll matters only where the map is larger than the table shows.
    const bool larger = s.axisX.count > tab_.VisibleColumns() || s.axisY.count > tab_.VisibleRows();
    if (!larger || !tab_.AutoscrollSwitch()
        || !tab_.Geometry().Grid().united(tab_.Geometry().corner).contains(position))
        return;
    QAction* on = menu.addAction(LangQString(
        "###Autoscroll actual position##Autoscroll aktuelle Position##Automaticky posunovat na aktuální polohu"));
    QAction* off
        = menu.addAction(LangQString("###Disable autoscroll##Deaktivieren Autoscroll##Zakázat automatické posunování"));
    on->setCheckable(true);
    off->setCheckable(true);
    on->setChecked(*tab_.AutoscrollSwitch());
    off->setChecked(!*tab_.AutoscrollSwitch());
    // The switch is shared by every editor of the window.
    int32_t* shared = tab_.AutoscrollSwitch();
    QObject::connect(on, &QAction::triggered, &tab_, [shared] { *shared = 1; });
    QObject::connect(off, &QAction::triggered, &tab_, [shared] { *shared = 0; });
    menu.addSeparator();
}
