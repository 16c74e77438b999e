#include "print/WindowPrinter.h"

#include "print/PrintPreparer.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QLayout>
#include <QMainWindow>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPixmap>
#include <QTabWidget>

#include <map>

namespace {

// The window is pictured at twice its size so that text stays sharp on paper.
constexpr qreal PICTURE_SCALE = 2.0;

QPixmap WindowPicture(QMainWindow& window)
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    if (window.layout())
        window.layout()->activate();
    QPixmap picture(window.size() * PICTURE_SCALE);
    picture.setDevicePixelRatio(PICTURE_SCALE);
    picture.fill(Qt::white);
    window.render(&picture, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
    return picture;
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

void WindowPrinter::PaintWindow(QMainWindow& window, QPainter& painter, const QRect& page, const QString& header)
{
    QRect area = page;
    if (!header.isEmpty()) {
        QFont font = painter.font();
        font.setPointSizeF(9);
        painter.setFont(font);
        const int lineHeight = QFontMetrics(font, painter.device()).height();
        painter.setPen(Qt::black);
        painter.drawText(
            QRect(area.left(), area.top(), area.width(), lineHeight), Qt::AlignLeft | Qt::AlignVCenter, header);
        area.setTop(area.top() + lineHeight * 3 / 2);
    }
    const QPixmap picture = WindowPicture(window);
    const QSizeF size = picture.deviceIndependentSize();
    if (size.isEmpty() || area.isEmpty())
        return;
    const qreal scale = std::min(area.width() / size.width(), area.height() / size.height());
    const QSizeF target = size * scale;
    painter.drawPixmap(QRectF(QPointF(area.left() + (area.width() - target.width()) / 2, area.top()), target), picture,
        QRectF(picture.rect()));
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
