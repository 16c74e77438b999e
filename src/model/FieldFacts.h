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

    static constexpr const FieldFact* Find(std::string_view name)
    {
        for (const FieldFact& f : FIELD_FACT_TABLE)
            if (name == f.name)
                return &f;
        return nullptr;
    }

    // The place of byte 0..RS_LEN_EXE-1; outside the image, no row.
    static Place AtByte(int byte);
};

// The row of a name, found while compiling: a name without a row does not build.
consteval const FieldFact& Fact(std::string_view name)
{
    const FieldFact* f = FieldFacts::Find(name);
    if (!f)
        throw "no field fact of that name";
    return *f;
}
