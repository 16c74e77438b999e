#include "monitor/ui/BarGauge.h"

#include <QPainter>

#include <algorithm>

namespace {

constexpr int FRAME = 1;

} // namespace

BarGauge::BarGauge(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void BarGauge::setValue(int value)
{
    value_ = std::clamp(value, 0, maximum_);
    RefreshIfChanged();
}

void BarGauge::setMaximum(int maximum)
{
    maximum_ = std::max(1, maximum);
    value_ = std::min(value_, maximum_);
    RefreshIfChanged();
}

void BarGauge::setColour(const QColor& colour)
{
    if (colour == colour_)
        return;
    colour_ = colour;
    update();
}

void BarGauge::setTextVisible(bool visible)
{
    if (visible == textVisible_)
        return;
    textVisible_ = visible;
    update();
}

int BarGauge::percent() const { return static_cast<int>(int64_t(value_) * 100 / maximum_); }

QSize BarGauge::sizeHint() const { return { 100, std::max(12, fontMetrics().height() + 2 * FRAME) }; }

QSize BarGauge::minimumSizeHint() const { return { 2 * FRAME + 2, 2 * FRAME + 2 }; }

QRect BarGauge::Inside() const { return rect().adjusted(FRAME, FRAME, -FRAME, -FRAME); }

int BarGauge::FilledWidth() const { return static_cast<int>(int64_t(Inside().width()) * value_ / maximum_); }

void BarGauge::RefreshIfChanged()
{
    if (FilledWidth() == shownWidth_ && (!textVisible_ || percent() == shownPercent_))
        return;
    update();
}

void BarGauge::resizeEvent(QResizeEvent*) { shownWidth_ = -1; }

void BarGauge::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect inside = Inside();
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.fillRect(inside, palette().color(QPalette::Base));
    shownWidth_ = FilledWidth();
    if (shownWidth_ > 0)
        p.fillRect(QRect(inside.topLeft(), QSize(shownWidth_, inside.height())), colour_);
    shownPercent_ = percent();
    if (!textVisible_)
        return;
    // The text in the bar's colour on the empty part and in the background colour on the filled one.
    const QString text = QString("%1%").arg(shownPercent_);
    p.setPen(colour_);
    p.drawText(inside, Qt::AlignCenter, text);
    p.setClipRect(QRect(inside.topLeft(), QSize(shownWidth_, inside.height())));
    p.setPen(palette().color(QPalette::Base));
    p.drawText(inside, Qt::AlignCenter, text);
}
