#include "model/ImageValidation.h"

#include "model/FieldFacts.h"
#include "model/ImageDefaults.h"
#include "model/LobeByte.h"

namespace {

// The 100 % point of the TP sensor lies at least this far above its 0 % point.
constexpr int TPS_MIN_SPAN_MV = 10;

int sign(int v) { return (v > 0) - (v < 0); }

struct SeriesAccess {
    ParamImage& img;
    ClampWidth width;
    bool isSigned;
    int address;

    int Get(int i) const
    {
        if (width == ClampWidth::Words) {
            const uint16_t w = img.Adrw(address + i);
            return isSigned ? static_cast<int16_t>(w) : w;
        }
        const uint8_t b = img.Adrb(address + i);
        return isSigned ? static_cast<int8_t>(b) : b;
    }
    void Set(int i, int v)
    {
        if (width == ClampWidth::Words)
            img.Adrw(address + i) = static_cast<uint16_t>(v);
        else
            img.Adrb(address + i) = static_cast<uint8_t>(v);
    }
};

// A row's range in raw units, in the reading that applies to img.
struct RawRange {
    int low;
    int high;
};

RawRange rawRange(const FieldFact& f, const ParamImage& img)
{
    const int scale = f.ScaleIn(img);
    return { f.minimum / scale - f.offset, f.MaximumIn(img) / scale - f.offset };
}

// The order codes of ClampSeries for unsigned fields.
enum class Order { None = 0, Ascending = 1 };

// Clamps elements first .. first + count - 1 of a row into its range, in the given order.
void clampToRow(ParamImage& img, const FieldFact& f, Order order = Order::None, int first = 0, int count = -1)
{
    const RawRange r = rawRange(f, img);
    const ClampWidth width = f.view == FieldRef::Word ? ClampWidth::Words : ClampWidth::Bytes;
    ClampSeries(img, width, static_cast<int>(order), f.Ref(first).Index(), count < 0 ? f.count : count, r.low, r.high, 1);
}

// Only the upper bound of a single byte.
void limitToRowMaximum(ParamImage& img, const FieldFact& f)
{
    const int high = rawRange(f, img).high;
    if (img.Adrb(f.address) > high)
        img.Adrb(f.address) = static_cast<uint8_t>(high);
}

void validateLobes(ParamImage& img)
{
    const int system = img.Adrb(PICKUP_SYSTEM);
    const int lobeCount = img.Adrb(LOBE_COUNT);
    for (int ch = 0; ch < CHANNELS; ++ch) {
        for (int address : {LOBE_START + ch, LOBE_END + ch}) {
            uint8_t& b = img.Adrb(address);
            const int lobe = LobeByte::Number(b, system);
            if (lobe > lobeCount)
                b = LobeByte::WithNumber(b, lobeCount, system);
            if (LobeByte::Number(b, system) == 0)
                b = LobeByte::WithNumber(b, 1, system);
            if (!LobeByte::KeepsBitSeven(system))
                b &= static_cast<uint8_t>(~LobeByte::SECOND_PICKUP);
        }
    }
}

void validatePowerOutputs(ParamImage& img)
{
    static constexpr const FieldFact* SPEED_POINTS[POWER_OUT_COUNT] = { &Fact("POWER_OUT1_RPM"), &Fact("POWER_OUT2_RPM") };
    static constexpr const FieldFact* LOAD_POINTS[POWER_OUT_COUNT] = { &Fact("POWER_OUT1_TP"), &Fact("POWER_OUT2_TP") };
    for (int n = 0; n < POWER_OUT_COUNT; ++n) {
        clampToRow(img, Fact("POWER_OUT_MODE"), Order::None, n, 1);
        clampToRow(img, *SPEED_POINTS[n], Order::Ascending);
        clampToRow(img, *LOAD_POINTS[n], Order::Ascending);
        if (img.Adrb(POWER_OUT_MODE + n) == POWER_OUT_GEAR_SHIFT_LIGHT)
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
        if (s.Get(i) < lower)
            s.Set(i, lower);
        if (s.Get(i) > upper)
            s.Set(i, upper);
    }
    for (int i = 1; i < count; ++i) {
        if (order > 0 && s.Get(i - 1) >= s.Get(i))
            s.Set(i, s.Get(i - 1) + step);
        else if (order < 0 && s.Get(i) >= s.Get(i - 1))
            s.Set(i, s.Get(i - 1) - step);
    }
}

void ValidateImage(ParamImage& img, OutsideSettings* outside)
{
    clampToRow(img, Fact("CHANNEL_COUNT"));
    clampToRow(img, Fact("EXCITATION"));

    // The map axes must rise strictly: the maps are drawn and looked up between neighbouring points.
    for (const FieldFact* axis : { &Fact("ADV_IAP"), &Fact("SERVO_IAP"), &Fact("RPM_ADV"), &Fact("SERVO_RPM") })
        clampToRow(img, *axis, Order::Ascending);

    // The calibration points are kept apart, not clamped: each limit depends on the other point.
    if (img.Adrw(TPS + 1) < img.Adrw(TPS) + TPS_MIN_SPAN_MV)
        img.Adrw(TPS + 1) = img.Adrw(TPS) + TPS_MIN_SPAN_MV;
    if (img.Adrw(IAP_SENSOR) >= img.Adrw(IAP_SENSOR + 2))
        img.Adrw(IAP_SENSOR + 2) = img.Adrw(IAP_SENSOR);

    clampToRow(img, Fact("ADVANCE"));
    clampToRow(img, Fact("SERVO_MV"));

    // Without a trigger system there is one lobe. The count has no lower bound here: a lobe
    // number of 0 is raised to 1 below on its own.
    if (img.Adrb(PICKUP_SYSTEM) == 0)
        img.Adrb(LOBE_COUNT) = 1;
    limitToRowMaximum(img, Fact("LOBE_COUNT"));
    validateLobes(img);

    validatePowerOutputs(img);

    clampToRow(img, Fact("LIMITER"));
    clampToRow(img, Fact("START_LIM"));
    clampToRow(img, Fact("BASE_ADV"));

    if (outside)
        validateOutside(*outside);
}
