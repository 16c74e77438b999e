#pragma once

#include <QColor>
#include <QWidget>

// A flat bar gauge: a sunken frame filled from the left by value / maximum in one colour, with the
// percentage written across it when asked. The live monitor changes its gauges a few times a
// second; the gauge repaints only when the filled width, the colour or the text would change, and
// it only asks for a paint (update), so a change never forces a synchronous repaint of the window.
class BarGauge : public QWidget {
    Q_OBJECT

public:
    explicit BarGauge(QWidget* parent = nullptr);

    int value() const { return value_; }
    int maximum() const { return maximum_; }
    QColor colour() const { return colour_; }
    bool textVisible() const { return textVisible_; }
    // The value is kept within 0..maximum; a maximum below 1 counts as 1.
    void setValue(int value);
    void setMaximum(int maximum);
    void setColour(const QColor& colour);
    void setTextVisible(bool visible);
    // The percentage written across the bar, as shown.
    int percent() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;

private:
    QRect Inside() const;
    int FilledWidth() const;
    // Repaints when what is shown differs from what was painted last.
    void RefreshIfChanged();

    int value_ = 0;
    int maximum_ = 100;
    QColor colour_ { 0, 0, 128 };
    bool textVisible_ = false;
    int shownWidth_ = -1;
    int shownPercent_ = -1;
};
