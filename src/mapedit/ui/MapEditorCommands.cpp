#include "mapedit/ui/MapEditor.h"

#include "lang/LangQString.h"
#include "mapedit/ui/MapGraph3D.h"

#include <QAction>
#include <QMenu>

namespace {

constexpr const char* COPY_TABLE_TEXT = "###Copy the entire table##Tabelle kopieren##Kopírovat celou tabulku";

} // namespace

void MapEditor::RunCommand(int command)
{
    switch (command) {
    case CMD_SCROLL_X:
    case CMD_SCROLL_Y:
        interaction_.HideArrows();
        RequestRepaint(REPAINT_LAYOUT);
        return;
    case CMD_COPY_GRAPH:
        CopyGraph();
        return;
    case CMD_3D_TOP:
    case CMD_3D_ISO1:
    case CMD_3D_ISO2:
        graph3d_->ShowPreset(command);
        return;
    default:
        break;
    }
    interaction_.RunCommand(command);
    RequestRepaint(REPAINT_LAYOUT);
}

QMenu* MapEditor::BuildPopup(QPoint position)
{
    delete popup_;
    popup_ = new QMenu(this);
    QMenu& menu = *popup_;
    if (SheetCount() == 0)
        return popup_;
    MapSheet& s = Sheet();
    if (s.flags & SF_CAN_DISABLE) {
        AddCommandEntry(menu,
            QString("%1 %2").arg(
                LangQString(s.enabled ? "###Disable ##Deaktivieren ##Zakázat " : "###Enable ##Aktivieren ##Povolit "),
                LangQString(s.label)),
            CMD_ENABLE_SHEET);
        menu.addSeparator();
    }
    // A switched-off sheet keeps what does not edit it: copying the whole table and the views.
    if (!s.enabled) {
        AddCommandEntry(menu, LangQString(COPY_TABLE_TEXT), CMD_COPY_TABLE);
        menu.addSeparator();
        AddViewEntries(menu);
        return popup_;
    }
    AddClipboardEntries(menu, position);
    if (CanInterpolate()) {
        menu.addSeparator();
        AddCommandEntry(menu, LangQString("###Interpolate##Interpolieren##Interpolovat"), CMD_INTERPOLATE);
    }
    AddCellEditEntries(menu);
    menu.addSeparator();
    if (MapViewPart* view = ViewAt(position))
        view->AddPopupEntries(menu, position);
    AddViewEntries(menu);
    AddUseOnlyEntries(menu);
    return popup_;
}

QAction* MapEditor::AddCommandEntry(QMenu& menu, const QString& text, int command, bool checkable, bool checked)
{
    QAction* action = menu.addAction(text);
    action->setData(command);
    action->setCheckable(checkable);
    action->setChecked(checked);
    connect(action, &QAction::triggered, this, [this, command] { RunCommand(command); });
    return action;
}

void MapEditor::AddClipboardEntries(QMenu& menu, QPoint position)
{
    const MapSheet& s = Sheet();
    const bool copy = Editing() ? interaction_.TextSelEnd() > interaction_.TextSelStart() : s.selection.count > 0;
    const bool overTab = SheetTabAt(position) >= 0;
    const bool overGraph = (viewBits_ & (VIEW_2D | VIEW_3D)) && geometry_.graphArea.contains(position);
    if (copy)
        AddCommandEntry(menu, LangQString("###Copy##Kopieren##Kopírovat"), CMD_COPY);
    if (copy || overTab || overGraph)
        AddCommandEntry(menu, LangQString(COPY_TABLE_TEXT), CMD_COPY_TABLE);
    if (overGraph)
        AddCommandEntry(menu, LangQString("###Copy graph##Chart kopieren##Kopírovat graf"), CMD_COPY_GRAPH);
    if (copy || overTab || overGraph)
        menu.addSeparator();
    const int formats = ClipboardFormats();
    if ((formats & 2) && SomethingEditable())
        AddCommandEntry(menu, LangQString("###Paste table##Tabelle einfügen##Vložit tabulku"), CMD_PASTE);
    else if ((formats & 1) && s.selection.count && SelectionEditable())
        AddCommandEntry(menu, LangQString("###Paste##Einfügen##Vložit"), CMD_PASTE);
}

void MapEditor::AddViewEntries(QMenu& menu)
{
    struct ViewEntry {
        int view;
        int command;
        int allowedBit;
        const char* text;
    };
    static const ViewEntry views[] = {
        { VIEW_TABLE, CMD_VIEW_TABLE, OPT_TABLE, "###View as table##Als Tabelle anzeigen##Zbrazit jako tabulku" },
        { VIEW_2D, CMD_VIEW_2D, OPT_GRAPH2D, "###View as graph 2D##Als 2D-Graph anzeigen##Zobrazit jako 2D graf" },
        { VIEW_3D, CMD_VIEW_3D, OPT_GRAPH3D, "###View as graph 3D##Als 3D-Graph anzeigen##Zobrazit jako 3D graf" },
    };
    int offered = 0;
    for (const ViewEntry& v : views)
        offered += (Options() & v.allowedBit) != 0;
    if (offered <= 1)
        return;
    // The compact point view is the table of its map.
    for (const ViewEntry& v : views)
        if (Options() & v.allowedBit)
            AddCommandEntry(menu, LangQString(v.text), v.command, true,
                viewMode_ == v.view || (v.view == VIEW_TABLE && viewMode_ == VIEW_POINTS));
    menu.addSeparator();
}

void MapEditor::AddUseOnlyEntries(QMenu& menu)
{
    const MapSheet& s = Sheet();
    // Offered where an axis may be switched off, and not at all while one is always off.
    const int mx = s.axisX.offMode, my = s.axisY.offMode;
    if (mx >= MapAxis::OFF_ALWAYS || my >= MapAxis::OFF_ALWAYS
        || (mx != MapAxis::OFF_SWITCHABLE && my != MapAxis::OFF_SWITCHABLE))
        return;
    const QString xl = LangQString(s.axisX.label), yl = LangQString(s.axisY.label);
    // Using only X means switching Y off, so its entry needs a switchable Y.
    if (my == MapAxis::OFF_SWITCHABLE)
        AddCommandEntry(menu, QString("%1 %2").arg(LangQString("###Use only##Nur##Použij jen"), xl), CMD_ONLY_X, true,
            !s.axisX.off && s.axisY.off);
    if (mx == MapAxis::OFF_SWITCHABLE)
        AddCommandEntry(menu, QString("%1 %2").arg(LangQString("###Use only##Nur##Použij jen"), yl), CMD_ONLY_Y, true,
            s.axisX.off && !s.axisY.off);
    AddCommandEntry(menu,
        QString("%1 %2 %3 %4").arg(LangQString("###Use##Verwenden##Použij"), xl, LangQString("###and##und##a"), yl),
        CMD_BOTH, true, !s.axisX.off && !s.axisY.off);
}
