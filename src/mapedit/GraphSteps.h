#pragma once

#include <cmath>

// Steps of the graphs' grids and labels.
namespace GraphSteps {

// Calls f with every multiple of rawStep from low to high (nothing for more than 1000 steps).
template <typename F> void ForEach(double low, double high, double rawStep, F f)
{
    if (rawStep <= 0 || high < low || (high - low) / rawStep > 1000)
        return;
    for (double v = std::ceil(low / rawStep - 1e-9) * rawStep; v <= high + rawStep * 1e-9; v += rawStep)
        f(v);
}

// How many steps apart lines or labels stand so that they keep at least needed pixels apart:
// 1, 2, 5, 10, 20, 50 ...
inline int Stride(double stepPixels, double needed)
{
    for (int decade = 1; decade < 1000000; decade *= 10)
        for (int m : { 1, 2, 5 })
            if (decade * m * stepPixels >= needed)
                return decade * m;
    return 1000000;
}

} // namespace GraphSteps
