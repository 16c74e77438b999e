#pragma once

#include "link/ProtocolTable.h"

#include <array>
#include <cstddef>
#include <cstdint>

// One row of the unit search: the protocol tried, the line rate it is tried at and the time-out
// (both the codec's inter-byte time-out and the time allowed for each identify attempt).
struct SearchRow {
    int32_t protocol;
    uint32_t baud;
    int32_t timeoutMs;
};

// The rows the search tries on every port, in order, ended by a row with protocol 0. Rows marked
// as family rows are filled with the family's own protocol before the first search.
class SearchTable {
public:
    static constexpr int ROWS = 14;
    static constexpr int32_t FAMILY = -1; // placeholder until FillFamilyRows
    // What the program fills the family rows with: its own unit family's protocol.
    static constexpr SearchRow OWN_FAMILY { PROTOCOL_IGN100, 57600, 175 };

    SearchTable();
    // The main window's constructor fills the family rows before the first search.
    void FillFamilyRows(const SearchRow& family = OWN_FAMILY);
    // Limits the table to one row (the CLI and tests that know the unit's protocol).
    void KeepOnly(const SearchRow& row);

    const SearchRow& Row(int index) const { return rows_[static_cast<size_t>(index)]; }
    bool IsEnd(int index) const
    {
        return index < 0 || index >= ROWS || rows_[static_cast<size_t>(index)].protocol == 0;
    }
    // The index of the first row whose protocol is id, or -1.
    int Find(int32_t protocol, uint32_t baud) const;

private:
    std::array<SearchRow, ROWS + 1> rows_;
    std::array<bool, ROWS + 1> family_ {};
};
