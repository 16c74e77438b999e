#pragma once

#include <QRect>
#include <QString>
#include <QStringList>

// The window and run-time settings kept between runs in application.ini. The window fills it
// from its widgets before saving and applies it after loading.
struct AppSettings {
    QRect window; // "Left", "Top", "Width", "Height"
    int comPort = 0; // "ComPort": -1 off, 0 automatic, 1..255 a fixed port
    int comPortAuto = 1; // "ComPortAuto": the next port the automatic search tries
    int language = 0; // "Language": the language index 0 English, 1 German, 2 Czech
    QString file; // "File": the current parameter file
    QString iniFileDir; // "IniFileDir": presets the open and save dialogs
    int activePage = 0; // "PageControl1->ActivePageIndex"
    int newInstal = 1; // "NEWINSTAL": while not 0 programming the unit is refused
    bool monitorPlayer = false; // "MONITORPLAYER": GroupBoxPlayer is shown
    bool mapHeatColours = false; // "MapHeatColours": the map tables colour their cells by value
    QStringList history; // "MenuHistory00".."MenuHistory09"; entry 0 is the current file
    // "KnownUnitPort", "KnownUnitRow", "KnownUnitBaud": the last connected unit, tried first by the
    // search; port 0 when none is known.
    int knownUnitPort = 0;
    int knownUnitRow = -1;
    int knownUnitBaud = 0;
};
