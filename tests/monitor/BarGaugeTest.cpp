#include "monitor/ui/BarGauge.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

namespace {

struct Case {
    int maximum;
    int value;
    int expectedMaximum;
    int expectedValue;
    int expectedPercent;
};

// Counts the paint events a widget receives.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        paints += e->type() == QEvent::Paint;
        return false;
    }
};

// The pixels of the gauge's middle row, inside its frame, that carry the colour.
int FilledPixels(BarGauge& gauge, const QColor& colour)
{
    const QImage picture = gauge.grab().toImage();
    int filled = 0;
    for (int x = 1; x < picture.width() - 1; ++x)
        filled += picture.pixelColor(x, picture.height() / 2) == colour;
    return filled;
}

} // namespace

TEST(BarGauge, ValuesStayWithinTheMaximumAndGiveTheirPercentage)
{
    const Case cases[] = {
        { 100, 50, 100, 50, 50 },
        { 100, 150, 100, 100, 100 },
        { 100, -5, 100, 0, 0 },
        { 300, 101, 300, 101, 33 },
        { 0, 3, 1, 1, 100 },
        { -7, 0, 1, 0, 0 },
    };
    for (const Case& c : cases) {
        BarGauge gauge;
        gauge.setMaximum(c.maximum);
        gauge.setValue(c.value);
        EXPECT_EQ(gauge.maximum(), c.expectedMaximum) << c.maximum << " " << c.value;
        EXPECT_EQ(gauge.value(), c.expectedValue) << c.maximum << " " << c.value;
        EXPECT_EQ(gauge.percent(), c.expectedPercent) << c.maximum << " " << c.value;
    }
    BarGauge shrinking;
    shrinking.setValue(80);
    shrinking.setMaximum(40);
    EXPECT_EQ(shrinking.value(), 40) << "a lower maximum takes the value along";
}

TEST(BarGauge, TheBarIsFilledInItsColourByValueOverMaximum)
{
    BarGauge gauge;
    gauge.setFixedSize(102, 12); // 100 pixels inside the frame
    const QColor red(255, 0, 0);
    gauge.setColour(red);
    for (const auto& [value, pixels] : { std::pair { 0, 0 }, { 30, 30 }, { 100, 100 } }) {
        gauge.setValue(value);
        EXPECT_EQ(FilledPixels(gauge, red), pixels) << value;
    }
    gauge.setMaximum(200);
    gauge.setValue(50);
    EXPECT_EQ(FilledPixels(gauge, red), 25);
}

// A new value is painted later, with the window's other paints, and only when it shows differently.
TEST(BarGauge, AChangeAsksForOnePaintAndAnInvisibleChangeForNone)
{
    BarGauge gauge;
    gauge.setFixedSize(52, 12); // 50 pixels inside the frame: 20 steps of 1000 to a pixel
    gauge.setMaximum(1000);
    gauge.setValue(500);
    PaintCounter counter;
    gauge.installEventFilter(&counter);
    gauge.show();
    QApplication::processEvents();
    counter.paints = 0;

    gauge.setValue(700);
    EXPECT_EQ(counter.paints, 0) << "no synchronous repaint";
    QApplication::processEvents();
    EXPECT_EQ(counter.paints, 1);

    gauge.setValue(719); // the same 35 pixels; no percentage written
    gauge.setColour(gauge.colour());
    QApplication::processEvents();
    EXPECT_EQ(counter.paints, 1) << "nothing that shows changed";

    // With the percentage written across it, 71 % shows even in the same pixels.
    gauge.setValue(700);
    gauge.setTextVisible(true);
    QApplication::processEvents();
    const int withText = counter.paints;
    gauge.setValue(719);
    QApplication::processEvents();
    EXPECT_EQ(counter.paints, withText + 1);
}
