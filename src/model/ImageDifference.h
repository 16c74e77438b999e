#pragma once

#include "model/FieldFact.h"
#include "model/MapFact.h"

#include <cstdint>
#include <string>

// One thing that differs between two parameter images, named as the window names it and with both
// values as the window shows them.
struct ImageDifference {
    enum class Kind : uint8_t {
        Setting, // an element of a setting with a control or caption of its own
        MapAxis, // a speed or load point of a map
        MapCell, // a cell of a map
        Byte, // a byte that belongs to no named setting
    };

    Kind kind = Kind::Byte;
    int byte = 0; // the first byte of the element in the image
    const FieldFact* fact = nullptr; // the field that holds the byte, nullptr for an unused byte
    int element = 0;
    MapId map = MapId::None;
    // A cell's row and column; a point of the speed axis has only its column, of the load axis only its row.
    int row = -1;
    int column = -1;
    std::string name;
    std::string first, second; // the values of the first and of the second image
    int firstRaw = 0, secondRaw = 0; // the raw element (a switching cell: its bit)
};
