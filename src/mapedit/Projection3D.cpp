#include "mapedit/Projection3D.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// An aspect this close to 1 is taken as 1, so that a nearly square drawing is not distorted.
constexpr double ASPECT_FACTOR = 0.95;
constexpr double ASPECT_SQUARE_LOW = 0.94;
constexpr double ASPECT_SQUARE_HIGH = 1.06;

using Matrix = Projection3D::Matrix;

Matrix Multiply(const Matrix& a, const Matrix& b)
{
    Matrix m {};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            for (int k = 0; k < 3; ++k)
                m[r][c] += a[r][k] * b[k][c];
    return m;
}

double Radians(int32_t steps) { return steps * View3DState::STEP_DEGREES * std::numbers::pi / 180.0; }

// A turn about one unit axis (0, 1 or 2) by the given steps.
Matrix Turn(int axis, int32_t steps)
{
    const double c = std::cos(Radians(steps)), s = std::sin(Radians(steps));
    const int a = (axis + 1) % 3, b = (axis + 2) % 3;
    Matrix m {};
    m[axis][axis] = 1;
    m[a][a] = c;
    m[a][b] = -s;
    m[b][a] = s;
    m[b][b] = c;
    return m;
}

// The sum of the negative entries of a row, as a positive number.
double NegativeSum(const std::array<double, 3>& row)
{
    double sum = 0;
    for (double v : row)
        sum -= std::min(v, 0.0);
    return sum;
}

} // namespace

Matrix Projection3D::Rotation(const View3DState::Angles& angles)
{
    // The turn about the height axis runs the other way round, so that the start view (ISO2)
    // looks at an advance map from low speed and high load, where its upper side faces the viewer.
    return Multiply(Multiply(Turn(0, angles.x), Turn(1, -angles.xy)), Turn(2, angles.xyz));
}

Matrix Projection3D::NormalizeRows(Matrix m)
{
    for (auto& row : m) {
        const double sum = std::fabs(row[0]) + std::fabs(row[1]) + std::fabs(row[2]);
        if (sum > 0)
            for (double& v : row)
                v /= sum;
    }
    return m;
}

Projection3D Projection3D::For(const Area& area, int panelWidth, const View3DState::Angles& angles, double acrossSpan,
    double dataSpan, double curveSpan)
{
    Projection3D p;
    p.drawingWidth = std::max(1, area.width - panelWidth - 2 * MARGIN);
    p.drawingHeight = std::max(1, area.height - 2 * MARGIN);
    const double w = p.drawingWidth, h = p.drawingHeight;
    p.aspect = w / h * ASPECT_FACTOR;
    if (p.aspect > ASPECT_SQUARE_LOW && p.aspect < ASPECT_SQUARE_HIGH)
        p.aspect = 1;
    const Matrix m = NormalizeRows(Rotation(angles));
    const double spans[3] = { acrossSpan, dataSpan, curveSpan };
    p.scaled = m;
    for (int c = 0; c < 3; ++c)
        for (int r = 0; r < 3; ++r)
            p.scaled[r][c] *= h / std::max(spans[c], 1e-9);
    p.originX = area.left + panelWidth + MARGIN;
    p.shiftX = NegativeSum(m[0]) * w / p.aspect;
    p.originY = area.top + area.height - MARGIN - NegativeSum(m[1]) * h;
    return p;
}

Projection3D::Point Projection3D::Project(double across, double height, double depth) const
{
    auto dot = [&](int r) { return scaled[r][0] * across + scaled[r][1] * height + scaled[r][2] * depth; };
    return { originX + (shiftX + dot(0)) * aspect, originY - dot(1), dot(2) };
}
