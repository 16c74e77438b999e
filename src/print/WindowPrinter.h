#pragma once

#include <QString>

class QMainWindow;
class QPagedPaintDevice;
class QPainter;
class QRect;

// Prints the main window in its printable form: the window drawn to fit the page as vector
// drawing and text, under a head line that names what is printed and above the status bar's
// texts. Every call prepares the window and restores it before it returns, also when the device
// cannot be written.
class WindowPrinter {
public:
    // The window with its active page on one page. False when nothing could be painted.
    static bool PrintActive(QMainWindow& window, QPagedPaintDevice& device, const QString& header);
    // One page for each settings sheet shown as a tab, then the maps in use as numbers; the active
    // sheet is active again after. Returns the number of pages printed, 0 when nothing could be painted.
    static int PrintAll(QMainWindow& window, QPagedPaintDevice& device, const QString& header);

    // Draws the window into page, under header when there is one, with the status bar's texts whole
    // at the foot of the page.
    static void PaintWindow(QMainWindow& window, QPainter& painter, const QRect& page, const QString& header);
    // Writes the head line across the top of area; returns the height it took.
    static int PaintHeadLine(QPainter& painter, const QRect& area, const QString& header);
};
