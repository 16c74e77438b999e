#include "mapedit/ui/TableTextCache.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

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

} // namespace
