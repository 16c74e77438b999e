#pragma once

#include <cstdint>
#include <string>

struct UnitInfo;

// A unit the workshop met. A unit is known by its serial number; one that reports none ("none SN")
// is known by its name and firmware instead.
struct HistoryUnit {
    int64_t id = 0;
    std::string serialNumber; // empty for a unit without one
    std::string name;
    std::string firmware;
    int64_t firstSeenMs = 0; // milliseconds since 1970 (UTC)
    int64_t lastSeenMs = 0;
    int events = 0;

    bool noSerialNumber() const { return serialNumber.empty(); }
    // The key the database keeps the unit by.
    std::string Identity() const;
    // The serial number as the window shows it, "none SN" for a unit without one.
    std::string SerialText() const;

    // The unit as the texts of its reference block describe it.
    static HistoryUnit FromUnitInfo(const UnitInfo& info);
};
