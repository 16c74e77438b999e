#include "history/HistoryUnit.h"

#include "link/UnitInfo.h"

#include <cstdio>
#include <sstream>

namespace {

constexpr const char* NONE_SN = "none SN";

// Runs of blanks become one: the unit texts pad day and month with spaces.
std::string Simplified(const std::string& text)
{
    std::istringstream in(text);
    std::string word, out;
    while (in >> word)
        out += (out.empty() ? "" : " ") + word;
    return out;
}

} // namespace

std::string HistoryUnit::Identity() const
{
    return noSerialNumber() ? "name:" + name + "\n" + firmware : "sn:" + serialNumber;
}

std::string HistoryUnit::SerialText() const { return noSerialNumber() ? NONE_SN : serialNumber; }

HistoryUnit HistoryUnit::FromUnitInfo(const UnitInfo& info)
{
    HistoryUnit unit;
    if (info.serialNumber != NONE_SN)
        unit.serialNumber = info.serialNumber;
    unit.name = Simplified(info.name);
    char version[16];
    std::snprintf(version, sizeof version, "%d.%02d", info.versionMajor, info.versionMinor);
    unit.firmware = Simplified(std::string(version) + " " + info.firmwareDate + " " + info.firmwareTime);
    return unit;
}
