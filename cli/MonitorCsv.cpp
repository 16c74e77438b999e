#include "MonitorCsv.h"

#include <cstdio>

namespace {

enum class Width { Word, Byte, Hours };

// One named monitor field: where it lives, how many elements it has and how a raw value becomes
// the user's unit (value + offset, divided by divisor, shown with decimals). A zero raw value of
// a field marked noValueAtZero means "not known" and leaves the cell empty.
struct MonitorColumn {
    const char* name;
    Width width;
    int index;
    int count;
    const char* unit;
    int offset = 0;
    int divisor = 1;
    int decimals = 0;
    bool noValueAtZero = false;
};

// MON_KEY (byte 100) is not listed: a recording keeps bytes 0..99 of the monitor image only.
const MonitorColumn COLUMNS[] = {
    { "MON_RPM", Width::Word, MON_RPM, 1, "rpm" },
    { "MON_SENSOR_MV", Width::Word, MON_SENSOR_MV, 1, "mV" },
    { "MON_SUPPLY_MV", Width::Word, MON_SUPPLY_MV, 1, "V", 0, 1000, 3 },
    { "MON_SERVO", Width::Word, MON_SERVO, 2, "mV" },
    { "MON_PROG_COUNT", Width::Word, MON_PROG_COUNT, 1, "" },
    { "MON_ADV_MAX", Width::Word, MON_ADV_MAX, CHANNELS, "deg" },
    { "MON_LOAD", Width::Word, MON_LOAD, 1, "% or kPa" },
    { "MON_SAVE_COUNTDOWN", Width::Word, MON_SAVE_COUNTDOWN, 1, "" },
    { "MON_TEST", Width::Word, MON_TEST, 10, "" },
    { "MON_HOURS", Width::Hours, 0, 1, "h", 0, 60, 2 },
    { "MON_CLUTCH", Width::Byte, MON_CLUTCH, 1, "" },
    { "MON_SENSOR_KIND", Width::Byte, MON_SENSOR_KIND, 1, "" },
    { "MON_POUT", Width::Byte, MON_POUT, 1, "" },
    { "MON_ADV", Width::Byte, MON_ADV, CHANNELS, "deg", -100, 1, 0, true },
    { "MON_LIMITER", Width::Byte, MON_LIMITER, 1, "" },
    { "MON_RETARD", Width::Byte, MON_RETARD, 1, "" },
    { "MON_START_LIMITER", Width::Byte, MON_START_LIMITER, 1, "" },
    { "MON_PICKUPS", Width::Byte, MON_PICKUPS, 1, "" },
    { "MON_STATUS", Width::Byte, MON_STATUS, 1, "" },
    { "MON_SUBVERSION", Width::Byte, MON_SUBVERSION, 1, "" },
};

long Raw(const MonitorColumn& c, const MonitorImage& m, int element)
{
    switch (c.width) {
    case Width::Word:
        return m.Monw(c.index + element);
    case Width::Byte:
        return m.Monb(c.index + element);
    case Width::Hours:
        return static_cast<long>(m.hours());
    }
    return 0;
}

std::string Cell(const MonitorColumn& c, const MonitorImage& m, int element)
{
    const long raw = Raw(c, m, element);
    if (c.noValueAtZero && raw == 0)
        return {};
    char text[32];
    if (c.decimals == 0 && c.divisor == 1)
        std::snprintf(text, sizeof text, "%ld", raw + c.offset);
    else
        std::snprintf(text, sizeof text, "%.*f", c.decimals, static_cast<double>(raw + c.offset) / c.divisor);
    return text;
}

} // namespace

std::string MonitorCsv::Header()
{
    std::string line = "time [s]";
    for (const MonitorColumn& c : COLUMNS)
        for (int e = 0; e < c.count; ++e) {
            line += ',';
            line += c.name;
            if (c.count > 1)
                line += std::to_string(e + 1);
            if (*c.unit)
                line += std::string(" [") + c.unit + "]";
        }
    return line;
}

std::string MonitorCsv::Row(double seconds, const MonitorImage& monitor)
{
    char time[32];
    std::snprintf(time, sizeof time, "%.3f", seconds);
    std::string line = time;
    for (const MonitorColumn& c : COLUMNS)
        for (int e = 0; e < c.count; ++e)
            line += ',' + Cell(c, monitor, e);
    return line;
}
