#pragma once

#include "model/MonitorImage.h"

#include <string>

// The monitor block as CSV: a time column in seconds, then every named monitor field in user units
// (one column per element of the fields that hold several). Live output and exported recordings
// share these columns.
class MonitorCsv {
public:
    static std::string Header();
    static std::string Row(double seconds, const MonitorImage& monitor);
};
