#pragma once

#include <array>
#include <cstdint>
#include <string>

constexpr int REFERENCE_BLOCK_LEN = 100;
using ReferenceBlock = std::array<uint8_t, REFERENCE_BLOCK_LEN>;

// The texts derived from the unit's reference block; empty until a block has been read.
struct UnitInfo {
    std::string name;        // up to 30 characters
    std::string firmwareDate;
    std::string firmwareTime;
    std::string programmedBy; // with the unit name appended
    std::string serialNumber;
    std::string lastUpdate;

    int versionMajor = 0;
    int versionMinor = 0;
};

UnitInfo BuildUnitInfo(const ReferenceBlock& block);

// Month of a firmware date: the sum of the three letters of the English abbreviation modulo 256;
// 0 for an unknown code.
int FirmwareMonth(uint8_t code);

// How the connected unit's program version compares with the program's own.
enum UnitVersionState : int32_t { VERSION_NOT_CONNECTED = 0, VERSION_OTHER = 1, VERSION_MATCHING = 2 };

// Panel 4 of the status bar.
std::string UnitPanelText(int versionState, const std::string& versionText, const UnitInfo& info);
