#pragma once

#include "app/AppSettings.h"
#include "app/SettingsStore.h"

#include <QString>

struct OutsideSettings;
struct ParamFileState;
class ParamImage;
class MainWindow;

// The window's side of application.ini and default.ini: at start-up the saved settings go into
// the window and its parts, and every save collects them from there again.
class WindowSettings {
public:
    // A developer or a portable installation may name another settings folder in
    // VORDAX4_SETTINGS_DIR.
    WindowSettings(MainWindow& form, ParamImage& image, OutsideSettings& outside, ParamFileState& fileState);

    // Reads the settings over the present state: the window's place, the language, the port
    // selection, the file names and history, the active page and the monitor player. The image
    // read with them counts as the state of the file named with it.
    void Load();
    // Writes the present state; false with the reasons in error when a file could not be written.
    bool Save(QString* error);

    const SettingsStore& store() const { return store_; }

private:
    static SettingsPaths ChoosePaths();
    void Collect();

    MainWindow& form_;
    ParamImage& image_;
    OutsideSettings& outside_;
    ParamFileState& fileState_;
    SettingsStore store_;
    AppSettings settings_;
};
