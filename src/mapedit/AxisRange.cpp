#include "mapedit/AxisRange.h"

namespace AxisRanges {
const AxisRange RpmMap[] = { { 4000, 2000, 1000, 200, 1000 }, { 10000, 2000, 1000, 500, 1000 },
    { 25000, 2000, 1000, 1000, 2000 }, { 0, 0, 0, 0, 0 } };
const AxisRange RpmPowerA[] = { { 25000, 2000, 1000, 1000, 2000 }, { 0, 0, 0, 0, 0 } };
const AxisRange Degrees[] = { { 10, 5, 1, 1, 2 }, { 30, 5, 5, 5, 5 }, { 0, 0, 0, 0, 0 } };
const AxisRange ThrottlePowerA[] = { { 100, 25, 25, 10, 25 }, { 0, 0, 0, 0, 0 } };
const AxisRange SensorLoad[] = { { 10, 2, 1, 1, 2 }, { 100, 20, 20, 20, 20 }, { 500, 100, 100, 100, 100 },
    { 1000, 200, 200, 200, 200 }, { 0, 0, 0, 0, 0 } };
const AxisRange Volts[] = { { 2, 1, 0.2, 0.2, 1 }, { 5, 1, 0.5, 0.5, 1 }, { 0, 0, 0, 0, 0 } };
const AxisRange ServoOther[]
    = { { 10, 5, 1, 1, 2 }, { 30, 5, 5, 5, 5 }, { 100, 20, 10, 5, 20 }, { 500, 100, 50, 25, 100 }, { 0, 0, 0, 0, 0 } };
} // namespace AxisRanges
