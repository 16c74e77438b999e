#include "mapedit/MapModel.h"

#include "mapedit/MapRawValues.h"

#include <algorithm>
#include <cstring>

void MapModel::NormalizeAxis(MapAxis& a)
{
    const int n = a.count;
    const int s = a.minSpacing;
    const int lo = a.minValue, hi = a.maxValue;
    auto& v = a.values;
    auto& p = a.lastValues;
    auto& o = a.savedValues;
    auto& m = a.pushed;
    int b = -1, changed = 0;
    bool several = false;
    auto forget = [&] {
        std::fill(m.begin(), m.end(), 0);
        std::fill(o.begin(), o.end(), 0);
    };
    if (a.lastMoved == MapAxis::LAST_MOVED_NONE) {
        several = true;
        forget();
        b = 0;
    } else {
        for (int i = 0; i < n; ++i)
            if (v[i] != p[i]) {
                ++changed;
                if (b < 0)
                    b = i;
            }
        if (b != a.lastMoved && b != -1)
            forget();
    }
    if (!several && changed == 1) {
        v[b] = std::max(v[b], lo + b * s);
        for (int d = b - 1; d >= 0 && v[d] > v[d + 1] - s; --d) {
            if (!m[d])
                o[d] = v[d];
            m[d] = 1;
            v[d] = v[d + 1] - s;
        }
        v[b] = std::min(v[b], hi - (n - b - 1) * s);
        for (int d = b + 1; d < n && v[d] < v[d - 1] + s; ++d) {
            if (!m[d])
                o[d] = v[d];
            m[d] = 1;
            v[d] = v[d - 1] + s;
        }
        for (int round = 0; round < n; ++round)
            for (int k = 0; k < n; ++k) {
                if (!m[k])
                    continue;
                if (v[k] < o[k])
                    v[k] = k + 1 < n ? std::min(o[k], v[k + 1] - s) : o[k];
                else if (v[k] > o[k])
                    v[k] = k > 0 ? std::max(o[k], v[k - 1] + s) : o[k];
                if (v[k] == o[k])
                    m[k] = 0;
            }
    } else {
        for (int j = 0; j < n; ++j) {
            v[j] = std::max(v[j], lo + j * s);
            v[j] = std::min(v[j], hi - (n - j - 1) * s);
        }
        for (int j = b; j >= 1; --j)
            v[j - 1] = std::min(v[j - 1], v[j] - s);
        for (int j = 1; j < n; ++j)
            v[j] = std::max(v[j], v[j - 1] + s);
    }
    std::copy(v.begin(), v.end(), p.begin());
    if (b != -1)
        a.lastMoved = b;
}

void MapModel::NormalizeSheet(int sheet, int mask)
{
    if (sheet < 0 || sheet >= sheetCount_)
        return;
    MapSheet& s = SheetAt(sheet);
    const bool rpmX = std::strcmp(s.axisX.name, "RPM") == 0;
    if ((s.flags & SF_BASE_ADVANCE) && rpmX)
        baseAdvance_ = ClampInt(baseAdvance_, static_cast<int>(s.axisData.minValue * s.axisData.scale),
            static_cast<int>(s.axisData.maxValue * s.axisData.scale));
    const int rpmLo = static_cast<int>(s.axisX.minValue * s.axisX.scale);
    const int rpmHi = static_cast<int>(s.axisX.maxValue * s.axisX.scale);
    if ((s.flags & SF_LIMITER) && rpmX)
        limiterRpm_ = ClampInt(limiterRpm_, rpmLo, rpmHi);
    if ((s.flags & SF_START_LIMITER) && rpmX)
        startLimiterRpm_ = ClampInt(startLimiterRpm_, rpmLo, rpmHi);
    for (int bit : { AXIS_X, AXIS_Y }) {
        if (!(mask & bit))
            continue;
        MapAxis& a = s.Axis(bit);
        if (mask & NORMALIZE_RESTART)
            a.lastMoved = MapAxis::LAST_MOVED_NONE;
        NormalizeAxis(a);
    }
    if (mask & AXIS_DATA)
        for (int r = 0; r < std::min(s.DataRows(), TAB_MAX_Y); ++r)
            for (int c = 0; c < std::min(s.DataColumns(), TAB_MAX_X); ++c)
                s.Cell(c, r) = ClampInt(s.Cell(c, r), s.axisData.minValue, s.axisData.maxValue);
}

void MapModel::RememberValues()
{
    for (int i = 0; i < sheetCount_; ++i) {
        SheetAt(i).axisX.RememberValues();
        SheetAt(i).axisY.RememberValues();
    }
}
