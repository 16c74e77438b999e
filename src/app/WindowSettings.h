#pragma once

#include "app/AppSettings.h"

#include <QString>

struct OutsideSettings;
struct ParamFileState;
class FileMenu;
class MapEditorList;
class ParamImage;
class QWidget;
class SettingsStore;
class UnitSearch;
class WindowMonitor;
class WindowPages;

// The window's side of application.ini and default.ini: at start-up the saved settings go into
// the window and its parts, and every save collects them from there again.
class WindowSettings {
public:
    // Where the saved settings live in the running program.
    struct Parts {
        QWidget& window; // its place and size
        UnitSearch& search; // the next port to search and the unit last connected
        FileMenu& fileMenu; // the dialogs' file name and the history items
        WindowPages& pages; // the active page
        WindowMonitor& monitor; // whether the player is shown
        MapEditorList& maps; // the tables' heat colours
    };

    WindowSettings(const SettingsStore& store, Parts parts, ParamImage& image, OutsideSettings& outside,
        ParamFileState& fileState);

    // Reads the settings over the present state: the window's place, the language, the port
    // selection, the file names and history, the active page and the monitor player. The image
    // read with them counts as the state of the file named with it.
    void Load();
    // Writes the present state; false with the reasons in error when a file could not be written.
    bool Save(QString* error);

private:
    void Collect();

    const SettingsStore& store_;
    Parts parts_;
    ParamImage& image_;
    OutsideSettings& outside_;
    ParamFileState& fileState_;
    AppSettings settings_;
};
