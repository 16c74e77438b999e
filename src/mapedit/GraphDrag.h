#pragma once

#include "mapedit/MapModel.h"
#include "mapedit/GraphRanges.h"

#include <cstdint>

// Dragging a point, the base advance or a limiter marker in the 2D graph. The view turns the
// pointer into raw values; this moves the map and brings the change back through NoteChange.
class GraphDrag {
public:
    // Graph elements, as the hot point of the view: a map point is point + 50 x curve.
    static constexpr int NONE = -100;
    static constexpr int BASE_ADVANCE = -1;
    static constexpr int LIMITER = -2;
    static constexpr int START_LIMITER = -3;
    static constexpr int PointId(int point, int curve) { return point + TAB_MAX_X * curve; }
    static constexpr int PointOf(int id) { return id % TAB_MAX_X; }
    static constexpr int CurveOf(int id) { return id / TAB_MAX_X; }

    bool Active() const { return element_ != NONE; }
    int Element() const { return element_; }

    // Whether an element can be dragged at all on the active sheet.
    static bool Draggable(const MapModel& tab, const GraphRanges& ranges, int element);
    // Opens the change bracket; false (and nothing opened) when the element cannot move.
    bool Begin(MapModel& tab, const GraphRanges& ranges, int element);
    // One step of the drag: the raw values under the pointer, the grab offset already taken off.
    // Shift moves the dragged point's whole curve along, Ctrl its whole column.
    void Move(MapModel& tab, const GraphRanges& ranges, int32_t acrossRaw, int32_t dataRaw, bool shift, bool ctrl);
    // Closes the bracket: a drag that changed something is committed once.
    void End(MapModel& tab);

    // Whether point (point, curve) moves along with the dragged map point.
    static bool MovesWith(
        const MapSheet& sheet, const GraphRanges& ranges, int dragged, int point, int curve, bool shift, bool ctrl);

private:
    void MovePoint(MapModel& tab, const GraphRanges& ranges, int32_t acrossRaw, int32_t dataRaw, bool shift, bool ctrl);

    int element_ = NONE;
    int mask_ = 0;
};
