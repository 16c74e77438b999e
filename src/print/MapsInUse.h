#pragma once

#include "print/PrintedMap.h"

#include <vector>

class QMainWindow;
class QString;
struct MapSheet;

// The maps the window's settings use, read from its map editors: every sheet switched on in an
// editor the settings show, on the pages shown as tabs, in the order of the tabs.
class MapsInUse {
public:
    static std::vector<PrintedMap> Of(QMainWindow& window);
    // The table of one sheet as its editor shows it: the entries of its axes (one where an axis is
    // switched off, the regions between the points of a compact map) and their cells.
    static PrintedMap Read(const MapSheet& sheet, bool compact, const QString& title);
};
