#pragma once

// Where the engine runs now, as the map editors mark it.
struct OperatingPoint {
    int rpm = 0;
    int loadTenths = -1; // load in tenths of a percent (sensor kinds 0 and 1), else -1
    int loadKpa = -1;    // load in kPa (sensor kind 2), else -1
    int sensorKind = 0;  // 0 none, 1 TP, 2 IAP
    bool sensorError = false;
};
