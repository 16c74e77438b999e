#pragma once

#include "mapedit/MapEditTypes.h"
#include "mapedit/ProgramMaps.h"
#include "mapedit/ui/MapLiveValues.h"

#include <QPointer>

#include <cstdint>
#include <vector>

class MapEditorHost;
class ParamImage;
class QMenu;
class QWidget;
class MapEditor;

// The main window's map editors: creates them (at most 40), feeds them every tick and routes the
// window's commands to the focused one. It also holds the window's shared autoscroll switch.
class MapEditorList {
public:
    explicit MapEditorList(MapEditorHost* host = nullptr)
        : host_(host)
    {
    }
    ~MapEditorList();
    MapEditorList(const MapEditorList&) = delete;
    MapEditorList& operator=(const MapEditorList&) = delete;

    // Creates an empty editor (500 x 200 when a size is 0); nullptr once 40 editors exist.
    MapEditor* CreateMapEditor(int ownerId, int width, int height, int options, QWidget* parent);
    // Creates an editor holding one of the program's maps, fully defined.
    MapEditor* CreateProgramMap(
        MapKind kind, QWidget* parent, int width = 0, int height = 0, int output = 1, const char* label = nullptr);

    // One main-timer tick for every editor. imageChanged: the owner rewrote the arrays from the
    // image since the last tick, so the push memory of the normalization starts again.
    void TabTick(const MapLiveValues& live, bool imageChanged = false);

    // The first editor, in creation order, that has the input focus.
    MapEditor* FocusedEditor() const;
    // MenuAdvancePlus / MenuAdvanceMinus: steps the focused editor; false when none has the focus.
    bool StepFocused(int direction);
    // A submenu of tools with the cell edits (set, add, scale, smooth) of the focused editor's
    // selection; their captions come from the caption tables by object name.
    void AddCellEditMenu(QMenu* tools);
    MapEditor* EditorByOwnerId(int ownerId) const;
    // Hands every program map the same map of a reference configuration; nullptr takes it away.
    void SetReference(const ParamImage* image);

    int Count() const { return static_cast<int>(editors_.size()); }
    MapEditor* At(int index) const { return editors_[static_cast<size_t>(index)]; }

    // "Autoscroll actual position": one switch for the window, on at start, not stored.
    int32_t autoscroll = 1;
    // "Colour cells by value" of the tables: one switch for the window, off at start, stored
    // with the window's settings.
    int32_t heatColours = 0;

private:
    // The heat switch as the editors last painted it: a change repaints all of them.
    int32_t paintedHeat_ = 0;
    MapEditorHost* host_;
    std::vector<QPointer<MapEditor>> editors_;
    // The program maps among them, with what their reference is loaded as.
    struct ProgramMapEditor {
        QPointer<MapEditor> editor;
        MapKind kind;
        int output;
    };
    std::vector<ProgramMapEditor> programMaps_;
};
