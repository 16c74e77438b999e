#include "app/WindowFit.h"

#include <gtest/gtest.h>

#include <vector>

TEST(WindowFit, Cases)
{
    const std::vector<QRect> two { QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024) };
    const std::vector<QRect> one { QRect(0, 0, 1920, 1080) };
    struct Case {
        const char* name;
        QRect window;
        std::vector<QRect> monitors;
        QRect expected;
    };
    const Case cases[] = {
        { "inside the first monitor", QRect(100, 100, 800, 600), two, QRect(100, 100, 800, 600) },
        { "inside the second monitor", QRect(2000, 100, 800, 600), two, QRect(2000, 100, 800, 600) },
        { "second monitor gone: moved fully onto the first", QRect(2000, 100, 800, 600), one,
            QRect(1120, 100, 800, 600) },
        { "sticks out left and top", QRect(-50, -20, 800, 600), one, QRect(0, 0, 800, 600) },
        { "larger than every monitor is shrunk", QRect(-100, -100, 4000, 3000), two, QRect(0, 0, 1920, 1080) },
        { "across both: the one it sticks out of least", QRect(1800, 100, 800, 600), two, QRect(1920, 100, 800, 600) },
        { "below the monitor", QRect(100, 1500, 800, 600), one, QRect(100, 480, 800, 600) },
        { "no monitors keeps it", QRect(5000, 5000, 10, 10), {}, QRect(5000, 5000, 10, 10) },
        { "tie takes the first", QRect(1870, 100, 100, 100), two, QRect(1820, 100, 100, 100) },
    };
    for (const Case& c : cases)
        EXPECT_EQ(FitWindowRect(c.window, c.monitors), c.expected) << c.name;
}
