#pragma once

#include "monitor/MonitorPlayer.h"

#include <string>

class ConnectionManager;
class RuntimeTexts;
class WindowUndo;
struct ParamFileState;

// What the window's monitor side asks of the parts built after it: the link that feeds live data
// and whose state a recording keeps, the pages a recording logs and replays, and the texts and
// status of the window it shows the monitor in.
class MonitorHost {
public:
    virtual ~MonitorHost() = default;

    // 0 while no unit is connected.
    virtual int ConnectedPort() const = 0;
    // A live unit feeds the monitor display once it has sent monitor data.
    virtual bool UnitFeedsMonitor() const = 0;
    // The unit's mirror, its information and the comparison of the image with it.
    virtual ConnectionManager& Connection() = 0;
    // The text of the unit panel of the status bar, as a recording keeps it.
    virtual std::string UnitPanelText() const = 0;
    virtual const RuntimeTexts& Texts() const = 0;
    // The program's compile date, as a recording keeps it.
    virtual const std::string& CompileDate() const = 0;
    // The page shown and the map each editor shows.
    virtual PageRecord ShownPages() const = 0;
    virtual void ShowPages(const PageRecord& record) = 0;
    // The monitor data decide what some pages show: their visibility follows a change of it.
    virtual void UpdatePageVisibility() = 0;
    // What a replay keeps aside and puts back: the undo history and the file the settings came from.
    virtual WindowUndo& UndoSide() = 0;
    virtual ParamFileState& FileState() = 0;
};
