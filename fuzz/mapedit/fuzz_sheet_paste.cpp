#include "mapedit/MapModel.h"
#include "mapedit/ProgramMaps.h"
#include "mapedit/SheetClipboard.h"

#include <cstdint>
#include <string>

// Clipboard text comes from other programs: both paste paths must take any bytes without
// leaving the map out of its limits. The first byte picks the map and the selection.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    static const MapKind kinds[] = { MapKind::Advance, MapKind::Servo, MapKind::Lambda, MapKind::PowerOutA,
        MapKind::PowerOutB, MapKind::IapSensor };
    MapModel tab;
    DefineProgramMap(tab, kinds[data[0] % 6]);
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    const int column = (data[0] >> 3) % 3 - 1, row = (data[0] >> 5) % 3 - 1;
    if (column >= 0 || row >= 0)
        tab.SelectElement(column, row);
    PasteSelectionText(tab, text);
    PasteTableText(tab, text);
    const MapSheet& s = tab.Sheet();
    for (int r = 0; r < s.DataRows(); ++r)
        for (int c = 0; c < s.DataColumns(); ++c)
            if (s.Cell(c, r) < s.axisData.minValue || s.Cell(c, r) > s.axisData.maxValue)
                __builtin_trap();
    for (int i = 1; i < s.axisX.count; ++i)
        if (s.axisX.values[i] < s.axisX.values[i - 1] + s.axisX.minSpacing)
            __builtin_trap();
    SelectionText(tab);
    TableSheetText(tab);
    return 0;
}
