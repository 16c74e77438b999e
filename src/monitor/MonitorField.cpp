#include "monitor/MonitorField.h"

#include <cstdio>

namespace {

using Width = MonitorField::Width;

// MON_KEY (byte 100) is not listed: a recording keeps bytes 0..99 of the monitor image only.
const std::vector<MonitorField> FIELDS = {
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

} // namespace

const std::vector<MonitorField>& MonitorField::All()
{
    return FIELDS;
}

const MonitorField* MonitorField::Find(const std::string& name)
{
    for (const MonitorField& f : FIELDS)
        if (name == f.name)
            return &f;
    return nullptr;
}

long MonitorField::Raw(const MonitorImage& m, int element) const
{
    switch (width) {
    case Width::Word:
        return m.Monw(index + element);
    case Width::Byte:
        return m.Monb(index + element);
    case Width::Hours:
        return static_cast<long>(m.hours());
    }
    return 0;
}

std::optional<double> MonitorField::Value(const MonitorImage& m, int element) const
{
    const long raw = Raw(m, element);
    if (noValueAtZero && raw == 0)
        return std::nullopt;
    return static_cast<double>(raw + offset) / divisor;
}

std::string MonitorField::Text(const MonitorImage& m, int element) const
{
    const std::optional<double> value = Value(m, element);
    if (!value)
        return {};
    char text[32];
    if (decimals == 0 && divisor == 1)
        std::snprintf(text, sizeof text, "%ld", Raw(m, element) + offset);
    else
        std::snprintf(text, sizeof text, "%.*f", decimals, *value);
    return text;
}
