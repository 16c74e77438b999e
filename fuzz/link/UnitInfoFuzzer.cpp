#include "link/UnitInfo.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// The longest each text may become: the unit name, a date, a time, the programmed-by record with
// the name, the serial number, the last update; the panel holds four of them and the version.
constexpr size_t MAX_TEXT = 64;
constexpr size_t MAX_PANEL = 6 * MAX_TEXT;

void CheckLength(const std::string& text, size_t limit)
{
    if (text.size() > limit)
        std::abort();
}

} // namespace

// Any 100 bytes as the unit's reference block: the unit texts stay short and the panel is built.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ReferenceBlock block {};
    std::copy_n(data, std::min(size, block.size()), block.begin());
    const UnitInfo info = BuildUnitInfo(block);
    CheckLength(info.name, 30);
    for (const std::string* text :
        { &info.firmwareDate, &info.firmwareTime, &info.programmedBy, &info.serialNumber, &info.lastUpdate })
        CheckLength(*text, MAX_TEXT);
    for (int state = 0; state < 3; ++state)
        CheckLength(UnitPanelText(state, "RSKEY=93.00", info), MAX_PANEL);
    return 0;
}
