#pragma once

#include "mapedit/MapSheet.h"
#include "mapedit/GraphRanges.h"

#include <cstdint>

// Where the 2D graph's plot lies inside its graph area and how raw values map to pixels. The
// area is the whole view below the toolbar, or the room the table leaves beside itself.
struct GraphGeometry {
    int plotLeft = 0;
    int plotTop = 0;
    int plotWidth = 1;
    int plotHeight = 1;
    int plotBottom = 1;
    double pxAcross = 1; // pixels per raw unit of the across axis
    double pxUp = 1; // pixels per raw unit of the data
    int32_t acrossMin = 0;
    int32_t acrossMax = 1;
    int32_t dataMin = 0;
    GraphRanges ranges;

    // The plot of an area (control pixels) for ranges already computed on the sheet's axes.
    static GraphGeometry For(
        int areaLeft, int areaTop, int areaWidth, int areaHeight, const GraphRanges& ranges, const MapSheet& sheet);

    int PlotRight() const { return plotLeft + plotWidth; }
    double AcrossPixel(double raw) const { return plotLeft + (raw - acrossMin) * pxAcross; }
    double UpPixel(double raw, int curve) const { return plotBottom - (raw + ranges.Offset(curve) - dataMin) * pxUp; }
    // The raw values under a pixel, rounded to whole raw units (the inverse of the two above).
    int32_t AcrossRaw(double x) const;
    int32_t DataRaw(double y, int curve) const;
};
