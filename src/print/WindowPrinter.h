#pragma once

#include <QString>

class QMainWindow;
class QPagedPaintDevice;
class QPainter;
class QRect;

// Prints the main window in its printable form: the window's picture scaled to fit the page,
// under a head line that names what is printed. Every call prepares the window and restores it
// before it returns, also when the device cannot be written.
class WindowPrinter {
public:
    // The window with its active page on one page. False when nothing could be painted.
    static bool PrintActive(QMainWindow& window, QPagedPaintDevice& device, const QString& header);
    // One page for each settings sheet shown as a tab; the active sheet is active again after.
    // Returns the number of pages printed, 0 when nothing could be painted.
    static int PrintAll(QMainWindow& window, QPagedPaintDevice& device, const QString& header);

    // Paints the window's picture into page, under header when there is one.
    static void PaintWindow(QMainWindow& window, QPainter& painter, const QRect& page, const QString& header);
};
