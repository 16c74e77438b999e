#include "files/IgnRecordTable.h"

#include "model/FieldFacts.h"

#include <string_view>

namespace {

using Action = IgnRecord::Action;
using Step = IgnRecord::Step;
using When = IgnRecord::When;

// Elements first .. first + count - 1 of a field (all of them by default), held in the file as the
// field-fact row says.
consteval Step F(std::string_view name, int first = 0, int count = -1)
{
    const FieldFact& f = Fact(name);
    return { f.view == FieldRef::Word ? Action::Words : Action::Bytes, static_cast<int16_t>(f.address + first),
        static_cast<int16_t>(count < 0 ? f.count : count), static_cast<int16_t>(f.FileMultiplier()),
        static_cast<int16_t>(f.offset), static_cast<int8_t>(f.loadGroup) };
}

// A step with its own action over the place, encoding and group of a field.
consteval Step A(Action action, std::string_view name)
{
    Step step = F(name);
    step.action = action;
    return step;
}

// A field as older files held it: the value the user sees rather than the raw byte.
consteval Step InUserUnits(std::string_view name)
{
    Step step = F(name);
    step.multiplier = static_cast<int16_t>(Fact(name).scale);
    return step;
}

// The elements after the first of a field, which always repeat it.
consteval Step Copies(std::string_view name)
{
    Step step = A(Action::Copies, name);
    step.count = static_cast<int16_t>(Fact(name).count - 1);
    return step;
}

// The lobe bytes of all channels: LOBE_START and LOBE_END of channel 1, then of channel 2 ...
consteval Step Lobes()
{
    static_assert(LOBE_END == LOBE_START + CHANNELS, "the lobe steps find LOBE_END behind LOBE_START");
    Step step = A(Action::Lobes, "LOBE_START");
    step.count = 2 * CHANNELS;
    return step;
}

constexpr Step S(int count) { return { Action::Skip, 0, static_cast<int16_t>(count) }; }

constexpr Step BikeSeen() { return { Action::BikeSeen }; }

// A step that the writer starts on a new continuation line (or after lines empty lines).
consteval Step NewLine(Step step, int lines = 1)
{
    step.lineBreaks = static_cast<int8_t>(lines);
    return step;
}

// A field with a record of its own under its name.
consteval IgnRecord Own(std::string_view name, bool emptyLineAfter = false)
{
    return { { Fact(name).name }, { F(name) }, emptyLineAfter };
}

// A record whose key is not its field's name, or which holds several fields.
consteval IgnRecord Keys(std::array<const char*, 6> keys, std::array<Step, 9> steps, bool emptyLineAfter = false)
{
    return { keys, steps, emptyLineAfter };
}

// The power-output record n (0 or 1).
consteval IgnRecord PowerOut(int n, const char* key, std::string_view rpm, std::string_view load,
    std::string_view cells)
{
    return Keys({ key },
        { F("POWER_OUT_MODE", n, 1), NewLine(F(rpm)), F("POWER_OUT_HYST", n, 1), NewLine(F(load)),
            NewLine(A(Action::Cells, cells)) });
}

constexpr bool AFTER_EMPTY_LINE = true;

constexpr IgnRecord CURRENT[] = {
    { { "BIKE" },
        { F("BIKE"), NewLine(F("PICKUP_SYSTEM")), F("LOBE_COUNT"), F("CHANNEL_COUNT"), NewLine(Lobes()),
            NewLine(F("REV_WO_IGNITION"), 2), F("COMPENSATION", 0, 1), Copies("COMPENSATION"), BikeSeen() },
        false, When::AllPages },
    Own("BASE_ADV"),
    Own("CORR_ADVANCE"),
    Own("GEBER_MODE"),
    // Byte 128 (INPUT3) is written but not read back: no control edits it, so the program keeps its own.
    Keys({ "INPUT" }, { F("PICKUP_POLARITY"), F("INPUT1"), F("INPUT2"), A(Action::Unread, "INPUT3") }),
    Own("PICKUPS_INTERCHANGE"),
    Own("NO_LOBE_CHECK"),
    Own("INTERLOCK_INPUT"),
    Own("SPARK_BEFORE_LOBE"),
    Keys({ "SPECIAL_START", "SPEC_START" }, { F("SPECIAL_START") }),
    Own("LIMITER"),
    Own("START_LIM"),
    Own("START_LIM_DELAY"),
    Keys({ "CLUTCH" }, { F("CLUTCH_TIME"), F("CLUTCH_PAUSE") }, AFTER_EMPTY_LINE),
    Own("RETARD"),
    Keys({ "RPM" }, { F("RPM_PULSES"), F("RPM_CORR") }),
    Keys({ "TPSIAP_SENSOR", "SENSOR_TPS_IAP" }, { F("TPSIAP_SENSOR") }),
    Keys({ "TPS", "SENSOR_TPS" }, { F("TPS") }),
    Keys({ "IAP_SENSOR", "SENSOR_IAP" }, { F("IAP_SENSOR") }, AFTER_EMPTY_LINE),
    Keys({ "ADV_MAPA", "ADV_MAP" }, { F("ADV_MAPA") }),
    Keys({ "ADV_IAP", "IAP" }, { F("ADV_IAP") }),
    Keys({ "RPM_ADV", "ADVANCE_RPM1" }, { F("RPM_ADV") }),
    Keys({ "ADVANCE", "ADVANCE1" }, { A(Action::AdvanceMap, "ADVANCE") }, AFTER_EMPTY_LINE),
    Own("SERVO_ENABLE"),
    Own("SERVO_PERCENT"),
    Own("SERVO_HYSTER"),
    Own("SERVO_NO"),
    Keys({ "SERVO_MAPA", "SERVO_MAP" }, { F("SERVO_MAPA") }),
    Own("SERVO_IAP"),
    Own("SERVO_RPM"),
    Keys({ "SERVO_MV" }, { A(Action::ServoMap, "SERVO_MV") }, AFTER_EMPTY_LINE),
    PowerOut(0, "POWER_OUT1", "POWER_OUT1_RPM", "POWER_OUT1_TP", "POWER_OUT1_CELLS"),
    PowerOut(1, "POWER_OUT2", "POWER_OUT2_RPM", "POWER_OUT2_TP", "POWER_OUT2_CELLS"),
};

constexpr IgnRecord OLDER[] = {
    Keys({ "PICKUP_POLARITY", "INV_PICKUP" }, { F("PICKUP_POLARITY") }),
    Keys({ "INPUT_NEUTRAL_SS" }, {}),
    Keys({ "INPUT1" }, { F("INPUT1"), S(1) }),
    Keys({ "INPUT2" }, { F("INPUT2"), S(1) }),
    Own("EXCITATION"),
    Keys({ "DWELL" }, { F("EXCITATION"), F("DWELL") }),
    Own("DUR_DISCHARG"),
    Keys({ "ADVANCE_MISC" }, { F("ADV_MAPA"), F("BASE_ADV"), F("CORR_ADVANCE", 0, 2) }),
    Keys({ "TPS_MAPA" }, { F("ADV_MAPA"), A(Action::TpsMapa, "ADV_MAPA") }),
    Keys({ "SERRVO_MISC" }, { F("SERVO_ENABLE"), F("SERVO_PERCENT"), F("SERVO_MAPA"), F("SERVO_HYSTER") }),
    Keys({ "SERRVO_MISC_HO" }, { InUserUnits("SERVO_NO") }),
    { { "SERVO" }, { F("SERVO_MV") }, false, When::GroupSelected, PAGE_SERVO },
    Keys({ "POWER_OUT3", "POWER_OUT4", "POWER_OUT1_PWM", "POWER_OUT2_PWM", "POWER_OUT3_PWM", "POWER_OUT4_PWM" }, {}),
    Keys({ "PILOT_LIGHT" }, { F("POWER_OUT2_RPM", 0, 1), S(1) }),
    Keys({ "PILOT_LIGHT_INV_OUT" }, { S(1) }),
};

// A token names at most one record, so the order in which the reader compares keys does not matter.
constexpr bool KeysAreUnique()
{
    std::array<std::string_view, 6 * (std::size(CURRENT) + std::size(OLDER))> seen {};
    size_t n = 0;
    for (std::span<const IgnRecord> table : { std::span<const IgnRecord>(CURRENT), std::span<const IgnRecord>(OLDER) })
        for (const IgnRecord& r : table)
            for (const char* key : r.keys) {
                if (!key)
                    continue;
                for (size_t i = 0; i < n; ++i)
                    if (seen[i] == key)
                        return false;
                seen[n++] = key;
            }
    return true;
}

static_assert(KeysAreUnique(), "two records share a key");

} // namespace

std::span<const IgnRecord> IgnRecordTable::Current() { return CURRENT; }

std::span<const IgnRecord> IgnRecordTable::Older() { return OLDER; }

const IgnRecord* IgnRecordTable::Find(std::string_view token)
{
    for (std::span<const IgnRecord> table : { Current(), Older() })
        for (const IgnRecord& record : table)
            for (const char* key : record.keys)
                if (key && token == key)
                    return &record;
    return nullptr;
}
