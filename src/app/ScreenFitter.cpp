#include "app/ScreenFitter.h"

#include "app/WindowFit.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace {

// Until a window manager has framed a window, its frame is taken to be a usual title bar and border.
const QMargins USUAL_FRAME(4, 30, 4, 4);
// Set on a window between being shown and its frame being known.
const char* const FIT_PENDING = "vordax4FitPending";

QMargins lastFrameSeen = USUAL_FRAME;
// Some window managers frame a window without a move or resize that the program sees, so the frame
// is also looked for a while after the window is shown.
constexpr int FRAME_LOOK_MS = 50;
constexpr int FRAME_LOOKS = 40;

bool IsFittedWindow(const QWidget* widget)
{
    if (!widget || !widget->isWindow())
        return false;
    const Qt::WindowType type = widget->windowType();
    return type == Qt::Window || type == Qt::Dialog || type == Qt::Sheet;
}

QMargins KnownFrame(const QWidget& window)
{
    const QWindow* handle = window.windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

QScreen* ScreenOf(const QWidget& window)
{
    if (QScreen* s = window.screen())
        return s;
    return QGuiApplication::primaryScreen();
}

QRect ClientArea(const QRect& available, const QMargins& frame) { return available.marginsRemoved(frame); }

} // namespace

ScreenFitter::ScreenFitter(QObject* parent) : QObject(parent) { qApp->installEventFilter(this); }

QMargins ScreenFitter::FrameOf(const QWidget& window)
{
    const QMargins known = KnownFrame(window);
    if (!known.isNull()) {
        lastFrameSeen = known;
        return known;
    }
    return lastFrameSeen;
}

std::vector<QRect> ScreenFitter::ClientAreas()
{
    std::vector<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas.push_back(ClientArea(screen->availableGeometry(), lastFrameSeen));
    return areas;
}

void ScreenFitter::BringInside(QWidget& window)
{
    const QScreen* screen = ScreenOf(window);
    if (!screen)
        return;
    const QRect area = ClientArea(screen->availableGeometry(), FrameOf(window));
    if (area.isEmpty())
        return;
    const QRect inside = window.geometry();
    const QRect fitted = FitWindowRect(inside, std::vector<QRect> { area });
    if (fitted == inside)
        return;
    // A window that cannot shrink as far as the screen keeps its least size, its title bar on the screen.
    const QMargins frame = FrameOf(window);
    window.resize(fitted.size());
    window.move(fitted.topLeft() - QPoint(frame.left(), frame.top()));
}

void ScreenFitter::Centre(QWidget& window)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QMargins frame = FrameOf(window);
    const QRect area = screen->availableGeometry();
    const QSize outer = window.size().grownBy(frame);
    window.move(area.left() + std::max(0, (area.width() - outer.width()) / 2),
        area.top() + std::max(0, (area.height() - outer.height()) / 2));
    BringInside(window);
}

bool ScreenFitter::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::Show && type != QEvent::Move && type != QEvent::Resize)
        return false;
    auto* window = qobject_cast<QWidget*>(watched);
    if (!IsFittedWindow(window))
        return false;
    if (type == QEvent::Show) {
        window->setProperty(FIT_PENDING, true);
        BringInside(*window);
        LookForFrame(window, FRAME_LOOKS);
    } else {
        FitOnceFramed(*window);
    }
    return false;
}

bool ScreenFitter::FitOnceFramed(QWidget& window)
{
    if (!window.property(FIT_PENDING).toBool() || KnownFrame(window).isNull())
        return false;
    // The window manager framed the window: with its real frame it may stick out after all.
    window.setProperty(FIT_PENDING, false);
    BringInside(window);
    return true;
}

void ScreenFitter::LookForFrame(QWidget* window, int looksLeft)
{
    QTimer::singleShot(FRAME_LOOK_MS, window, [guard = QPointer<QWidget>(window), looksLeft] {
        if (!guard || !guard->isVisible() || !guard->property(FIT_PENDING).toBool())
            return;
        if (!FitOnceFramed(*guard) && looksLeft > 1)
            LookForFrame(guard, looksLeft - 1);
    });
}
