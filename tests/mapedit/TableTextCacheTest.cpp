#include "mapedit/ui/TableTextCache.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

namespace {

QImage Blank() { return QImage(120, 40, QImage::Format_RGB32); }

// A text drawn from the cache lands on the same pixels as one drawn by QPainter::drawText,
// centred in its element and cut at the element's edges when it is too wide or too tall; drawn
// again from the cache (laid out already) it is the same once more.
TEST(TableTextCacheTest, DrawsTextsAsDrawTextDoesAlsoWhenTheyAreCut)
{
    struct Case {
        const char* text;
        QRect rect;
        int pixelSize;
        bool bold;
    };
    const Case cases[] = {
        { "25", QRect(10, 5, 60, 20), 16, true },
        { "-3.5°", QRect(0, 0, 120, 40), 13, false },
        { "10 000", QRect(40, 10, 30, 20), 16, true },
        { "1 500", QRect(5, 12, 50, 8), 16, true },
    };
    TableTextCache cache;
    for (int round = 0; round < 2; ++round)
        for (size_t i = 0; i < std::size(cases); ++i) {
            const Case& c = cases[i];
            QFont font;
            font.setPixelSize(c.pixelSize);
            font.setBold(c.bold);
            QImage expected = Blank();
            expected.fill(Qt::white);
            QImage got = expected;
            {
                QPainter p(&expected);
                p.setFont(font);
                p.drawText(c.rect, Qt::AlignCenter, QString::fromUtf8(c.text));
            }
            {
                QPainter p(&got);
                const int key = int(i);
                p.setFont(cache.Font(key, [&] { return font; }));
                cache.DrawCentred(p, c.rect, c.text, key);
            }
            EXPECT_EQ(got, expected) << c.text << " round " << round;
        }
}

// Columns holding ink (any pixel darker than white) within the image.
std::pair<int, int> InkColumns(const QImage& image)
{
    int first = image.width(), last = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 200) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
    return { first, last };
}

// A value wider than its element is drawn smaller, whole and inside the element; one that fits
// is drawn in its own size, exactly as centred.
TEST(TableTextCacheTest, FittedTextsShrinkIntoTheirElementInsteadOfBeingCut)
{
    QFont font;
    font.setPixelSize(16);
    font.setBold(true);
    TableTextCache cache;
    const auto draw = [&](const QRect& rect, const char* text, bool fitted) {
        QImage image = Blank();
        image.fill(Qt::white);
        QPainter p(&image);
        p.setFont(cache.Font(0, [&] { return font; }));
        if (fitted)
            cache.DrawFitted(p, rect, text, 0, 6);
        else
            cache.DrawCentred(p, rect, text, 0);
        EXPECT_EQ(p.font(), font) << "the painter keeps its font";
        return image;
    };
    const QRect narrow(40, 10, 40, 20);
    const auto [first, last] = InkColumns(draw(narrow, "10 000", true));
    EXPECT_GT(first, narrow.left()) << "the first digit is whole";
    EXPECT_LT(last, narrow.right()) << "the last digit is whole";
    EXPECT_NE(draw(narrow, "10 000", true), draw(narrow, "10 000", false)) << "centred, it is cut";

    const QRect wide(10, 10, 100, 20);
    EXPECT_EQ(draw(wide, "10 000", true), draw(wide, "10 000", false));
}

} // namespace
