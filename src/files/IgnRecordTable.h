#pragma once

#include "files/IgnRecord.h"

#include <span>
#include <string_view>

// The key table of parameter files, the one place that says which key holds which fields.
class IgnRecordTable {
public:
    // The token that starts a parameter file; the format version follows it.
    static constexpr const char* HEADER_KEY = "MOTRAVEX_KEY";

    // The records of a current file, in the order the writer writes them.
    static std::span<const IgnRecord> Current();

    // Keys of older files that the reader still understands; never written.
    static std::span<const IgnRecord> Older();

    // The record with token among its keys, current or older; nullptr for any other token.
    static const IgnRecord* Find(std::string_view token);
};
