#include "app/WindowFit.h"

#include <algorithm>
#include <cstdint>

namespace {

// Edges as left, top and exclusive right, bottom.
struct Edges {
    int64_t l, t, r, b;
    explicit Edges(const QRect& q)
        : l(q.x())
        , t(q.y())
        , r(int64_t { q.x() } + q.width())
        , b(int64_t { q.y() } + q.height())
    {
    }
};

int64_t overhang(const Edges& w, const Edges& m)
{
    return std::max<int64_t>(0, m.l - w.l) + std::max<int64_t>(0, w.r - m.r) + std::max<int64_t>(0, m.t - w.t)
        + std::max<int64_t>(0, w.b - m.b);
}

} // namespace

QRect FitWindowRect(const QRect& window, std::span<const QRect> monitors)
{
    if (monitors.empty())
        return window;
    size_t best = 0;
    int64_t bestSum = INT64_MAX;
    for (size_t i = 0; i < monitors.size(); ++i)
        if (const int64_t sum = overhang(Edges(window), Edges(monitors[i])); sum < bestSum) {
            best = i;
            bestSum = sum;
        }
    if (bestSum == 0)
        return window;

    const Edges m(monitors[best]);
    Edges w(window);
    if (w.r - w.l > m.r - m.l)
        w.r = w.l + (m.r - m.l);
    if (w.b - w.t > m.b - m.t)
        w.b = w.t + (m.b - m.t);
    const auto shift = [](int64_t& lo, int64_t& hi, int64_t d) {
        lo += d;
        hi += d;
    };
    if (w.r > m.r)
        shift(w.l, w.r, m.r - w.r);
    if (w.b > m.b)
        shift(w.t, w.b, m.b - w.b);
    if (w.l < m.l)
        shift(w.l, w.r, m.l - w.l);
    if (w.t < m.t)
        shift(w.t, w.b, m.t - w.t);
    w.r = std::min(w.r, m.r);
    w.b = std::min(w.b, m.b);
    return QRect(
        static_cast<int>(w.l), static_cast<int>(w.t), static_cast<int>(w.r - w.l), static_cast<int>(w.b - w.t));
}
