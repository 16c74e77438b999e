#include "mapedit/ReferenceDifference.h"

#include "mapedit/MapModel.h"
#include "mapedit/MapRawValues.h"
#include "mapedit/MapReference.h"

ReferenceDifference::ReferenceDifference(MapModel& tab, const MapReference* reference, bool show)
    : tab_(tab)
{
    if (!reference || !show || tab.SheetCount() == 0)
        return;
    active_ = true;
    MapSheet& s = tab.Sheet();
    MapAxis& data = s.axisData;
    values_ = data.values;
    minValue_ = data.minValue;
    maxValue_ = data.maxValue;
    fullRange3D_ = data.fullRange3D;
    baseAdvance_ = tab.BaseAdvance();
    for (int row = 0; row < s.DataRows(); ++row)
        for (int column = 0; column < s.DataColumns(); ++column) {
            int32_t other = s.Cell(column, row);
            reference->ValueOf(tab.ActiveSheet(), column, row, other);
            s.Cell(column, row) = TruncatedRaw(double(s.Cell(column, row)) - other);
        }
    // A difference may run either way over the whole range, and its scale follows the differences.
    const int32_t span = maxValue_ - minValue_;
    data.minValue = -span;
    data.maxValue = span;
    data.fullRange3D = 0;
    tab.SetBaseAdvance(baseAdvance_ - reference->BaseAdvance());
}

ReferenceDifference::~ReferenceDifference()
{
    if (!active_)
        return;
    MapAxis& data = tab_.Sheet().axisData;
    data.values = values_;
    data.minValue = minValue_;
    data.maxValue = maxValue_;
    data.fullRange3D = fullRange3D_;
    tab_.SetBaseAdvance(baseAdvance_);
}
