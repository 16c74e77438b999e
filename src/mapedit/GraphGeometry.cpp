#include "mapedit/GraphGeometry.h"

#include <algorithm>
#include <cmath>

namespace {

// Left of the plot: the data labels; below it: the across labels.
constexpr int LABEL_COLUMN = 45;
constexpr int LABEL_ROW = 18;
// Room the plot leaves inside its area: across (labels on both sides) and up (labels and top).
constexpr int SPARE_WIDTH = 75;
constexpr int SPARE_HEIGHT = 26;
// One curve needs no curve labels on the right.
constexpr int ONE_CURVE_EXTRA_WIDTH = 15;

int32_t RoundedRaw(double units) { return static_cast<int32_t>(std::floor(std::clamp(units, -2e9, 2e9) + 0.5)); }

} // namespace

GraphGeometry GraphGeometry::For(
    int areaLeft, int areaTop, int areaWidth, int areaHeight, const GraphRanges& ranges, const MapSheet& sheet)
{
    GraphGeometry g;
    g.ranges = ranges;
    const MapAxis& across = sheet.Axis(ranges.across);
    g.plotLeft = areaLeft + LABEL_COLUMN;
    g.plotBottom = areaTop + areaHeight - LABEL_ROW;
    g.plotWidth = std::max(1, areaWidth - SPARE_WIDTH + (ranges.curves == 1 ? ONE_CURVE_EXTRA_WIDTH : 0));
    g.plotHeight = std::max(1, areaHeight - SPARE_HEIGHT);
    g.plotTop = g.plotBottom - g.plotHeight;
    g.acrossMin = across.viewMin;
    g.acrossMax = std::max(across.viewMax, across.viewMin + 1);
    g.dataMin = sheet.axisData.viewMin;
    g.pxAcross = double(g.plotWidth) / (g.acrossMax - g.acrossMin);
    g.pxUp = double(g.plotHeight) / std::max(1, ranges.dataTop - g.dataMin);
    return g;
}

int32_t GraphGeometry::AcrossRaw(double x) const { return RoundedRaw((x - plotLeft) / pxAcross) + acrossMin; }

int32_t GraphGeometry::DataRaw(double y, int curve) const
{
    return -RoundedRaw((y - plotBottom) / pxUp) - ranges.Offset(curve) + dataMin;
}
