#include "monitor/ui/LogPlotWidget.h"

#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <QWheelEvent>

#include <algorithm>

namespace {

constexpr double MIN_SPAN = 0.05; // seconds
constexpr double WHEEL_ZOOM = 0.8;

} // namespace

LogPlotWidget::LogPlotWidget(const LogPlot& plot, QWidget* parent) : QWidget(parent), plot_(plot)
{
    setObjectName("LogPlot");
    setMinimumSize(400, 250);
    setMouseTracking(false);
    band_ = new QRubberBand(QRubberBand::Rectangle, this);
}

void LogPlotWidget::FitAll()
{
    SetSpan(plot_.start(), std::max(plot_.end(), plot_.start() + MIN_SPAN));
}

void LogPlotWidget::SetSpan(double from, double to)
{
    if (to - from < MIN_SPAN)
        to = from + MIN_SPAN;
    view_.from = from;
    view_.to = to;
    update();
}

void LogPlotWidget::ShowSample(int sample)
{
    const double cursor = sample < 0 || plot_.empty() ? std::nan("") : plot_.times()[static_cast<size_t>(sample)];
    if (cursor == view_.cursor || (std::isnan(cursor) && std::isnan(view_.cursor)))
        return;
    view_.cursor = cursor;
    update();
}

QImage LogPlotWidget::Picture() const
{
    QImage picture(size(), QImage::Format_RGB32);
    QPainter p(&picture);
    LogPlotPainter(plot_, view_).Paint(p, picture.rect());
    return picture;
}

void LogPlotWidget::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    LogPlotPainter(plot_, view_).Paint(p, rect());
}

void LogPlotWidget::MoveCursorTo(int x)
{
    if (plot_.empty())
        return;
    // Half a column more, so that a click on the column where a record begins selects it.
    const LogPlotPainter painter(plot_, view_);
    const double halfColumn = (painter.TimeAt(rect(), x + 1) - painter.TimeAt(rect(), x)) / 2;
    const int sample = plot_.SampleAt(painter.TimeAt(rect(), x) + halfColumn);
    ShowSample(sample);
    if (cursorMoved)
        cursorMoved(sample);
}

void LogPlotWidget::mousePressEvent(QMouseEvent* e)
{
    dragStartX_ = e->position().toPoint().x();
    dragFrom_ = view_.from;
    dragTo_ = view_.to;
    const bool pan = e->button() == Qt::MiddleButton
        || (e->button() == Qt::LeftButton && (e->modifiers() & Qt::ControlModifier));
    if (pan) {
        drag_ = Drag::Pan;
    } else if (e->button() == Qt::RightButton) {
        drag_ = Drag::Band;
        band_->setGeometry(QRect(dragStartX_, 0, 1, height()));
        band_->show();
    } else if (e->button() == Qt::LeftButton) {
        drag_ = Drag::Cursor;
        MoveCursorTo(dragStartX_);
    }
}

void LogPlotWidget::mouseMoveEvent(QMouseEvent* e)
{
    const int x = e->position().toPoint().x();
    switch (drag_) {
    case Drag::Cursor:
        MoveCursorTo(x);
        break;
    case Drag::Pan: {
        const double perPixel = (dragTo_ - dragFrom_) / std::max(1, LogPlotPainter::PlotArea(rect()).width());
        const double shift = (dragStartX_ - x) * perPixel;
        SetSpan(dragFrom_ + shift, dragTo_ + shift);
        break;
    }
    case Drag::Band:
        band_->setGeometry(QRect(QPoint(std::min(x, dragStartX_), 0), QPoint(std::max(x, dragStartX_), height())));
        break;
    case Drag::None:
        break;
    }
}

void LogPlotWidget::mouseReleaseEvent(QMouseEvent* e)
{
    if (drag_ == Drag::Band) {
        band_->hide();
        const int x = e->position().toPoint().x();
        if (std::abs(x - dragStartX_) > 3) {
            const LogPlotPainter painter(plot_, view_);
            const double a = painter.TimeAt(rect(), dragStartX_), b = painter.TimeAt(rect(), x);
            SetSpan(std::min(a, b), std::max(a, b));
        }
    }
    drag_ = Drag::None;
}

void LogPlotWidget::wheelEvent(QWheelEvent* e)
{
    const double at = LogPlotPainter(plot_, view_).TimeAt(rect(), e->position().toPoint().x());
    const double factor = e->angleDelta().y() > 0 ? WHEEL_ZOOM : 1.0 / WHEEL_ZOOM;
    SetSpan(at - (at - view_.from) * factor, at + (view_.to - at) * factor);
    e->accept();
}
