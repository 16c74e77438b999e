#pragma once

#include "model/LoadGroups.h"
#include "model/ParamImage.h"
#include "model/SelectionLists.h"

#include <array>
#include <cstdint>
#include <span>

constexpr int BIKE_SPECIAL_SETTING = 22;

// One extra byte a preset writes, and the group that must be selected for it.
struct PresetByte {
    int16_t address = -1;
    uint8_t value = 0;
    int8_t group = PAGE_BIKE;
};

// A tested trigger description for one motorcycle. trigger[] holds bytes 84, 85, 86 and the
// eight lobe bytes 118..125; -1 leaves a byte alone.
struct BikePreset {
    static constexpr std::array<int, 11> TRIGGER_ADDRESSES{PICKUP_SYSTEM, LOBE_COUNT, CHANNEL_COUNT,
        LOBE_START, LOBE_START + 1, LOBE_START + 2, LOBE_START + 3, LOBE_END, LOBE_END + 1, LOBE_END + 2, LOBE_END + 3};

    int code;
    const char* listText;    // LangString or plain text; nullptr: the code has no list entry
    bool writtenAlways;      // written whatever groups are selected
    int16_t trigger[11];
    PresetByte extra[2];
};

// The bike table in the order of the bike list (codes 41 and 42 last, without list entry).
std::span<const BikePreset> BikePresetTable();

// Every bike code with its list text (nullptr for the codes without list entry), in table order.
std::span<const CodedItem> BikeList();

// The preset of a code, or nullptr (22 Special setting and unknown codes have none).
const BikePreset* FindBikePreset(int code);

// Writes the preset of the code in BIKE, honouring the group flags.
void ApplyBikePreset(ParamImage& img, const LoadGroups& groups);
