#pragma once

class MapModel;

// How a map editor reports to its owner (the main window). The editor never touches the
// ParamImage: the owner copies a committed map back when OnMapChanged arrives.
class MapEditorHost {
public:
    virtual ~MapEditorHost() = default;
    // A committed edit; mask tells the changed axes (1 X, 2 Y, 4 data). The editor is known by
    // identity (and by its ownerId).
    virtual void OnMapChanged(MapModel& editor, int mask) = 0;
    // A message box with the text already in the chosen language (the "count is on maximum"
    // and the table-dimension messages).
    virtual void ShowMapMessage(MapModel& editor, const char* text) = 0;
};
