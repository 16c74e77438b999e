#pragma once

#include <QString>

#include <array>
#include <cstdint>

// What the writer of a parameter file needs to know about the connected unit: the texts of the
// three unit-version labels and, while a unit is connected, the monitor calibration coefficients.
struct IgnUnitInfo {
    int connectedPort = 0; // the link's connected port; 0 while no unit is connected
    QString firmwareDate;
    QString firmwareTime;
    QString firmwareVersion;
    std::array<int32_t, 3> calibration {}; // Mon_Calib_CoefEE, Mon_Calib_CoefFLASH, Mon_Calib_CoefNEW
};
