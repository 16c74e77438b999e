#pragma once

#include "model/MonitorImage.h"

#include <optional>
#include <string>
#include <vector>

// One named monitor field: where it lives, how many elements it has and how a raw value becomes
// the user's unit (value + offset, divided by divisor, shown with decimals). A zero raw value of
// a field marked noValueAtZero means "not known". The CSV export and the log plots read the
// monitor block through this one table so that both show the same numbers.
struct MonitorField {
    enum class Width { Word, Byte, Hours };

    const char* name;
    Width width;
    int index;
    int count;
    const char* unit;
    int offset = 0;
    int divisor = 1;
    int decimals = 0;
    bool noValueAtZero = false;

    // Every named field, in the order of the CSV columns.
    static const std::vector<MonitorField>& All();
    // The field of that name, or nullptr.
    static const MonitorField* Find(const std::string& name);

    long Raw(const MonitorImage& m, int element) const;
    // The value in the user's unit; empty when the field reports "not known".
    std::optional<double> Value(const MonitorImage& m, int element) const;
    // The value as the CSV export writes it; empty when not known.
    std::string Text(const MonitorImage& m, int element) const;
};
