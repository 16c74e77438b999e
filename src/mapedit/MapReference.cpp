#include "mapedit/MapReference.h"

#include "mapedit/MapImageBinding.h"

MapReference::MapReference() = default;

std::shared_ptr<const MapReference> MapReference::Load(MapKind kind, const ParamImage& image, int output)
{
    auto reference = std::make_shared<MapReference>();
    if (DefineProgramMap(reference->model_, kind, output + 1) < 0
        || !MapImageBinding::LoadProgramMap(reference->model_, kind, image, output))
        return nullptr;
    return reference;
}

const MapSheet* MapReference::Sheet(int index) const
{
    if (index < 0 || index >= model_.SheetCount() || !model_.SheetAt(index).defined)
        return nullptr;
    return &model_.SheetAt(index);
}

bool MapReference::ValueOf(int sheet, int column, int row, int32_t& value) const
{
    const MapSheet* s = Sheet(sheet);
    if (!s || !s->Inside(column, row))
        return false;
    value = s->ValueOf(column, row);
    return true;
}

bool MapReference::Differs(const MapModel& screen, int column, int row) const
{
    const MapSheet& shown = screen.Sheet();
    if (!shown.Inside(column, row))
        return false;
    int32_t value = 0;
    return !ValueOf(screen.ActiveSheet(), column, row, value) || value != shown.ValueOf(column, row);
}
