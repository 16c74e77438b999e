#pragma once

#include <QMargins>
#include <QObject>
#include <QRect>

#include <vector>

class QScreen;
class QWidget;

// Keeps every window of the program inside the usable area of its screen (without task bars and
// docks), frame and title bar included: the main window, the log viewer, every dialog and message
// box. A window is brought inside when it is shown, and once more when the window manager has put
// its frame around it and the frame's size is known. A window the user moves later is left alone.
class ScreenFitter : public QObject {
public:
    // Watches the windows of the whole application while it lives.
    explicit ScreenFitter(QObject* parent);

    // Moves and, where it must, shrinks window so that its frame lies inside its screen's available area.
    static void BringInside(QWidget& window);
    // Centres window, frame included, in the available area of the primary screen.
    static void Centre(QWidget& window);
    // The area a window's inside (without its frame) may take on each screen.
    static std::vector<QRect> ClientAreas();
    // The frame the window manager puts around window: its own once known, else the last one seen
    // on any window, else a usual title bar and border.
    static QMargins FrameOf(const QWidget& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Fits window once more when its frame has become known since it was shown; false while unknown.
    static bool FitOnceFramed(QWidget& window);
    // Looks for window's frame every little while, looksLeft more times, until it is known.
    static void LookForFrame(QWidget* window, int looksLeft);
};
