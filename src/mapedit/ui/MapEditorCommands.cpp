#include "mapedit/ui/MapEditor.h"

#include "mapedit/ui/LangQString.h"
#include "mapedit/ui/MapGraph3D.h"

#include <QAction>
#include <QMenu>

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
    auto add = [&](const QString& text, int command, bool checkable = false, bool checked = false) {
        QAction* action = menu.addAction(text);
        action->setData(command);
        action->setCheckable(checkable);
        action->setChecked(checked);
        connect(action, &QAction::triggered, this, [this, command] { RunCommand(command); });
        return action;
    };
    if (s.flags & SF_CAN_DISABLE) {
        add(QString("%1 %2").arg(
                LangQString(s.enabled ? "###Disable ##Deaktivieren ##Zakázat " : "###Enable ##Aktivieren ##Povolit "),
                LangQString(s.label)),
            CMD_ENABLE_SHEET);
        menu.addSeparator();
    }
    if (!s.enabled)
        return popup_;
    const bool copy = Editing() ? interaction_.TextSelEnd() > interaction_.TextSelStart() : s.selection.count > 0;
    const bool overTab = SheetTabAt(position) >= 0;
    const bool overGraph = (viewBits_ & (VIEW_2D | VIEW_3D)) && geometry_.graphArea.contains(position);
    if (copy)
        add(LangQString("###Copy##Kopieren##Kopírovat"), CMD_COPY);
    if (copy || overTab || overGraph)
        add(LangQString("###Copy the entire table##Tabelle kopieren##Kopírovat celou tabulku"), CMD_COPY_TABLE);
    if (overGraph)
        add(LangQString("###Copy graph##Chart kopieren##Kopírovat graf"), CMD_COPY_GRAPH);
    if (copy || overTab || overGraph)
        menu.addSeparator();
    const int formats = ClipboardFormats();
    if ((formats & 2) && SomethingEditable())
        add(LangQString("###Paste table##Tabelle einfügen##Vložit tabulku"), CMD_PASTE);
    else if ((formats & 1) && s.selection.count && SelectionEditable())
        add(LangQString("###Paste##Einfügen##Vložit"), CMD_PASTE);
    if (CanInterpolate()) {
        menu.addSeparator();
        add(LangQString("###Interpolate##Interpolieren##Interpolovat"), CMD_INTERPOLATE);
    }
    menu.addSeparator();
    if (MapViewPart* view = ViewAt(position))
        view->AddPopupEntries(menu, position);
    struct ViewEntry {
        int view;
        int command;
        const char* text;
    } views[] = { { VIEW_TABLE, CMD_VIEW_TABLE, "###View as table##Als Tabelle anzeigen##Zbrazit jako tabulku" },
        { VIEW_2D, CMD_VIEW_2D, "###View as graph 2D##Als 2D-Graph anzeigen##Zobrazit jako 2D graf" },
        { VIEW_3D, CMD_VIEW_3D, "###View as graph 3D##Als 3D-Graph anzeigen##Zobrazit jako 3D graf" } };
    const int allowedBits[] = { OPT_TABLE, OPT_GRAPH2D, OPT_GRAPH3D };
    int offered = 0;
    for (int i = 0; i < 3; ++i)
        offered += (Options() & allowedBits[i]) != 0;
    if (offered > 1) {
        for (int i = 0; i < 3; ++i)
            if (Options() & allowedBits[i])
                add(LangQString(views[i].text), views[i].command, true,
                    viewMode_ == views[i].view || (views[i].view == VIEW_TABLE && viewMode_ == VIEW_POINTS));
        menu.addSeparator();
    }
    const int mx = s.axisX.offMode, my = s.axisY.offMode;
    if (mx < 2 && my < 2 && (mx == 1 || my == 1)) {
        const QString xl = LangQString(s.axisX.label), yl = LangQString(s.axisY.label);
        if (my == 1)
            add(QString("%1 %2").arg(LangQString("###Use only##Nur##Použij jen"), xl), CMD_ONLY_X, true,
                !s.axisX.off && s.axisY.off);
        if (mx == 1)
            add(QString("%1 %2").arg(LangQString("###Use only##Nur##Použij jen"), yl), CMD_ONLY_Y, true,
                s.axisX.off && !s.axisY.off);
        add(QString("%1 %2 %3 %4").arg(LangQString("###Use##Verwenden##Použij"), xl, LangQString("###and##und##a"), yl),
            CMD_BOTH, true, !s.axisX.off && !s.axisY.off);
    }
    return popup_;
}
