#include "mapedit/ui/MapEditor.h"

#include "lang/LangQString.h"

#include <QAction>
#include <QInputDialog>
#include <QMenu>

#include <algorithm>
#include <cmath>

namespace {

struct CellEditText {
    MapModel::CellEdit edit;
    const char* entry; // the menu entry
    const char* prompt; // the dialog's question, followed by the unit
};

constexpr CellEditText CELL_EDIT_TEXTS[] = {
    { MapModel::EDIT_SET, "###Set to value...##Auf Wert setzen...##Nastavit na hodnotu...",
        "###Set the selected cells to##Ausgewählte Zellen setzen auf##Nastavit vybrané buňky na" },
    { MapModel::EDIT_ADD, "###Add value...##Wert addieren...##Přičíst hodnotu...",
        "###Add to the selected cells##Zu den ausgewählten Zellen addieren##Přičíst k vybraným buňkám" },
    { MapModel::EDIT_SCALE, "###Scale by percent...##Prozentual skalieren...##Změnit v procentech...",
        "###Scale the selected cells to (100 keeps them)##Ausgewählte Zellen skalieren auf (100 lässt sie)##"
        "Změnit vybrané buňky na (100 je ponechá)" },
    { MapModel::EDIT_SMOOTH, "###Smooth##Glätten##Vyhladit", nullptr },
};

const CellEditText& TextOf(MapModel::CellEdit edit)
{
    return *std::find_if(std::begin(CELL_EDIT_TEXTS), std::end(CELL_EDIT_TEXTS),
        [edit](const CellEditText& t) { return t.edit == edit; });
}

// As many decimals as one step of the map has (0.02 V shows two).
int DecimalsOf(double scale)
{
    int decimals = 0;
    for (double step = scale; decimals < 4 && std::fabs(step - std::round(step)) > 1e-9; step *= 10)
        ++decimals;
    return decimals;
}

} // namespace

void MapEditor::AddCellEditEntries(QMenu& menu)
{
    if (!CanEditSelectedCells())
        return;
    menu.addSeparator();
    for (const CellEditText& t : CELL_EDIT_TEXTS) {
        QAction* action = menu.addAction(LangQString(t.entry));
        connect(action, &QAction::triggered, this, [this, edit = t.edit] { AskCellEdit(edit); });
    }
}

bool MapEditor::AskCellEdit(CellEdit edit)
{
    if (!CanEditSelectedCells())
        return false;
    if (edit == EDIT_SMOOTH)
        return EditSelectedCells(edit);
    const MapAxis& data = Sheet().axisData;
    const double lo = data.minValue * data.scale, hi = data.maxValue * data.scale;
    const bool percent = edit == EDIT_SCALE;
    QInputDialog dialog(this);
    dialog.setWindowTitle(LangQString(Sheet().label));
    dialog.setInputMode(QInputDialog::DoubleInput);
    dialog.setLabelText(QString("%1 [%2]").arg(LangQString(TextOf(edit).prompt), percent ? "%" : data.unit));
    dialog.setDoubleDecimals(percent ? 1 : DecimalsOf(data.scale));
    dialog.setDoubleStep(percent ? 1.0 : data.scale);
    // Scaling holds any percentage, the results are clamped; set and add stay within the map's span.
    if (percent)
        dialog.setDoubleRange(-1000.0, 1000.0);
    else if (edit == EDIT_ADD)
        dialog.setDoubleRange(lo - hi, hi - lo);
    else
        dialog.setDoubleRange(lo, hi);
    dialog.setDoubleValue(percent ? 100.0
            : edit == EDIT_ADD    ? 0.0
                                  : Sheet().Cell(Sel().boxX0, Sel().boxY0) * data.scale);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    // The dialog took the mouse: a press that led to it never sees its release.
    EndPress();
    if (!accepted)
        return false;
    return EditSelectedCells(edit, dialog.doubleValue());
}
