#pragma once

#include "mapedit/MapAxis.h"
#include "mapedit/FormatAxisValue.h"

#include <QFont>
#include <QString>

#include <cstdint>

// Text helpers the 2D and the 3D graph share, so both write labels in the same size and form.
namespace GraphPaint {

constexpr int LABEL_PIXELS = 11;

inline QFont LabelFont()
{
    QFont font;
    font.setPixelSize(LABEL_PIXELS);
    return font;
}

// A raw value of an axis in the axis's scale and unit, as the labels show it.
inline QString Value(int32_t raw, const MapAxis& axis)
{
    return QString::fromUtf8(FormatAxisValue(raw, axis.scale, axis.unit, true).c_str());
}

} // namespace GraphPaint
