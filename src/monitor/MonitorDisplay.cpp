#include "monitor/MonitorDisplay.h"

#include "lang/LangString.h"
#include "model/MapFact.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

using namespace MonitorColour;

namespace {

std::string fmt(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string fmt(const char* format, ...)
{
    char buf[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    return buf;
}

bool bit(int value, int n) { return (value >> n) & 1; }

// Builds the labels with the shared rules: "---" without a live source, YES/NO state labels.
class DisplayBuilder {
public:
    DisplayBuilder(MonitorSources& s, MonitorView& v) : s_(s), v_(v), m_(s.monitor) {}

    std::string t(int n) const { return s_.text ? s_.text(n) : std::string(); }
    std::string num(int value) const { return s_.liveSource ? std::to_string(value) : "---"; }
    bool live() const { return s_.liveSource; }
    const MonitorImage& mon() const { return m_; }
    const ParamImage& img() const { return s_.image; }

    MonitorLabel& add(const char* name, std::string text, uint32_t colour = BUTTON_FACE)
    {
        v_.labels.push_back({name, std::move(text), colour, true, true});
        return v_.labels.back();
    }

    // "%s = YES/NO" with the on colour, or "%s = ---" when not live or not configured.
    MonitorLabel& state(const char* name, const std::string& caption, bool on, uint32_t onColour, bool configured = true)
    {
        if (!live() || !configured) {
            MonitorLabel& l = add(name, caption + " = ---");
            l.enabled = configured;
            return l;
        }
        return add(name, caption + " = " + t(on ? 22 : 23), on ? onColour : BUTTON_FACE);
    }

    bool inputHasFunction(std::initializer_list<int> codes) const
    {
        for (int c : codes)
            if (img().Adrb(INPUT1) == c || img().Adrb(INPUT2) == c)
                return true;
        return false;
    }

    void gauge(const char* name, int value, int maximum, uint32_t colour) { v_.gauges.push_back({name, value, maximum, colour}); }

private:
    MonitorSources& s_;
    MonitorView& v_;
    const MonitorImage& m_;
};

OperatingPoint operatingPoint(const MonitorImage& m)
{
    OperatingPoint p;
    p.rpm = m.Monw(MON_RPM);
    p.sensorKind = std::min<int>(m.Monb(MON_SENSOR_KIND), 2);
    p.loadTenths = p.sensorKind <= 1 ? m.Monw(MON_LOAD) * 10 : -1;
    p.loadKpa = p.sensorKind == 2 ? m.Monw(MON_LOAD) : -1;
    p.sensorError = bit(m.Monb(MON_STATUS), STATUS_SENSOR_ERROR);
    return p;
}

void engineSpeed(DisplayBuilder& b)
{
    const int limiter = b.img().Adrb(LIMITER);
    b.add("LabelRpm", "RPM = " + b.num(b.mon().Monw(MON_RPM)), b.mon().Monb(MON_LIMITER) ? RED : BUTTON_FACE);
    b.gauge("CGaugeRpm", limiter == 0 ? 100 : b.mon().Monw(MON_RPM) / limiter, 100, BUTTON_FACE);
}

void load(DisplayBuilder& b, const OperatingPoint& p)
{
    if (!b.live()) {
        const int sensor = b.img().Adrb(TPSIAP_SENSOR);
        b.add("LabelTpsMon", sensor == 2 ? "IAP= ---" : "TP= ---").enabled = sensor != 0;
        b.gauge("CGaugeTps", 0, sensor == 2 ? 300 : 100, sensor == 0 ? GREY : sensor == 1 ? SYSTEM_1 : PURPLE);
        return;
    }
    const int kind = p.sensorKind;
    const uint32_t gaugeColour = kind == 0 ? GREY : kind == 1 ? SYSTEM_1 : PURPLE;
    const int loadValue = b.mon().Monw(MON_LOAD);
    const std::string mv = b.num(b.mon().Monw(MON_SENSOR_MV));
    MonitorLabel* l;
    int gaugeValue = loadValue;
    if (kind == 0 && p.loadTenths > 1000) {
        l = &b.add("LabelTpsMon", "TP=" + b.t(26) + " = " + mv + " [mV]", RED);
        gaugeValue = 0;
    } else if (kind <= 1) {
        l = &b.add("LabelTpsMon", "TP= " + b.num(loadValue) + " [%]= " + mv + " [mV]");
    } else if (p.sensorError) {
        l = &b.add("LabelTpsMon", "IAP=" + b.t(26) + " = " + mv + " [mV]", RED);
        gaugeValue = 0;
    } else {
        l = &b.add("LabelTpsMon", "IAP= " + b.num(loadValue) + " [kPa]= " + mv + " [mV]");
    }
    l->enabled = kind == 1 || kind == 2;
    b.gauge("CGaugeTps", gaugeValue, kind == 2 ? 300 : 100, gaugeColour);
}

void pickups(DisplayBuilder& b)
{
    const int pickupsByte = b.mon().Monb(MON_PICKUPS);
    const int status = b.mon().Monb(MON_STATUS);
    for (int n = 0; n < 2; ++n) {
        const char* name = n == 0 ? "LabelMonSnimac1" : "LabelMonSnimac2";
        const std::string head = b.t(38) + " " + std::to_string(n + 1) + " =";
        MonitorLabel* l;
        if (!b.live()) {
            l = &b.add(name, head + "  ---");
        } else {
            const bool running = bit(pickupsByte, PICKUP1_RUNNING + n);
            const bool polarityError = bit(pickupsByte, PICKUP1_POLARITY_ERROR + n);
            const bool warning = bit(status, STATUS_PICKUP1_ERROR + n);
            std::string text = head + " " + b.t(running ? 39 : 40);
            uint32_t colour = running ? GREEN : BUTTON_FACE;
            if (polarityError) {
                text += b.t(67);
                colour = RED;
            } else {
                text += b.t(bit(pickupsByte, PICKUP1_NEGATIVE + n) ? 30 : 29);
                if (warning) {
                    text += ", " + b.t(37);
                    colour = RED;
                }
            }
            l = &b.add(name, text, colour);
        }
        if (n == 1)
            l->visible = HasSecondPickup(b.img().Adrb(PICKUP_SYSTEM));
    }
}

void supply(DisplayBuilder& b)
{
    const int mv = b.mon().Monw(MON_SUPPLY_MV);
    uint32_t colour = RED;
    if (!b.live() || (mv >= 11001 && mv <= 14998))
        colour = BUTTON_FACE;
    else if ((mv >= 7001 && mv <= 11000) || (mv >= 14999 && mv <= 17998))
        colour = YELLOW;
    b.add("LabelNapeti", "U = " + (b.live() ? fmt("%.1f", mv / 1000.0) : std::string("---")) + " [V]", colour);
}

void advance(DisplayBuilder& b)
{
    const int channels = std::min<int>(b.img().Adrb(CHANNEL_COUNT), CHANNELS);
    for (int i = 1; i <= CHANNELS; ++i) {
        const std::string name = "LabelAdvance" + std::to_string(i);
        const int raw = b.mon().Monb(MON_ADV + i - 1);
        const int a = raw - 100;
        const int m = b.mon().Monw(MON_ADV_MAX + i - 1);
        std::string text;
        if (!b.live())
            text = fmt("%s %i = --- [°]", b.t(18).c_str(), i);
        else if (raw == 0)
            text = m ? fmt("%s = %s/max %i [°]", b.t(18).c_str(), b.t(19).c_str(), m) : b.t(18) + " = " + b.t(19);
        else
            text = m ? fmt("%s %i = %i [°] /max %i [°]", b.t(18).c_str(), i, a, m) : fmt("%s %i = %i [°]", b.t(18).c_str(), i, a);
        MonitorLabel& l = b.add(name.c_str(), text, b.live() && m >= 1 && a >= m ? YELLOW : BUTTON_FACE);
        l.visible = i == 1 || i <= channels;
    }
    b.add("LabelDwell", "").visible = false;
    b.add("LabelDwellCalibError", "").visible = false;
}

void states(DisplayBuilder& b)
{
    const int status = b.mon().Monb(MON_STATUS);
    b.state("LabelKillSwitch", b.t(48), bit(status, STATUS_KILL_SWITCH), RED, b.inputHasFunction({1}));
    b.state("LabelBlocking", b.t(21), bit(status, STATUS_BLOCKING), RED, b.inputHasFunction({2}));
    b.state("LabelClutchMon", b.t(45), b.mon().Monb(MON_CLUTCH) != 0, GREEN, b.inputHasFunction({3, 4}));
    b.state("LabelMonRetard", b.t(63), b.mon().Monb(MON_RETARD) != 0, CYAN, b.inputHasFunction({5}));
    b.state("LabelMonStartLimiterOut", b.t(65), b.mon().Monb(MON_START_LIMITER) != 0, RED).enabled = b.inputHasFunction({6});
    b.state("LabelMonLimiterOut", b.t(66), b.mon().Monb(MON_LIMITER) != 0, RED);
    b.add("LabelEeDataErr", "Programmed data error").visible = b.live() && bit(status, STATUS_DATA_ERROR);
    const int pickupsByte = b.mon().Monb(MON_PICKUPS);
    for (int n = 0; n < 2; ++n) {
        const char* name = n == 0 ? "LabelMonInput1In" : "LabelMonInput2In";
        const bool grounded = bit(pickupsByte, INPUT1_GROUNDED + n);
        if (!b.live())
            b.add(name, b.t(46) + " = ---");
        else
            b.add(name, b.t(46) + " = " + b.t(grounded ? 50 : 49), grounded ? (n == 0 ? MAGENTA : CYAN) : BUTTON_FACE);
    }
}

void unitData(DisplayBuilder& b, const MonitorSources& s)
{
    for (int i = 1; i <= 10; ++i)
        b.add(("LabelTest" + std::to_string(i)).c_str(), fmt("Test%d = %d ", i, b.mon().Monw(MON_TEST + i - 1)));
    b.add("LabelPocetProgramovani", b.t(20) + "= " + b.num(b.mon().Monw(MON_PROG_COUNT)));
    b.add("LabelVerze1", s.unitName);
    b.add("LabelVerze2", s.unitDate);
    b.add("LabelVerze3", s.unitTime);

    MonitorLabel& servo = b.live()
        ? b.add("LabelServo", fmt("Servo = %i/%i [mV]", b.mon().Monw(MON_SERVO), b.mon().Monw(MON_SERVO + 1)),
              bit(b.mon().Monb(MON_STATUS), STATUS_SERVO_OK) ? BUTTON_FACE : RED)
        : b.add("LabelServo", "Servo = ---");
    servo.visible = servo.enabled = b.img().Adrb(SERVO_ENABLE) != 0;

    const unsigned minutes = b.mon().hours();
    b.add("LabelHourMeter", b.live() ? fmt("%s = %u:%02u %s", b.t(69).c_str(), minutes / 60, minutes % 60, b.t(70).c_str())
                                      : b.t(69) + " = ---");
}

void powerOutputs(DisplayBuilder& b)
{
    struct Mode {
        int text;
        uint32_t colour;
    };
    const auto mode = [](int m) -> Mode {
        switch (m) {
        case 1: return {52, TEAL};
        case 2: return {53, MAGENTA};
        case 3: return {55, YELLOW};
        default: return {56, WHITE};
        }
    };
    for (int n = 0; n < POWER_OUT_COUNT; ++n) {
        const Mode md = mode(b.img().Adrb(POWER_OUT_MODE + n));
        const std::string caption = fmt("POUT%i(%s)", n + 1, b.t(md.text).c_str());
        b.state(n == 0 ? "LabelMonPOut1" : "LabelMonPOut2", caption, bit(b.mon().Monb(MON_POUT), n), md.colour);
    }
    for (int n = 0; n < 4; ++n) {
        const int text = n < POWER_OUT_COUNT ? mode(b.img().Adrb(POWER_OUT_MODE + n)).text : 55;
        b.add(fmt("ButtonTest0%i", n + 1).c_str(), fmt(LangText(POWER_OUT_NAME), n + 1) + " - " + b.t(text));
    }
}

} // namespace

bool HasSecondPickup(int s) { return s == 0 || s == 4 || s == 9 || s == 17 || s == 18 || s == 19 || s == 6 || s == 11 || s == 12 || s == 14; }

const MonitorLabel* MonitorView::label(const std::string& name) const
{
    const auto it = std::find_if(labels.begin(), labels.end(), [&](const MonitorLabel& l) { return l.name == name; });
    return it == labels.end() ? nullptr : &*it;
}

const MonitorGauge* MonitorView::gauge(const std::string& name) const
{
    const auto it = std::find_if(gauges.begin(), gauges.end(), [&](const MonitorGauge& g) { return g.name == name; });
    return it == gauges.end() ? nullptr : &*it;
}

MonitorView RefreshMonitorDisplay(MonitorSources& s)
{
    if (!s.liveSource)
        s.monitor.Clear();
    MonitorView v;
    v.point = operatingPoint(s.monitor);
    DisplayBuilder b(s, v);
    engineSpeed(b);
    load(b, v.point);
    pickups(b);
    supply(b);
    advance(b);
    states(b);
    unitData(b, s);
    powerOutputs(b);
    return v;
}
