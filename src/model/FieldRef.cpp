#include "model/FieldRef.h"

int FieldRef::Read(const ParamImage& img) const
{
    if (view == Word) {
        const uint16_t raw = img.Adrw(Index());
        return IsSigned() ? static_cast<int16_t>(raw) : raw;
    }
    const uint8_t raw = img.Adrb(Index());
    return IsSigned() ? static_cast<int8_t>(raw) : raw;
}

void FieldRef::Write(ParamImage& img, int v) const
{
    if (view == Word)
        img.Adrw(Index()) = static_cast<uint16_t>(v);
    else
        img.Adrb(Index()) = static_cast<uint8_t>(v);
}

int ImageToScreen(const ParamImage& img, FieldRef ref, int scale, int offset)
{
    const int raw = ref.Read(img);
    if (ref.IsSigned())
        return scale * raw + offset;
    return scale * static_cast<int16_t>(raw + offset);
}

void ScreenToImage(ParamImage& img, FieldRef ref, int shown, int scale, int offset)
{
    ref.Write(img, shown / (scale == 0 ? 1 : scale) - offset);
}

int ImageToFile(const ParamImage& img, FieldRef ref, int scale, int offset)
{
    return scale * (offset + ref.Read(img));
}
