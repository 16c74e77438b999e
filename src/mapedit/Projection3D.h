#pragma once

#include "mapedit/View3DState.h"

#include <array>

// Where a point of the 3D graph lands on the screen. A point is (across, height, depth) in raw
// units above the view minima of the across axis, the data and the curve axis. The view angles
// turn the three unit axes; each row of the turned matrix is then divided by the sum of its
// absolute entries, so that whatever the angles the whole box of the display ranges fits the
// drawing, and the across direction is stretched by the drawing's aspect to fill its width.
class Projection3D {
public:
    using Matrix = std::array<std::array<double, 3>, 3>;

    // The drawing lies right of the panel, this far inside the graph area on every side.
    static constexpr int MARGIN = 10;

    // Screen position; depth grows away from the viewer.
    struct Point {
        double x = 0;
        double y = 0;
        double depth = 0;
    };
    // The graph area in control pixels.
    struct Area {
        int left = 0;
        int top = 0;
        int width = 1;
        int height = 1;
    };

    // The rotation of the unit axes: about the first (across) axis by angleX, then about the
    // second (height) by angleXY, then about the third (depth) by angleXYZ, each turned by its
    // own axis as the earlier turns left it. Rows are the screen's right, up and depth. A negative
    // angleX tilts the far side up (-90 degrees looks from above); a positive angleXY turns the
    // near side to the right.
    static Matrix Rotation(const View3DState::Angles& angles);
    // Every row divided by the sum of its absolute entries.
    static Matrix NormalizeRows(Matrix m);

    // The projection of a graph area for the spans (viewMax - viewMin, raw) of the three axes.
    static Projection3D For(const Area& area, int panelWidth, const View3DState::Angles& angles, double acrossSpan,
        double dataSpan, double curveSpan);

    Point Project(double across, double height, double depth) const;

    // The normalized matrix with its columns scaled to pixels per raw unit.
    const Matrix& Scaled() const { return scaled; }
    double Aspect() const { return aspect; }
    double OriginX() const { return originX; }
    double OriginY() const { return originY; }
    int DrawingWidth() const { return drawingWidth; }
    int DrawingHeight() const { return drawingHeight; }

private:
    Matrix scaled {};
    double aspect = 1;
    double originX = 0;
    double originY = 0;
    double shiftX = 0;
    int drawingWidth = 1;
    int drawingHeight = 1;
};
