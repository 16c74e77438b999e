#pragma once

#include "mapedit/MapModel.h"
#include "mapedit/ProgramMaps.h"
#include "model/ParamImage.h"

#include <cstdint>
#include <memory>

// One map of a second configuration kept beside the editor's own, so the views can show where the
// two differ: the same map definition, loaded from the other image as its page would load it.
// Elements are compared by their place in the table (column and row as shown), headers included.
class MapReference {
public:
    // The colour the views draw the reference in (0x00BBGGRR): apart from the curves' grey, red
    // and blue and from the heat colours' white-edged marks.
    static constexpr uint32_t COLOUR = 0x990099;

    MapReference();
    // The map of kind (output 0 or 1 for the power outputs) from image; nullptr for a map that
    // no image loads.
    static std::shared_ptr<const MapReference> Load(MapKind kind, const ParamImage& image, int output = 0);

    const MapModel& Model() const { return model_; }
    // The reference's sheet of the same index; nullptr when it has none.
    const MapSheet* Sheet(int index) const;
    // The reference value of an element of a sheet (headers with -1 as in MapSheet); false when the
    // reference has no such element.
    bool ValueOf(int sheet, int column, int row, int32_t& value) const;
    // The element of the screen's active sheet has another value than the reference, or the
    // reference has no such element.
    bool Differs(const MapModel& screen, int column, int row) const;
    // The base advance the reference's graphs start from.
    int32_t BaseAdvance() const { return model_.BaseAdvance(); }

private:
    MapModel model_;
};
