#include "model/ImageValidation.h"

#include "model/ImageDefaults.h"
#include "model/LobeByte.h"

#include <algorithm>

namespace {

int sign(int v) { return (v > 0) - (v < 0); }

struct SeriesAccess {
    ParamImage& img;
    ClampWidth width;
    bool isSigned;
    int address;

    int get(int i) const
    {
        if (width == ClampWidth::Words) {
            const uint16_t w = img.Adrw(address + i);
            return isSigned ? static_cast<int16_t>(w) : w;
        }
        const uint8_t b = img.Adrb(address + i);
        return isSigned ? static_cast<int8_t>(b) : b;
    }
    void set(int i, int v)
    {
        if (width == ClampWidth::Words)
            img.Adrw(address + i) = static_cast<uint16_t>(v);
        else
            img.Adrb(address + i) = static_cast<uint8_t>(v);
    }
};

bool inList(int v, std::initializer_list<int> list) { return std::find(list.begin(), list.end(), v) != list.end(); }

void validateLobes(ParamImage& img)
{
    const int system = img.Adrb(PICKUP_SYSTEM);
    const int lobeCount = img.Adrb(LOBE_COUNT);
    for (int ch = 0; ch < CHANNELS; ++ch) {
        for (int address : {LOBE_START + ch, LOBE_END + ch}) {
            uint8_t& b = img.Adrb(address);
            const int lobe = LobeByte::number(b, system);
            if (lobe > lobeCount)
                b = LobeByte::withNumber(b, lobeCount, system);
            if (LobeByte::number(b, system) == 0)
                b = LobeByte::withNumber(b, 1, system);
            if (!inList(system, {14, 0, 4, 9, 17, 18, 19}))
                b &= 0x7F;
        }
    }
}

void validatePowerOutputs(ParamImage& img)
{
    const int loadHigh = img.Adrb(TPSIAP_SENSOR) == 2 ? 999 : 100;
    for (int n = 0; n < POWER_OUT_COUNT; ++n) {
        uint8_t& mode = img.Adrb(POWER_OUT_MODE + n);
        if (mode > 2)
            mode = 3;
        ClampSeries(img, ClampWidth::Bytes, 1, POWER_OUT_RPM + 3 * n, 3, 3, 250, 1);
        ClampSeries(img, ClampWidth::Words, 1, POWER_OUT_TP + 2 * n, 2, 0, loadHigh, 1);
        if (mode == 2)
            PowerOutDefaults(img, n, PowerOutDefaultForm::CellsOnly);
    }
}

void validateOutside(OutsideSettings& s)
{
    if (s.language != 1 && s.language != 2)
        s.language = 0;
    if (s.forcedPort >= 256 || s.forcedPort < -1)
        s.forcedPort = -1;
    if (s.nextScanPort >= 256 || s.nextScanPort <= 0)
        s.nextScanPort = 1;
}

} // namespace

void ClampSeries(ParamImage& img, ClampWidth width, int mode, int address, int count, int low, int high, int step)
{
    const bool isSigned = mode >= 99;
    const int order = sign(isSigned ? mode - 100 : mode);
    if (width == ClampWidth::Bytes)
        step = 1;
    SeriesAccess s{img, width, isSigned, address};

    for (int i = 0; i < count; ++i) {
        const int lower = order > 0 ? low + step * i : order < 0 ? low + step * (count - 1 - i) : low;
        const int upper = order > 0 ? high - step * (count - 1 - i) : order < 0 ? high - step * i : high;
        if (s.get(i) < lower)
            s.set(i, lower);
        if (s.get(i) > upper)
            s.set(i, upper);
    }
    for (int i = 1; i < count; ++i) {
        if (order > 0 && s.get(i - 1) >= s.get(i))
            s.set(i, s.get(i - 1) + step);
        else if (order < 0 && s.get(i) >= s.get(i - 1))
            s.set(i, s.get(i - 1) - step);
    }
}

void ValidateImage(ParamImage& img, OutsideSettings* outside)
{
    uint8_t& channels = img.Adrb(CHANNEL_COUNT);
    channels = std::clamp<uint8_t>(channels, 1, 4);
    if (img.Adrb(EXCITATION) > 3)
        img.Adrb(EXCITATION) = 3;

    ClampSeries(img, ClampWidth::Words, 1, ADV_IAP, MAP_DIM, 0, 999, 1);
    ClampSeries(img, ClampWidth::Words, 1, SERVO_IAP, MAP_DIM, 0, 999, 1);
    ClampSeries(img, ClampWidth::Bytes, 1, RPM_ADV, MAP_DIM, 3, 250, 1);
    ClampSeries(img, ClampWidth::Bytes, 1, SERVO_RPM, MAP_DIM, 3, 250, 1);

    if (img.Adrw(TPS + 1) < img.Adrw(TPS) + 10)
        img.Adrw(TPS + 1) = img.Adrw(TPS) + 10;
    if (img.Adrw(IAP_SENSOR) >= img.Adrw(IAP_SENSOR + 2))
        img.Adrw(IAP_SENSOR + 2) = img.Adrw(IAP_SENSOR);

    ClampSeries(img, ClampWidth::Bytes, 0, ADVANCE, MAP_DIM * MAP_DIM, 70, 160, 1);
    ClampSeries(img, ClampWidth::Bytes, 0, SERVO_MV, MAP_DIM * MAP_DIM, 0, img.Adrb(SERVO_PERCENT) ? 100 : 250, 1);

    if (img.Adrb(PICKUP_SYSTEM) == 0)
        img.Adrb(LOBE_COUNT) = 1;
    const int maxLobes = LobeByte::wide(img.Adrb(PICKUP_SYSTEM)) ? 120 : 58;
    if (img.Adrb(LOBE_COUNT) > maxLobes)
        img.Adrb(LOBE_COUNT) = static_cast<uint8_t>(maxLobes);
    validateLobes(img);

    validatePowerOutputs(img);

    img.Adrb(LIMITER) = std::clamp<uint8_t>(img.Adrb(LIMITER), 10, 250);
    img.Adrb(START_LIM) = std::clamp<uint8_t>(img.Adrb(START_LIM), 10, 250);
    if (img.Adrb(BASE_ADV) > 40)
        img.Adrb(BASE_ADV) = 40;

    if (outside)
        validateOutside(*outside);
}
