#include "monitor/MonitorCsv.h"

#include "monitor/MonitorField.h"

#include <cstdio>

std::string MonitorCsv::Header()
{
    std::string line = "time [s]";
    for (const MonitorField& f : MonitorField::All())
        for (int e = 0; e < f.count; ++e) {
            line += ',';
            line += f.name;
            if (f.count > 1)
                line += std::to_string(e + 1);
            if (*f.unit)
                line += std::string(" [") + f.unit + "]";
        }
    return line;
}

std::string MonitorCsv::Row(double seconds, const MonitorImage& monitor)
{
    char time[32];
    std::snprintf(time, sizeof time, "%.3f", seconds);
    std::string line = time;
    for (const MonitorField& f : MonitorField::All())
        for (int e = 0; e < f.count; ++e)
            line += ',' + f.Text(monitor, e);
    return line;
}
