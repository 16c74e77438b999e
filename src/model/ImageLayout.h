#pragma once

#include "base/ProductIdentity.h"

// Addresses of the unit's 400-byte configuration block and of its 100-byte monitor block.
// Word addresses (Adrw) count 16-bit words, byte addresses (Adrb) count bytes of the same buffer.

constexpr int RS_LEN_EXE = 400;
constexpr int COMMAXBUF = 8000;
constexpr int MONITOR_BLOCK_LEN = 100;
constexpr int MONITOR_IMAGE_LEN = MONITOR_BLOCK_LEN + 1;

enum AdrwField : int {
    TPS = 0,           // [2] TP sensor mV at 0 % and 100 % throttle
    IAP_SENSOR = 2,    // [4] kPa, mV, kPa, mV of the two IAP calibration points
    ADV_IAP = 6,       // [10] pressure axis of the advance map
    SERVO_IAP = 16,    // [10] pressure axis of the servo map
    POWER_OUT_TP = 26, // [2][2] load points of the two power outputs
    ADRW_END = 30
};

enum AdrbField : int {
    ADRB_FIRST = 81,
    START_LIM = 81,
    BIKE = 82,
    PICKUP_SYSTEM = 84,
    LOBE_COUNT = 85,
    CHANNEL_COUNT = 86,
    GEBER_MODE = 87,
    PICKUP_POLARITY = 88, // [2]
    BASE_ADV = 90,
    ADV_MAPA = 91,
    TPSIAP_SENSOR = 92,
    REV_WO_IGNITION = 93,
    RPM_PULSES = 94,
    RPM_CORR = 95,
    LIMITER = 96,
    EXCITATION = 97,
    DWELL = 98, // [5] reserved, kept 0
    SERVO_ENABLE = 103,
    SERVO_PERCENT = 104,
    SERVO_HYSTER = 105,
    SERVO_NO = 106,
    CORR_ADVANCE = 107, // [4]
    COMPENSATION = 111, // [4]
    CLUTCH_TIME = 115,
    CLUTCH_PAUSE = 116,
    RETARD = 117,
    LOBE_START = 118, // [4]
    LOBE_END = 122,   // [4]
    INPUT1 = 126,
    INPUT2 = 127,
    INPUT3 = 128,
    PICKUPS_INTERCHANGE = 129,
    NO_LOBE_CHECK = 130,
    SPARK_BEFORE_LOBE = 131,
    SPECIAL_START = 132,
    TEST_RPM = 133,
    TEST_SERVO = 134,
    POWER_OUT_MODE = 135,  // [2]
    POWER_OUT_RPM = 137,   // [2][3]
    POWER_OUT_HYST = 143,  // [2]
    POWER_OUT_CELLS = 145, // [2][3]
    START_EXCITATION = 151,
    INTERLOCK_INPUT = 152,
    SERVO_MAPA = 153,
    DUR_DISCHARG = 154,
    START_LIM_DELAY = 155,
    ADRB_FIELDS_END = 156,
    SERVO_RPM = 170, // [10]
    RPM_ADV = 190,   // [10]
    ADVANCE = 200,   // [10][10] load row r, rpm column c at 200 + 10r + c
    SERVO_MV = 300,  // [10][10]
    ADRB_END = 400
};

constexpr int ADRB_FIRST_TABLE = SERVO_RPM;
constexpr int MAP_DIM = 10;
constexpr int POWER_OUT_COUNT = 2;
constexpr int CHANNELS = 4;

enum MonwField : int {
    MON_RPM = 1,
    MON_SENSOR_MV = 2,
    MON_SUPPLY_MV = 3,
    MON_SERVO = 4, // [2] position, target
    MON_PROG_COUNT = 6,
    MON_ADV_MAX = 7, // [4]
    MON_LOAD = 11,
    MON_SAVE_COUNTDOWN = 14,
    MON_TEST = 15,     // [10]
    MON_HOURS_LOW = 23, // bits 0..15 of the hour meter
    MONW_END = 25
};

enum MonbField : int {
    MONB_FIRST = 50,
    MON_CLUTCH = 50,
    MON_SENSOR_KIND = 51,
    MON_POUT = 52,
    MON_ADV = 57, // [4] degrees + 100, 0 = no value
    MON_LIMITER = 61,
    MON_RETARD = 63,
    MON_START_LIMITER = 64,
    MON_HOURS_HIGH = 65, // bits 16..23 of the hour meter
    MON_PICKUPS = 90,
    MON_STATUS = 91,
    MON_SUBVERSION = 99,
    MON_KEY = 100,
    MONB_END = 101
};

// Bits of MON_PICKUPS.
enum MonPickupsBit : int {
    PICKUP1_RUNNING, PICKUP2_RUNNING, INPUT1_GROUNDED, INPUT2_GROUNDED,
    PICKUP1_NEGATIVE, PICKUP2_NEGATIVE, PICKUP1_POLARITY_ERROR, PICKUP2_POLARITY_ERROR,
    MON_PICKUPS_BITS
};

// Bits of MON_STATUS; bit 3 carries nothing the program interprets.
enum MonStatusBit : int {
    STATUS_KILL_SWITCH, STATUS_BLOCKING, STATUS_DATA_ERROR, STATUS_RESERVED3,
    STATUS_SERVO_OK, STATUS_PICKUP1_ERROR, STATUS_PICKUP2_ERROR, STATUS_SENSOR_ERROR,
    MON_STATUS_BITS
};

// Flag bits of a lobe byte (LOBE_START / LOBE_END).
enum LobeFlagBit : int { LOBE_NUMBER_BITS = 6, LOBE_SECOND_EDGE = 6, LOBE_SECOND_PICKUP = 7, LOBE_FLAG_BITS = 2 };

// Modes of a power output (POWER_OUT_MODE).
enum PowerOutMode : int { POWER_OUT_OFF, POWER_OUT_FUEL_PUMP, POWER_OUT_GEAR_SHIFT_LIGHT, POWER_OUT_SPECIAL };

// Speed columns of a power-output cell byte.
enum PowerOutCellBit : int { POUT_COLUMNS = 4 };

// Bits of MON_POUT.
enum MonPoutBit : int { MON_POUT1, MON_POUT2, MON_POUT_BITS };

// Bits of the three one-shot test bytes of a monitor request.
enum TestRequestBit : int { TEST_BITS_MAX = 5 };

