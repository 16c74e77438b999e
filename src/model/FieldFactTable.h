#pragma once

#include "model/BikePresets.h"
#include "model/FieldFact.h"
#include "model/ImageLayout.h"
#include "model/LobeByte.h"
#include "model/SelectionLists.h"

// The rows are data, laid out by hand.
// clang-format off
namespace FieldFactRows {

// Trigger system 14 stores seven-bit lobe numbers.
constexpr FieldUnitSwitch WIDE_LOBES{.flagAddress = PICKUP_SYSTEM, .flagValue = LobeByte::WIDE_LOBE_SYSTEM,
    .maximum = 120};
// Load sensor 2 is the IAP sensor, which measures kPa instead of throttle percent.
constexpr FieldUnitSwitch IAP_LOAD{.flagAddress = TPSIAP_SENSOR, .flagValue = 2, .maximum = 999, .unit = "kPa"};
constexpr FieldUnitSwitch SERVO_IN_PERCENT{.flagAddress = SERVO_PERCENT, .maximum = 100, .unit = "%"};

// A check box bound one to one to a byte.
constexpr FieldFact CheckBox(const char* name, int address, int group, const char* control, bool inFile = true)
{
    return {.name = name, .address = address, .kind = FieldKind::Flag, .maximum = 1, .choices = OnOffList,
        .loadGroup = group, .inFile = inFile, .control = control};
}

// The speed points of a map or switching table, in 100 rpm.
constexpr FieldFact SpeedPoints(const char* name, int address, int count, int group)
{
    return {.name = name, .address = address, .count = count, .scale = 100, .unit = "rpm", .minimum = 300,
        .maximum = 25000, .step = 100, .loadGroup = group};
}

// The pressure axis of a map, used with an IAP sensor.
constexpr FieldFact PressurePoints(const char* name, int address, int group)
{
    return {.name = name, .view = FieldRef::Word, .address = address, .count = MAP_DIM, .unit = "kPa", .maximum = 999,
        .loadGroup = group};
}

// The two load points of a power output's switching table.
constexpr FieldFact LoadPoints(const char* name, int address)
{
    return {.name = name, .view = FieldRef::Word, .address = address, .count = 2, .unit = "%", .maximum = 100,
        .other = IAP_LOAD, .loadGroup = PAGE_POWER_OUT, .legend = "% (kPa with IAP)"};
}

// The on/off cells of a power output's switching table: load row i in element i, speed column j in bit j.
constexpr FieldFact Cells(const char* name, int address)
{
    return {.name = name, .address = address, .count = 3, .kind = FieldKind::Cells, .loadGroup = PAGE_POWER_OUT};
}

// Every setting of the parameter image, in the order the listing of a parameter file prints them;
// the 10 x 10 maps and the power-output cells, which the listing prints as tables, come last.
// Bytes without a row (60..80, 83, 156..169, 180..189) hold nothing the program interprets.
inline constexpr FieldFact TABLE[] = {
    {.name = "BIKE", .address = BIKE, .kind = FieldKind::Choice, .choices = BikeList, .loadGroup = PAGE_BIKE,
        .control = "ComboBoxBike", .caption = "LabelBike"},
    {.name = "PICKUP_SYSTEM", .address = PICKUP_SYSTEM, .kind = FieldKind::Choice, .choices = SynchroMethodList,
        .loadGroup = PAGE_BIKE, .control = "ComboBoxSynchro", .caption = "LabelSynchro"},
    {.name = "LOBE_COUNT", .address = LOBE_COUNT, .minimum = 1, .maximum = 58, .other = WIDE_LOBES,
        .loadGroup = PAGE_BIKE, .control = "UpDownPocPalcu", .caption = "LabelPocPalcu"},
    {.name = "CHANNEL_COUNT", .address = CHANNEL_COUNT, .minimum = 1, .maximum = CHANNELS, .loadGroup = PAGE_BIKE,
        .control = "UpDownPocKanalu", .caption = "LabelPocKanalu"},
    {.name = "GEBER_MODE", .address = GEBER_MODE, .kind = FieldKind::Choice, .choices = GeberModeList,
        .loadGroup = PAGE_BIKE, .control = "ComboBoxNasobekPalcu"},
    {.name = "LOBE_START", .address = LOBE_START, .count = CHANNELS, .kind = FieldKind::Lobe, .minimum = 1,
        .maximum = 58, .other = WIDE_LOBES, .loadGroup = PAGE_BIKE, .control = "UpDownPalec#Zac",
        .caption = "LabelPalec#Zac"},
    {.name = "LOBE_END", .address = LOBE_END, .count = CHANNELS, .kind = FieldKind::Lobe, .minimum = 1, .maximum = 58,
        .other = WIDE_LOBES, .loadGroup = PAGE_BIKE, .control = "UpDownPalec#End",
        .caption = "LabelPalec#End"},
    {.name = "REV_WO_IGNITION", .address = REV_WO_IGNITION, .unit = "rev", .maximum = 40, .loadGroup = PAGE_BIKE,
        .control = "UpDownRevWoIgnition", .caption = "LabelRevWoIgnition",
        .captionText = "###Revolutions without ignition##Umdrehungen ohne Zündung##Počet otáček bez zápalu"},
    // One control edits the first byte; the other three receive copies.
    {.name = "COMPENSATION", .address = COMPENSATION, .count = CHANNELS, .maximum = 255, .loadGroup = PAGE_BIKE,
        .control = "UpDownKompenz", .caption = "LabelKompenz"},
    {.name = "PICKUP_POLARITY", .address = PICKUP_POLARITY, .count = 2, .kind = FieldKind::Choice, .maximum = 2,
        .choices = PickupPolarityList, .loadGroup = PAGE_BIKE, .control = "RadioGroupPickup#Polarita",
        .legend = "(0 plus, 1 minus, 2 auto)"},
    CheckBox("PICKUPS_INTERCHANGE", PICKUPS_INTERCHANGE, PAGE_BIKE, "CheckBoxZamenaPickup"),
    CheckBox("NO_LOBE_CHECK", NO_LOBE_CHECK, PAGE_BIKE, "CheckBoxNehlidaPalec"),
    CheckBox("SPARK_BEFORE_LOBE", SPARK_BEFORE_LOBE, PAGE_BIKE, "CheckBoxPredPalec"),
    CheckBox("SPECIAL_START", SPECIAL_START, PAGE_BIKE, "CheckBoxSpecStart"),
    CheckBox("INTERLOCK_INPUT", INTERLOCK_INPUT, PAGE_BIKE, "CheckBoxCrossBlock"),
    // Read signed: -1 and -2 make the tachometer follow pick-up 1 or 2.
    {.name = "RPM_PULSES", .address = RPM_PULSES, .isSigned = true, .unit = "pulses/rev", .minimum = -2, .maximum = 6,
        .choices = TachoSourceList, .loadGroup = PAGE_BIKE, .control = "UpDownRpmPulsu", .caption = "LabelRpmPulsu"},
    {.name = "RPM_CORR", .address = RPM_CORR, .offset = -100, .unit = "%", .minimum = -60, .maximum = 60,
        .loadGroup = PAGE_BIKE, .control = "UpDownRpmKorekce", .caption = "LabelRpmKorekce"},
    {.name = "LIMITER", .address = LIMITER, .scale = 100, .unit = "rpm", .minimum = 1000, .maximum = 25000, .step = 100,
        .loadGroup = PAGE_MISC, .fileRaw = true, .control = "UpDownLimiter", .caption = "LabelLimiter"},
    {.name = "START_LIM", .address = START_LIM, .scale = 100, .unit = "rpm", .minimum = 1000, .maximum = 25000,
        .step = 100, .loadGroup = PAGE_MISC, .fileRaw = true, .control = "UpDownStartLimiter",
        .caption = "LabelStartLimiter"},
    {.name = "START_LIM_DELAY", .address = START_LIM_DELAY, .scale = 100, .unit = "ms", .maximum = 5000, .step = 100,
        .loadGroup = PAGE_MISC, .control = "UpDownStartLimiterDelay", .caption = "LabelStartLimiterDelay"},
    {.name = "CLUTCH_TIME", .address = CLUTCH_TIME, .scale = 10, .unit = "ms", .maximum = 2500, .step = 10,
        .loadGroup = PAGE_MISC, .control = "UpDownClutchTime", .caption = "LabelClutchTime"},
    {.name = "CLUTCH_PAUSE", .address = CLUTCH_PAUSE, .scale = 10, .unit = "ms", .maximum = 2500, .step = 10,
        .loadGroup = PAGE_MISC, .control = "UpDownClutchPause", .caption = "LabelClutchPause"},
    {.name = "RETARD", .address = RETARD, .unit = "deg", .maximum = 60, .loadGroup = PAGE_MISC,
        .control = "UpDownRetard", .caption = "LabelRetard"},
    {.name = "INPUT1", .address = INPUT1, .kind = FieldKind::Choice, .choices = InputFunctionList,
        .loadGroup = PAGE_MISC, .control = "RadioGroupInput1"},
    {.name = "INPUT2", .address = INPUT2, .kind = FieldKind::Choice, .choices = InputFunctionList,
        .loadGroup = PAGE_MISC, .control = "RadioGroupInput2"},
    // No control edits the third input; a file load leaves it as it was.
    {.name = "INPUT3", .address = INPUT3, .kind = FieldKind::Choice, .choices = InputFunctionList,
        .loadGroup = PAGE_MISC, .caption = "RadioGroupInput3"},
    {.name = "TPSIAP_SENSOR", .address = TPSIAP_SENSOR, .kind = FieldKind::Choice, .maximum = 2,
        .choices = LoadSensorList, .loadGroup = PAGE_SENSORS, .control = "RadioGroupTpsIap",
        .legend = "(0 none, 1 TP, 2 IAP)"},
    {.name = "TPS", .view = FieldRef::Word, .address = TPS, .count = 2, .unit = "mV", .loadGroup = PAGE_SENSORS,
        .legend = "mV at 0 % and 100 %"},
    {.name = "IAP_SENSOR", .view = FieldRef::Word, .address = IAP_SENSOR, .count = 4, .unit = "kPa, mV",
        .loadGroup = PAGE_SENSORS, .legend = "kPa, mV, kPa, mV"},
    {.name = "BASE_ADV", .address = BASE_ADV, .unit = "deg", .maximum = 40, .loadGroup = PAGE_ADVANCE,
        .control = "UpDownBaseAdv", .caption = "LabelBaseAdv"},
    {.name = "CORR_ADVANCE", .address = CORR_ADVANCE, .count = CHANNELS, .offset = -100, .unit = "deg", .minimum = -30,
        .maximum = 30, .loadGroup = PAGE_ADVANCE, .control = "UpDownKorAdv#"},
    {.name = "ADV_MAPA", .address = ADV_MAPA, .maximum = 1, .loadGroup = PAGE_ADVANCE,
        .legend = "(0 by rpm, 1 by rpm and load)"},
    SpeedPoints("RPM_ADV", RPM_ADV, MAP_DIM, PAGE_ADVANCE),
    PressurePoints("ADV_IAP", ADV_IAP, PAGE_ADVANCE),
    CheckBox("SERVO_ENABLE", SERVO_ENABLE, PAGE_SERVO, "CheckBoxServoEnable"),
    CheckBox("SERVO_PERCENT", SERVO_PERCENT, PAGE_SERVO, "CheckBoxServoProcenta"),
    {.name = "SERVO_HYSTER", .address = SERVO_HYSTER, .scale = 5, .unit = "mV", .maximum = 1275, .step = 5,
        .loadGroup = PAGE_SERVO, .control = "UpDownServoHyster", .caption = "LabelServoHyster"},
    {.name = "SERVO_NO", .address = SERVO_NO, .scale = 5, .unit = "mV", .maximum = 1250, .step = 5,
        .loadGroup = PAGE_SERVO, .fileRaw = true, .control = "UpDownServoNo", .caption = "LabelServoNo"},
    {.name = "SERVO_MAPA", .address = SERVO_MAPA, .maximum = 2, .loadGroup = PAGE_SERVO,
        .legend = "(0 by rpm, 1 by load, 2 by rpm and load)"},
    // A file load takes the servo axes with the advance group.
    SpeedPoints("SERVO_RPM", SERVO_RPM, MAP_DIM, PAGE_ADVANCE),
    PressurePoints("SERVO_IAP", SERVO_IAP, PAGE_ADVANCE),
    {.name = "POWER_OUT_MODE", .address = POWER_OUT_MODE, .count = POWER_OUT_COUNT, .kind = FieldKind::Choice,
        .maximum = 3, .choices = PowerOutModeList, .loadGroup = PAGE_POWER_OUT, .control = "RadioGroupPOut#",
        .legend = "(0 off, 1 fuel pump, 2 gear shift light, 3 special)"},
    SpeedPoints("POWER_OUT1_RPM", POWER_OUT_RPM, 3, PAGE_POWER_OUT),
    SpeedPoints("POWER_OUT2_RPM", POWER_OUT_RPM + 3, 3, PAGE_POWER_OUT),
    {.name = "POWER_OUT_HYST", .address = POWER_OUT_HYST, .count = POWER_OUT_COUNT, .scale = 10, .unit = "rpm",
        .maximum = 2500, .step = 10, .loadGroup = PAGE_POWER_OUT, .control = "UpDownPOutHyster#",
        .caption = "LabelPOutHyster#"},
    LoadPoints("POWER_OUT1_TP", POWER_OUT_TP),
    LoadPoints("POWER_OUT2_TP", POWER_OUT_TP + 2),
    {.name = "TEST_RPM", .address = TEST_RPM, .scale = 100, .unit = "rpm", .minimum = 200, .maximum = 25000,
        .step = 100, .loadGroup = PAGE_TEST, .inFile = false, .control = "UpDownTestRpm", .caption = "LabelTestRpm",
        .captionText = "###Test speed [rpm]##Testdrehzahl [rpm]##Testovací otáčky [rpm]"},
    {.name = "TEST_SERVO", .address = TEST_SERVO, .scale = 10, .unit = "ms", .minimum = 10, .maximum = 2500, .step = 10,
        .loadGroup = PAGE_TEST, .inFile = false, .control = "UpDownTestServo", .caption = "LabelTestServo"},
    {.name = "EXCITATION", .address = EXCITATION, .kind = FieldKind::Reserved, .maximum = 3, .loadGroup = PAGE_MISC,
        .inFile = false},
    {.name = "DWELL", .address = DWELL, .count = 5, .kind = FieldKind::Reserved, .loadGroup = PAGE_MISC,
        .inFile = false},
    CheckBox("START_EXCITATION", START_EXCITATION, PAGE_BIKE, "CheckBoxSpecDwellByStart", false),
    {.name = "DUR_DISCHARG", .address = DUR_DISCHARG, .kind = FieldKind::Reserved, .loadGroup = PAGE_MISC,
        .inFile = false},
    // Load row r, rpm column c at element 10r + c.
    {.name = "ADVANCE", .address = ADVANCE, .count = MAP_DIM * MAP_DIM, .offset = -100, .unit = "deg", .minimum = -30,
        .maximum = 60, .loadGroup = PAGE_ADVANCE},
    {.name = "SERVO_MV", .address = SERVO_MV, .count = MAP_DIM * MAP_DIM, .scale = 20, .unit = "mV", .maximum = 5000,
        .step = 20, .other = SERVO_IN_PERCENT, .loadGroup = PAGE_SERVO},
    Cells("POWER_OUT1_CELLS", POWER_OUT_CELLS),
    Cells("POWER_OUT2_CELLS", POWER_OUT_CELLS + 3),
};

} // namespace FieldFactRows
// clang-format on

inline constexpr const auto& FIELD_FACT_TABLE = FieldFactRows::TABLE;
