#pragma once

#include <cstdint>

// The unit the program was last connected to: its port, the search row that found it and the line
// rate. The search tries that row on that port before its full order, so a unit that is still
// there answers at once, wherever its row lies in the table.
struct KnownUnit {
    int32_t port = 0; // 0: none known
    int32_t row = -1;
    uint32_t baud = 0;

    bool Valid() const { return port > 0 && port < 256 && row >= 0 && baud > 0; }
};
