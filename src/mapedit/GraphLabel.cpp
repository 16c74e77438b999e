#include "mapedit/GraphLabel.h"

#include <cmath>
#include <cstdio>
#include <cstring>

std::string GraphLabel(double value, double step)
{
    // Label positions are sums of steps; a tiny remainder must not print as "-0".
    if (std::fabs(value) < std::fabs(step) * 1e-6)
        value = 0;
    char text[64];
    if (step < 0.001)
        std::snprintf(text, sizeof text, "%.2lfm", value * 1000);
    else if (step < 0.01)
        std::snprintf(text, sizeof text, "%.0lfm", value * 1000);
    else if (step < 0.1)
        std::snprintf(text, sizeof text, "%.2lf", value);
    else if (step < 1)
        std::snprintf(text, sizeof text, "%.1lf", value);
    else if (step < 1000)
        std::snprintf(text, sizeof text, "%.0lf", value);
    else if (step < 1000000)
        std::snprintf(text, sizeof text, "%.0lfk", value / 1000);
    else
        std::snprintf(text, sizeof text, "%.0lfM", value / 1000000);
    return text;
}

std::string GraphLabelWithUnit(double value, double step, const char* unit)
{
    const std::string number = GraphLabel(value, step);
    if (!unit || !*unit)
        return number;
    return number + (std::strcmp(unit, "°") == 0 ? "" : " ") + unit;
}
