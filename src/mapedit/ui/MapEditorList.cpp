#include "mapedit/ui/MapEditorList.h"

#include "mapedit/MapReference.h"
#include "mapedit/ui/MapEditor.h"

#include <QAction>
#include <QMenu>

MapEditorList::~MapEditorList()
{
    for (auto& editor : editors_)
        if (editor && !editor->parent())
            delete editor.data();
}

MapEditor* MapEditorList::CreateMapEditor(int ownerId, int width, int height, int options, QWidget* parent)
{
    if (editors_.size() >= static_cast<size_t>(TAB_MAX_EDITORS))
        return nullptr;
    auto* tab = new MapEditor(parent, width, height);
    tab->SetOwnerId(ownerId);
    tab->SetOptions(options);
    tab->SetAutoscrollSwitch(&autoscroll);
    tab->SetHeatSwitch(&heatColours);
    tab->SetHost(host_);
    editors_.emplace_back(tab);
    return tab;
}

MapEditor* MapEditorList::CreateProgramMap(
    MapKind kind, QWidget* parent, int width, int height, int output, const char* label)
{
    const ProgramMapDef def = ProgramMap(kind, output);
    MapEditor* tab = CreateMapEditor(def.ownerId, width, height, def.options, parent);
    if (!tab)
        return nullptr;
    const QString name = QString("MapEditor%1").arg(def.ownerId);
    tab->setObjectName(name);
    DefineProgramMap(*tab, kind, output, label);
    programMaps_.push_back({ tab, kind, output });
    return tab;
}

void MapEditorList::TabTick(const MapLiveValues& live, bool imageChanged)
{
    const bool heatChanged = paintedHeat_ != heatColours;
    paintedHeat_ = heatColours;
    for (auto& editor : editors_) {
        if (!editor)
            continue;
        if (heatChanged)
            editor->RequestRepaint(MapModel::REPAINT);
        if (imageChanged)
            editor->RememberValues();
        editor->SetEngineRpm(live.engineRpm);
        editor->SetThrottle(live.throttle < 0 ? 100 : live.throttle);
        editor->SetPressure(live.pressure);
        editor->SetMonitorStatus(live.monitorStatus | (live.manifoldLoad ? 0x30 : 0));
        editor->ShowRecording(live.recording);
        // A base advance or limiter moved in the editor (a drag in the graph, gathered steps)
        // is the newer value until its commit has brought it into the image.
        const bool holding
            = editor->PendingMask() || (editor->SheetCount() && (editor->Sel().dragKind & DRAG_GRAPH_POINT));
        if (!holding) {
            editor->SetBaseAdvance(live.baseAdvance);
            editor->SetLimiterRpm(live.limiterRpm);
            editor->SetStartLimiterRpm(live.startLimiterRpm);
        }
        editor->TabTick();
    }
}

MapEditor* MapEditorList::FocusedEditor() const
{
    for (const auto& editor : editors_)
        if (editor && editor->hasFocus())
            return editor;
    return nullptr;
}

bool MapEditorList::StepFocused(int direction)
{
    MapEditor* tab = FocusedEditor();
    if (!tab)
        return false;
    tab->StepValues(direction);
    return true;
}

void MapEditorList::AddCellEditMenu(QMenu* tools)
{
    static constexpr struct {
        const char* name;
        MapModel::CellEdit edit;
    } ITEMS[] = { { "MenuCellSet", MapModel::EDIT_SET }, { "MenuCellAdd", MapModel::EDIT_ADD },
        { "MenuCellScale", MapModel::EDIT_SCALE }, { "MenuCellSmooth", MapModel::EDIT_SMOOTH } };
    QMenu* menu = tools->addMenu(QString());
    menu->menuAction()->setObjectName("MenuCellEdit");
    for (const auto& item : ITEMS) {
        QAction* a = menu->addAction(QString());
        a->setObjectName(item.name);
        QObject::connect(a, &QAction::triggered, menu, [this, edit = item.edit] {
            if (MapEditor* tab = FocusedEditor())
                tab->AskCellEdit(edit);
        });
    }
}

MapEditor* MapEditorList::EditorByOwnerId(int ownerId) const
{
    for (const auto& editor : editors_)
        if (editor && editor->OwnerId() == ownerId)
            return editor;
    return nullptr;
}

void MapEditorList::SetReference(const ParamImage* image)
{
    for (const ProgramMapEditor& map : programMaps_)
        if (map.editor)
            map.editor->SetReference(image ? MapReference::Load(map.kind, *image, map.output - 1) : nullptr);
}
