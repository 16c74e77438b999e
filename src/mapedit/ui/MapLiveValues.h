#pragma once

#include <cstdint>
#include <memory>

class IgnlogFile;

// What the main window hands to every editor on each tick of its timer.
struct MapLiveValues {
    int32_t engineRpm = 0;
    int32_t throttle = 0; // the monitor's reading; a negative reading means full throttle
    int32_t pressure = 0; // kPa
    int32_t monitorStatus = 0; // bit 0: the unit runs on its second advance map
    bool manifoldLoad = false; // the unit reports manifold pressure as its load sensor
    int32_t baseAdvance = 0; // degrees
    int32_t limiterRpm = 0; // LIMITER x 100
    int32_t startLimiterRpm = 0; // START_LIM x 100
    // "Show on maps": the recording whose operating points the editors mark, or none.
    std::shared_ptr<const IgnlogFile> recording;
};
