#pragma once

#include "model/FieldFact.h"
#include "pages/ControlBinder.h"

#include <span>

class UpDownSpinBox;

// One spin button bound to one element of a field; pages keep these in tables and walk them.
struct UpDownField {
    UpDownSpinBox* upDown = nullptr;
    const FieldFact* fact = nullptr;
    int element = 0;
};

inline void StoreUpDownFields(ControlBinder& binder, std::span<const UpDownField> fields)
{
    for (const UpDownField& f : fields)
        binder.UpDownToImage(f.upDown, *f.fact, f.element);
}

inline void LoadUpDownFields(ControlBinder& binder, std::span<const UpDownField> fields)
{
    for (const UpDownField& f : fields)
        binder.ImageToUpDown(f.upDown, *f.fact, f.element);
}
