#pragma once

#include "model/FieldFactTable.h"

#include <span>
#include <string_view>

// The table of field facts and its look-ups: by name, and by byte offset for anything that walks
// the image byte by byte (comparisons of two images name the setting each differing byte belongs to).
class FieldFacts {
public:
    // Where one byte of the image belongs: a row and the element of that row; no row for the
    // bytes that hold nothing the program interprets.
    struct Place {
        const FieldFact* fact = nullptr;
        int element = 0;
    };

    static constexpr std::span<const FieldFact> All() { return FIELD_FACT_TABLE; }

    // Index-based on purpose: GCC's undefined-behaviour sanitizer cannot evaluate the null checks
    // it adds to pointers into the table while compiling, so constant look-ups avoid them.
    static constexpr int IndexOf(std::string_view name)
    {
        for (size_t i = 0; i < std::size(FIELD_FACT_TABLE); ++i)
            if (name == FIELD_FACT_TABLE[i].name)
                return int(i);
        return -1;
    }

    static constexpr const FieldFact* Find(std::string_view name)
    {
        const int i = IndexOf(name);
        return i < 0 ? nullptr : &FIELD_FACT_TABLE[i];
    }

    // The place of byte 0..RS_LEN_EXE-1; outside the image, no row.
    static Place AtByte(int byte);
};

// The row of a name, found while compiling: a name without a row does not build.
consteval const FieldFact& Fact(std::string_view name)
{
    const int i = FieldFacts::IndexOf(name);
    if (i < 0)
        throw "no field fact of that name";
    return FIELD_FACT_TABLE[i];
}
