#include "print/WindowPrinter.h"

#include "print/MapsInUse.h"
#include "print/MapsPrinter.h"
#include "print/PrintPreparer.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QLayout>
#include <QMainWindow>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPicture>
#include <QPointer>
#include <QStatusBar>
#include <QTabWidget>

#include <algorithm>
#include <map>

namespace {

constexpr qreal HEAD_POINTS = 9;
constexpr qreal STATUS_POINTS = 8;
const char* const PANEL_GAP = "     ";

// Records one widget and, above it, its children, each cut to its own rectangle and its parents':
// a picture keeps only the clipping its painter was given, so every widget gets it in turn.
void RecordWidget(QWidget& widget, QPainter& painter, const QPoint& offset, const QRect& clip)
{
    const QRect area = clip & QRect(offset, widget.size());
    if (area.isEmpty())
        return;
    painter.save();
    painter.setClipRect(area);
    const QWidget::RenderFlags flags = widget.isWindow() ? QWidget::DrawWindowBackground : QWidget::RenderFlags();
    widget.render(&painter, offset, QRegion(), flags);
    painter.restore();
    // Painting may make or drop helper children (a layout's, a style's): the list is taken first.
    QList<QPointer<QWidget>> children;
    for (QObject* child : widget.children())
        if (auto* w = qobject_cast<QWidget*>(child))
            children << w;
    for (const QPointer<QWidget>& w : children)
        if (w && !w->isWindow() && !w->isHidden())
            RecordWidget(*w, painter, offset + w->pos(), area);
}

// The window's drawing recorded as drawing commands, not as pixels: on paper its texts stay
// texts that can be searched and copied, and lines stay sharp at any size.
QPicture WindowPicture(QMainWindow& window)
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    if (window.layout())
        window.layout()->activate();
    QPicture picture;
    QPainter painter(&picture);
    painter.fillRect(window.rect(), Qt::white);
    RecordWidget(window, painter, QPoint(), window.rect());
    painter.end();
    return picture;
}

// The texts of the status bar's panels from left to right, each whole however narrow its panel.
QString StatusText(QMainWindow& window)
{
    const QStatusBar* bar = window.findChild<QStatusBar*>(QString(), Qt::FindDirectChildrenOnly);
    if (!bar)
        return {};
    QList<QLabel*> panels = bar->findChildren<QLabel*>();
    std::sort(panels.begin(), panels.end(), [](const QLabel* a, const QLabel* b) { return a->x() < b->x(); });
    QStringList texts;
    for (const QLabel* panel : panels)
        if (!panel->isHidden() && !panel->text().trimmed().isEmpty())
            texts << panel->text().simplified();
    return texts.join(PANEL_GAP);
}

// Writes text across the top of area in a font of points size; returns the height it took.
int DrawTextBlock(QPainter& painter, const QRect& area, const QString& text, qreal points, int flags)
{
    if (text.isEmpty())
        return 0;
    QFont font = painter.font();
    font.setPointSizeF(points);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QRect needed = painter.boundingRect(area, flags | Qt::TextWordWrap, text);
    painter.drawText(needed, flags | Qt::TextWordWrap, text);
    return needed.height() + QFontMetrics(font, painter.device()).height() / 2;
}

QRect PageArea(QPainter& painter)
{
    return QRect(QPoint(0, 0), QSize(painter.device()->width(), painter.device()->height()));
}

// Shows only the tab of one sheet, so that the window shows that sheet alone.
void ShowOnlyTab(QTabWidget& tabs, const std::vector<PrintPreparer::Sheet>& sheets, QWidget* sheet)
{
    for (const PrintPreparer::Sheet& s : sheets)
        if (s.tabs == &tabs)
            tabs.setTabVisible(tabs.indexOf(s.sheet), s.sheet == sheet);
    tabs.setCurrentWidget(sheet);
}

} // namespace

int WindowPrinter::PaintHeadLine(QPainter& painter, const QRect& area, const QString& header)
{
    return DrawTextBlock(painter, area, header, HEAD_POINTS, Qt::AlignLeft | Qt::AlignTop);
}

void WindowPrinter::PaintWindow(QMainWindow& window, QPainter& painter, const QRect& page, const QString& header)
{
    QRect area = page;
    area.setTop(area.top() + PaintHeadLine(painter, area, header));
    const QString status = StatusText(window);
    if (!status.isEmpty()) {
        QFont font = painter.font();
        font.setPointSizeF(STATUS_POINTS);
        const QRect needed
            = QFontMetrics(font, painter.device()).boundingRect(area, Qt::AlignLeft | Qt::TextWordWrap, status);
        const QRect footer(area.left(), area.bottom() - needed.height(), area.width(), needed.height() + 1);
        DrawTextBlock(painter, footer, status, STATUS_POINTS, Qt::AlignLeft | Qt::AlignBottom);
        area.setBottom(footer.top() - needed.height() / 2);
    }
    const QPicture picture = WindowPicture(window);
    const QSizeF size = window.size();
    if (size.isEmpty() || area.isEmpty())
        return;
    const qreal scale = std::min(area.width() / size.width(), area.height() / size.height());
    painter.save();
    painter.translate(area.left() + (area.width() - size.width() * scale) / 2, area.top());
    painter.scale(scale, scale);
    painter.setClipRect(QRectF(QPointF(0, 0), size));
    // A picture played on a device of another resolution grows by the ratio of the two; the
    // window's size is already allowed for above.
    const qreal resolution = qreal(picture.logicalDpiX()) / painter.device()->logicalDpiX();
    painter.scale(resolution, resolution);
    painter.drawPicture(0, 0, picture);
    painter.restore();
}

bool WindowPrinter::PrintActive(QMainWindow& window, QPagedPaintDevice& device, const QString& header)
{
    PrintPreparer preparer;
    preparer.Prepare(window);
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    PaintWindow(window, painter, PageArea(painter), header);
    return painter.end();
}

int WindowPrinter::PrintAll(QMainWindow& window, QPagedPaintDevice& device, const QString& header)
{
    // Read before the window turns printable, as the user sees the maps.
    const std::vector<PrintedMap> maps = MapsInUse::Of(window);
    PrintPreparer preparer;
    preparer.Prepare(window);
    const auto& sheets = preparer.sheets();
    std::map<QTabWidget*, QWidget*> active;
    for (const PrintPreparer::Sheet& s : sheets)
        if (s.tabs)
            active.emplace(s.tabs.data(), s.tabs->currentWidget());

    QPainter painter;
    int pages = 0;
    if (painter.begin(&device)) {
        for (const PrintPreparer::Sheet& s : sheets) {
            if (!s.tabs || !s.sheet)
                continue;
            ShowOnlyTab(*s.tabs, sheets, s.sheet);
            if (pages > 0 && !device.newPage())
                break;
            PaintWindow(window, painter, PageArea(painter), header);
            ++pages;
        }
        const int mapPages = pages > 0 ? MapsPrinter::PaintPages(painter, device, maps, header, true) : 0;
        pages = mapPages < 0 ? 0 : pages + mapPages;
        if (!painter.end())
            pages = 0;
    }
    for (const PrintPreparer::Sheet& s : sheets)
        if (s.tabs && s.sheet)
            s.tabs->setTabVisible(s.tabs->indexOf(s.sheet), true);
    for (const auto& [tabs, sheet] : active)
        if (sheet)
            tabs->setCurrentWidget(sheet);
    return pages;
}
