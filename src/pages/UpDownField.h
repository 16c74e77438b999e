#pragma once

#include "model/FieldRef.h"
#include "pages/ControlBinder.h"

#include <span>

class TUpDown;

// One spin button bound to one image field; pages keep these in tables and walk them.
struct UpDownField {
    TUpDown* upDown = nullptr;
    FieldRef field;
    int scale = 1;
    int offset = 0;
};

inline void StoreUpDownFields(ControlBinder& binder, std::span<const UpDownField> fields)
{
    for (const UpDownField& f : fields)
        binder.UpDownToImage(f.upDown, f.field, f.scale, f.offset);
}

inline void LoadUpDownFields(ControlBinder& binder, std::span<const UpDownField> fields)
{
    for (const UpDownField& f : fields)
        binder.ImageToUpDown(f.upDown, f.field, f.scale, f.offset);
}
