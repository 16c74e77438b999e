#include "mapedit/MapModel.h"

#include "mapedit/MapRawValues.h"

namespace {

// The block of a fill or move drag as it was at the press: the saved values and the starting box.
struct SavedBlock {
    const std::vector<int32_t>& values;
    int kind;
    const MapBox& box;

    double At(int c, int r) const
    {
        if (kind == SEL_COLUMNS)
            return values[static_cast<size_t>(c)];
        if (kind == SEL_ROWS)
            return values[static_cast<size_t>(r)];
        return values[static_cast<size_t>(r * TAB_MAX_X + c)];
    }

    // A fill keeps the box and continues it outward by the gradient of its nearest edge, in x and
    // in y added together; a box one element wide along a direction is repeated along it.
    double Filled(int c, int r) const
    {
        const int x0 = box[BOX_X0], y0 = box[BOX_Y0], x1 = box[BOX_X1], y1 = box[BOX_Y1];
        const int cc = ClampInt(c, x0, x1), rr = ClampInt(r, y0, y1);
        double value = At(cc, rr);
        if (c > x1 && x1 > x0)
            value += (At(x1, rr) - At(x1 - 1, rr)) * (c - x1);
        if (c < x0 && x1 > x0)
            value += (At(x0 + 1, rr) - At(x0, rr)) * (c - x0);
        if (r > y1 && y1 > y0)
            value += (At(cc, y1) - At(cc, y1 - 1)) * (r - y1);
        if (r < y0 && y1 > y0)
            value += (At(cc, y0 + 1) - At(cc, y0)) * (r - y0);
        return value;
    }
};

} // namespace

void MapModel::ApplyBlock(bool fill, const std::vector<int32_t>& saved, const MapBox& start, const MapBox& target)
{
    MapSheet& s = Sheet();
    MapSelection& sel = s.selection;
    const int kind = sel.kind;
    const auto& b = start;
    const auto& t = target;
    const SavedBlock block { saved, kind, b };
    const int shiftX = t[BOX_X0] - b[BOX_X0], shiftY = t[BOX_Y0] - b[BOX_Y0];
    sel.Clear();
    for (int r = t[BOX_Y0]; r <= t[BOX_Y1]; ++r)
        for (int c = t[BOX_X0]; c <= t[BOX_X1]; ++c) {
            if (!s.Inside(c, r))
                continue;
            const double value = fill ? block.Filled(c, r) : block.At(c - shiftX, r - shiftY);
            s.Value(c, r) = TruncatedRaw(value);
            sel.SetMark(c, r, MARK_DRAG);
        }
    sel.Commit();
    sel.startColumn = t[BOX_X0], sel.startRow = t[BOX_Y0], sel.endColumn = t[BOX_X1], sel.endRow = t[BOX_Y1];
    const int mask = MaskOfKind(kind);
    if (mask != AXIS_DATA)
        s.Axis(mask).lastMoved = MapAxis::LAST_MOVED_NONE;
    NoteChange(mask, ChangeEnd);
}
