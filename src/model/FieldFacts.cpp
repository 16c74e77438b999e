#include "model/FieldFacts.h"

#include <array>
#include <cstdint>

namespace {

constexpr int16_t NO_ROW = -1;
constexpr int16_t SHARED = -2;

// For every byte of the image the index of the row that holds it, NO_ROW, or SHARED when two
// rows claim it.
constexpr auto ROW_OF_BYTE = [] {
    std::array<int16_t, RS_LEN_EXE> rows {};
    rows.fill(NO_ROW);
    for (size_t i = 0; i < std::size(FIELD_FACT_TABLE); ++i) {
        const FieldFact& f = FIELD_FACT_TABLE[i];
        for (int b = f.FirstByte(); b < f.FirstByte() + f.ByteCount(); ++b) {
            int16_t& row = rows.at(static_cast<size_t>(b)); // a row past the image does not build
            row = row == NO_ROW ? static_cast<int16_t>(i) : SHARED;
        }
    }
    return rows;
}();

constexpr bool NoByteShared()
{
    for (int16_t row : ROW_OF_BYTE)
        if (row == SHARED)
            return false;
    return true;
}

static_assert(NoByteShared(), "two field facts claim the same byte");

} // namespace

FieldFacts::Place FieldFacts::AtByte(int byte)
{
    if (byte < 0 || byte >= RS_LEN_EXE)
        return {};
    const int16_t row = ROW_OF_BYTE[static_cast<size_t>(byte)];
    if (row < 0)
        return {};
    const FieldFact& f = FIELD_FACT_TABLE[row];
    return { &f, (byte - f.FirstByte()) / f.Width() };
}
