#pragma once

#include "history/HistoryEvent.h"
#include "history/HistoryUnit.h"
#include "link/ConnectionHost.h"

#include <string>

struct UnitInfo;

// One event with the unit it concerns, as it goes to the database.
struct HistoryRecord {
    HistoryUnit unit;
    HistoryEvent event;

    // What the connection manager reported (ConnectionHost::CommandEnded), stamped with the time now
    // and the program's version. unit: the unit's configuration afterwards, or null.
    static HistoryRecord Make(ConnectionHost::CommandKind kind, bool ok, const ParamImage* unit, const UnitInfo& info,
        const std::string& file);
};

// "93.00 (2020_01_27)": the program's version and build date.
std::string HistoryProgramVersion();
