#pragma once

#include "model/MonitorImage.h"
#include "model/ParamImage.h"
#include "monitor/OperatingPoint.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Colours as 0x00BBGGRR; 0xFF0000nn are system colours.
namespace MonitorColour {
constexpr uint32_t BUTTON_FACE = 0xFF00000F;
constexpr uint32_t SYSTEM_1 = 0xFF000001;
constexpr uint32_t RED = 0x0000FF;
constexpr uint32_t GREEN = 0x00FF00;
constexpr uint32_t YELLOW = 0x00FFFF;
constexpr uint32_t CYAN = 0xFFFF00;
constexpr uint32_t MAGENTA = 0xFF00FF;
constexpr uint32_t TEAL = 0x808000;
constexpr uint32_t PURPLE = 0x800080;
constexpr uint32_t GREY = 0x808080;
constexpr uint32_t WHITE = 0xFFFFFF;
} // namespace MonitorColour

// What one monitor label or button shows; the window only copies it into the control.
struct MonitorLabel {
    std::string name;
    std::string text;
    uint32_t colour = MonitorColour::BUTTON_FACE;
    bool enabled = true;
    bool visible = true;
};

struct MonitorGauge {
    std::string name;
    int value = 0;
    int maximum = 100;
    uint32_t colour = MonitorColour::BUTTON_FACE;
};

struct MonitorView {
    std::vector<MonitorLabel> labels;
    std::vector<MonitorGauge> gauges;
    OperatingPoint point;

    const MonitorLabel* label(const std::string& name) const;
    const MonitorGauge* gauge(const std::string& name) const;
};

// The inputs of one display refresh.
struct MonitorSources {
    MonitorImage& monitor;       // zeroed here when there is no live source
    const ParamImage& image;
    bool liveSource = false;     // a unit is connected or a recording is replayed
    std::function<std::string(int)> text; // runtime text n (14..90) in the current language
    std::string unitName, unitDate, unitTime; // the unit information texts
};

// Computes every monitor label, gauge and the operating point from the monitor data.
MonitorView RefreshMonitorDisplay(MonitorSources& sources);

// Whether the trigger system reads a second pick-up (its signal label and polarity are shown).
bool HasSecondPickup(int pickupSystem);
