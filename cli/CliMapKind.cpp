#include "CliMapKind.h"

#include "mapedit/MapImageBinding.h"
#include "mapedit/MapModel.h"

namespace {

const CliMapKind Maps[] = {
    { "advance", MapKind::Advance, MapImageBinding::LoadAdvanceMap, MapImageBinding::StoreAdvanceMap },
    { "servo", MapKind::Servo, MapImageBinding::LoadServoMap, MapImageBinding::StoreServoMap },
};

} // namespace

const CliMapKind* CliMapKind::Find(const std::string& name)
{
    for (const CliMapKind& m : Maps)
        if (name == m.name)
            return &m;
    return nullptr;
}

void CliMapKind::Load(MapModel& tab, const ParamImage& image) const
{
    DefineProgramMap(tab, kind);
    load(tab, image, MAP_DIM);
    tab.SetBaseAdvance(image.Adrb(BASE_ADV));
}
