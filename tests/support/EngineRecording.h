#pragma once

#include "model/ImageLayout.h"
#include "model/MonitorImage.h"
#include "model/ParamImage.h"
#include "monitor/MonitorPlayer.h"

#include <string>
#include <vector>

// One monitor record of a hand-made recording: engine speed, load, the sensor that reads the load
// (1 throttle, 2 manifold pressure) and the milliseconds since the record before it.
struct EngineReading {
    int rpm = 0;
    int load = 0;
    int sensorKind = 1;
    int afterMs = 400;
};

// The hooks of a recorder as the window sets them up, with a clock the caller moves and image as
// the configuration of the snapshot.
inline MonitorPlayer::Hooks RecorderHooks(int64_t& clock, const ParamImage& image = ParamImage())
{
    MonitorPlayer::Hooks h;
    h.clockMs = [&clock] { return clock; };
    h.wallSeconds = [] { return int64_t { 1700000000 }; };
    h.connectedPort = [] { return 1; };
    h.unitPanelText = [] { return std::string("VORDAX4"); };
    h.image = [image] { return image; };
    h.unitMirror = []() -> const ParamImage* { return nullptr; };
    h.pages = [] { return PageRecord(); };
    return h;
}

// Writes a recording as the window's recorder would: the snapshot with image as the configuration,
// then one monitor record per reading.
inline bool WriteEngineRecording(
    const std::string& path, const std::vector<EngineReading>& readings, const ParamImage& image = ParamImage())
{
    int64_t clock = 5000;
    MonitorPlayer recorder(RecorderHooks(clock, image));
    if (!recorder.StartRecording(path, {}))
        return false;
    for (const EngineReading& r : readings) {
        clock += r.afterMs;
        MonitorImage m;
        m.SetMonw(MON_RPM, static_cast<uint16_t>(r.rpm));
        m.SetMonw(MON_LOAD, static_cast<uint16_t>(r.load));
        m.Monb(MON_SENSOR_KIND) = static_cast<uint8_t>(r.sensorKind);
        recorder.LogMonitor(m);
    }
    return recorder.Stop();
}
