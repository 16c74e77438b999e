#pragma once

#include <cstdint>
#include <string>

// raw x scale with the decimals the scale needs (0.1 -> 1, 0.02 -> 2, 0.001 -> 3), a space before
// every group of three integer digits, trailing zeros removed, and " unit" when asked for.
std::string FormatAxisValue(int32_t raw, double scale, const char* unit, bool withUnit);
// Decimals shown for a scale.
int ScaleDecimals(double scale);
