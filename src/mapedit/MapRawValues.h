#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

// Helpers of the map model's operations on raw values.

// Clamps to lo..hi; unlike std::clamp it takes lo when the bounds cross.
inline int ClampInt(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

// Values are computed in double; a typed or extrapolated number beyond this bound would not fit
// the raw int32 cells, so it is held at the bound and the normalization clamps it further.
constexpr double RAW_LIMIT = 2.0e9;

inline int32_t TruncatedRaw(double value)
{
    return static_cast<int32_t>(std::trunc(std::clamp(value, -RAW_LIMIT, RAW_LIMIT)));
}
