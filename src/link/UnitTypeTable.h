#pragma once

#include <cstdint>

constexpr int UNIT_TYPE_COUNT = 122;
constexpr int32_t REQUIRED_UNIT_TYPE = 93; // this program's unit family

// A known unit type code with its display name.
struct UnitType {
    int32_t code;
    char name[32];
};

// The 122 known unit types, ended by a row with code 0.
const UnitType* UnitTypeTable();
// The display name of a code, or nullptr for an unknown code.
const char* UnitTypeName(int32_t code);
