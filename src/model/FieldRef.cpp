#include "model/FieldRef.h"

int FieldRef::read(const ParamImage& img) const
{
    if (view == Word) {
        const uint16_t raw = img.Adrw(index());
        return isSigned() ? static_cast<int16_t>(raw) : raw;
    }
    const uint8_t raw = img.Adrb(index());
    return isSigned() ? static_cast<int8_t>(raw) : raw;
}

void FieldRef::write(ParamImage& img, int v) const
{
    if (view == Word)
        img.Adrw(index()) = static_cast<uint16_t>(v);
    else
        img.Adrb(index()) = static_cast<uint8_t>(v);
}

int ImageToScreen(const ParamImage& img, FieldRef ref, int scale, int offset)
{
    const int raw = ref.read(img);
    if (ref.isSigned())
        return scale * raw + offset;
    return scale * static_cast<int16_t>(raw + offset);
}

void ScreenToImage(ParamImage& img, FieldRef ref, int shown, int scale, int offset)
{
    ref.write(img, shown / (scale == 0 ? 1 : scale) - offset);
}

int ImageToFile(const ParamImage& img, FieldRef ref, int scale, int offset)
{
    return scale * (offset + ref.read(img));
}
