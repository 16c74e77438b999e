#pragma once

#include "EngineRecording.h"
#include "model/ImageLayout.h"
#include "model/MonitorImage.h"
#include "monitor/MonitorPlayer.h"

#include <cmath>
#include <string>

// Writes a recording as the window's recorder would: the snapshot, then one monitor block every
// `stepMs`. Sample k runs the engine at 1000 + k * rpmStep rpm; the other fields change along
// with it so that every trace has something to show, and every fifth sample has no advance on
// channel 2 (an empty cell in the CSV export).
inline bool WriteLogRecording(const std::string& path, int samples, int stepMs = 100, int rpmStep = 50)
{
    int64_t clock = 5000;
    MonitorPlayer recorder(RecorderHooks(clock));
    if (!recorder.StartRecording(path, {}))
        return false;
    for (int k = 0; k < samples; ++k) {
        clock += stepMs;
        MonitorImage m;
        m.SetMonw(MON_RPM, static_cast<uint16_t>(1000 + k * rpmStep));
        m.SetMonw(MON_SUPPLY_MV, static_cast<uint16_t>(12000 + 37 * (k % 50)));
        m.SetMonw(MON_LOAD, static_cast<uint16_t>(static_cast<int>(50 + 40 * std::sin(k / 30.0))));
        for (int c = 0; c < CHANNELS; ++c)
            m.Monb(MON_ADV + c) = static_cast<uint8_t>(c == 1 && k % 5 == 0 ? 0 : 100 + (k + 7 * c) % 45 - 5);
        m.Monb(MON_LIMITER) = k % 40 > 30 ? 1 : 0;
        m.Monb(MON_CLUTCH) = k % 25 == 3 ? 1 : 0;
        m.Monb(MON_STATUS) = static_cast<uint8_t>((k % 60 < 5 ? 1 << STATUS_KILL_SWITCH : 0) | (1 << STATUS_SERVO_OK));
        m.Monb(MON_POUT) = static_cast<uint8_t>(k % 20 < 10 ? 1 : 2);
        recorder.LogMonitor(m.bytes().data());
    }
    return recorder.Stop();
}
