#pragma once

#include "print/PrintedMap.h"

#include <QString>

#include <vector>

class QMainWindow;
class QPagedPaintDevice;
class QPainter;

// The maps as numbers on paper: every map the settings use as a table of its values with its axes
// and units, under the same head line as the window's pages.
class MapsPrinter {
public:
    // Prints the window's maps in use on pages of their own. False when nothing could be painted.
    static bool Print(QMainWindow& window, QPagedPaintDevice& device, const QString& header);
    // Paints maps onto painter's device, beginning on a new page when newPage is set; returns the
    // number of pages begun, -1 when the device refused a new page.
    static int PaintPages(QPainter& painter, QPagedPaintDevice& device, const std::vector<PrintedMap>& maps,
        const QString& header, bool newPage);
};
