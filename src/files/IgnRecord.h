#pragma once

#include "model/ImageLayout.h"
#include "model/LoadGroups.h"

#include <array>
#include <cstdint>

// One key record of a parameter file: its key (and the older names a reader still accepts) and the
// steps that say which image fields its numbers stand for, in order. The writer writes a record
// from its steps and the reader reads it back by the same steps, so the two cannot drift apart.
struct IgnRecord {
    enum class Action : uint8_t {
        End, // no further step
        // Byte fields: written as (raw + addend) x multiplier, read back as number div multiplier
        // - addend; a result outside 0..255 stores 0.
        Bytes,
        Words, // word fields, written and read like bytes; the reader keeps the low 16 bits
        Unread, // byte fields the writer writes and the reader leaves as they are
        Skip, // numbers the reader discards; nothing is written
        // The field's first element once more for each further element: the reader copies it
        // over them and discards their numbers.
        Copies,
        AdvanceMap, // a map, a row per line; read as (number - addend) modulo 256, without range handling
        ServoMap, // a map, a row per line; a version-80 file holds one row that stands for every row
        // Lobe bytes, three numbers each (lobe number, second edge, second pick-up), a byte per
        // line, LOBE_START and LOBE_END of a channel in turn.
        Lobes,
        Cells, // power-output cell bytes, four 0/1 numbers each (bits 0..3), a byte per line
        TpsMapa, // the reader only: an old load-map switch, which also meant a TP sensor
        BikeSeen, // the reader only: the file held a bike record
    };

    struct Step {
        Action action = Action::End;
        int16_t address = 0; // Adrb, or Adrw for Words
        int16_t count = 1;
        int16_t multiplier = 1;
        int16_t addend = 0;
        int8_t group = PAGE_ALL; // the load group a read needs to change the fields
        int8_t lineBreaks = 0; // continuation lines the writer starts before the step's numbers

        // For Lobes: the address of lobe byte k, LOBE_START and LOBE_END of each channel in turn.
        constexpr int LobeAddress(int k) const { return address + k / 2 + (k % 2 ? CHANNELS : 0); }
    };

    // When the reader applies the record at all.
    enum class When : uint8_t { Always, AllPages, GroupSelected };

    std::array<const char*, 6> keys {}; // keys[0] is the one the writer writes
    std::array<Step, 9> steps {};
    bool emptyLineAfter = false; // the writer ends the record with an empty continuation line
    When when = When::Always;
    int8_t group = PAGE_ALL; // for When::GroupSelected
};
