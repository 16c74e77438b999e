#pragma once

// One row of an axis's range table (physical units). A table ends with a row whose gridStep is 0.
struct AxisRange {
    double span = 0;
    double roundStep = 1.0;
    double gridStep = 1.0;
    double fineStep = 1.0;
    double labelStep = 1.0;
};

// The range tables of the program's maps, each ending with its terminating row.
namespace AxisRanges {
extern const AxisRange RpmMap[]; // engine speed of the advance and servo maps and power map B
extern const AxisRange RpmPowerA[]; // engine speed of power map A
extern const AxisRange Degrees[]; // advance in degrees, power-output value
extern const AxisRange ThrottlePowerA[];
extern const AxisRange SensorLoad[]; // TP %, kPa, AFR
extern const AxisRange Volts[]; // sensor voltages, servo position in volts
extern const AxisRange ServoOther[]; // servo position in other units
} // namespace AxisRanges
