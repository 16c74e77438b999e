#pragma once

#include "files/FileHistory.h"
#include "model/ParamImage.h"

#include <QString>

// What the file commands change besides the image; owned by the main window and persisted by
// the settings store ("File", "IniFileDir", "MenuHistory%02i", "NEWINSTAL").
struct ParamFileState {
    QString currentFile; // empty after New; shown in the window title
    QString fileFolder; // presets the open and save dialogs
    FileHistory history;
    int newInstal = 1; // while not 0 programming the unit is refused
    ParamImage savedImage; // the image as last saved or opened
    bool unchanged = true;
};
