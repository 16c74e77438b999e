#include "mapedit/TriangleFill.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// A 20 x 20 picture; each triangle is filled into its own layer so that overlaps can be counted.
struct Picture {
    static constexpr int SIZE = 20;
    std::vector<std::vector<uint32_t>> layers;

    TriangleFill::Target Layer(int left = 0, int top = 0, int right = SIZE, int bottom = SIZE)
    {
        layers.emplace_back(SIZE * SIZE, 0u);
        return { layers.back().data(), SIZE, left, top, right, bottom };
    }
    int Coverage(int x, int y) const
    {
        int n = 0;
        for (const auto& layer : layers)
            n += layer[static_cast<size_t>(y * SIZE + x)] != 0;
        return n;
    }
};

using Corner = TriangleFill::Corner;

TEST(TriangleFillRule, TwoTrianglesOfASquareCoverEachPixelOnce)
{
    Picture pic;
    const Corner a { 2.3, 2.7 }, b { 15.6, 3.1 }, c { 16.2, 14.9 }, d { 1.9, 15.4 };
    TriangleFill::Fill(pic.Layer(), a, b, c, 1);
    TriangleFill::Fill(pic.Layer(), c, d, a, 1);
    // Inside the quadrilateral: the pixel centre lies left of every edge walked a, b, c, d.
    auto inside = [&](double x, double y) {
        const Corner q[4] = { a, b, c, d };
        for (int k = 0; k < 4; ++k) {
            const Corner& p = q[k];
            const Corner& n = q[(k + 1) % 4];
            if ((n.x - p.x) * (y - p.y) - (n.y - p.y) * (x - p.x) < 0)
                return false;
        }
        return true;
    };
    for (int y = 0; y < Picture::SIZE; ++y)
        for (int x = 0; x < Picture::SIZE; ++x)
            EXPECT_EQ(pic.Coverage(x, y), inside(x + 0.5, y + 0.5) ? 1 : 0) << x << "," << y;
}

TEST(TriangleFillRule, TheFourTrianglesOfACellThroughItsCentreLeaveNoGap)
{
    Picture pic;
    const Corner q[4] = { { 1.25, 3.5 }, { 18.1, 1.3 }, { 17.7, 18.6 }, { 2.2, 16.05 } };
    const Corner centre { (q[0].x + q[1].x + q[2].x + q[3].x) / 4, (q[0].y + q[1].y + q[2].y + q[3].y) / 4 };
    for (int k = 0; k < 4; ++k)
        TriangleFill::Fill(pic.Layer(), q[k], q[(k + 1) % 4], centre, 7);
    for (int y = 5; y < 15; ++y)
        for (int x = 4; x < 16; ++x)
            EXPECT_EQ(pic.Coverage(x, y), 1) << x << "," << y;
}

TEST(TriangleFillRule, OnlyTheClipIsWritten)
{
    Picture pic;
    TriangleFill::Fill(pic.Layer(5, 6, 12, 9), { -100, -100 }, { 300, -50 }, { -40, 400 }, 3);
    for (int y = 0; y < Picture::SIZE; ++y)
        for (int x = 0; x < Picture::SIZE; ++x)
            EXPECT_EQ(pic.Coverage(x, y), x >= 5 && x < 12 && y >= 6 && y < 9 ? 1 : 0) << x << "," << y;
}

TEST(TriangleFillRule, FlatAndBrokenTrianglesFillNothing)
{
    Picture pic;
    TriangleFill::Fill(pic.Layer(), { 2, 2 }, { 10, 10 }, { 18, 18 }, 1);
    TriangleFill::Fill(pic.Layer(), { 2, 5 }, { 10, 5 }, { 18, 5 }, 1);
    TriangleFill::Fill(pic.Layer(), { 2, 2 }, { std::nan(""), 10 }, { 18, 2 }, 1);
    TriangleFill::Fill(pic.Layer(), { 2, 2 }, { INFINITY, INFINITY }, { 18, 2 }, 1);
    for (int y = 0; y < Picture::SIZE; ++y)
        for (int x = 0; x < Picture::SIZE; ++x)
            EXPECT_EQ(pic.Coverage(x, y), 0) << x << "," << y;
}

} // namespace
