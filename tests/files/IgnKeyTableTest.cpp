#include "files/IgnReader.h"
#include "files/IgnRecordTable.h"
#include "files/IgnWriter.h"
#include "model/ImageDefaults.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

// Every key of a parameter file, written out here with the fields its numbers stand for and how
// each is scaled, as files in the field have always held them. The reader and the writer share
// one key table in the code, so a slip in that table passes a round trip; these rows do not.
namespace {

enum class Kind {
    Bytes, // (raw + addend) x multiplier
    Words,
    Skip, // numbers the reader throws away; nothing is written
    Unread, // written from the byte, never read back
    Copies, // the byte before it once more per element; read back as a copy of that byte
    Lobes, // three numbers per byte: lobe number, second edge, second pick-up
    Cells, // four 0/1 numbers per byte: bits 0 to 3
    // An old switch of the advance map's load axis: any number above 1 means 1, and a load map
    // then meant the TP sensor.
    OldLoadMapSwitch,
};

struct Field {
    Kind kind;
    int address;
    int count = 1;
    int multiplier = 1;
    int addend = 0;
};

constexpr Field B(int address, int count = 1, int multiplier = 1, int addend = 0)
{
    return { Kind::Bytes, address, count, multiplier, addend };
}
constexpr Field W(int word, int count = 1) { return { Kind::Words, word, count }; }
constexpr Field SkipNumbers(int count) { return { Kind::Skip, 0, count }; }

struct KeyRow {
    std::vector<const char*> keys; // the first one is written when the row is written
    std::vector<Field> fields;
    bool written = false;
};

constexpr bool WRITTEN = true;
constexpr int PICKUP_SYSTEM_BYTE = 84;
constexpr int PICKUP_SYSTEM_WITH_SEVEN_BIT_LOBES = 14;

const std::vector<KeyRow>& KeyRows()
{
    static const std::vector<KeyRow> rows = {
        { { "BIKE" },
            { B(82), B(84), B(85), B(86), { Kind::Lobes, 118, 8 }, B(93), B(111), { Kind::Copies, 112, 3 } },
            WRITTEN },
        { { "BASE_ADV" }, { B(90) }, WRITTEN },
        { { "CORR_ADVANCE" }, { B(107, 4, 1, -100) }, WRITTEN },
        { { "GEBER_MODE" }, { B(87) }, WRITTEN },
        { { "INPUT" }, { B(88, 2), B(126, 2), { Kind::Unread, 128 } }, WRITTEN },
        { { "PICKUPS_INTERCHANGE" }, { B(129) }, WRITTEN },
        { { "NO_LOBE_CHECK" }, { B(130) }, WRITTEN },
        { { "INTERLOCK_INPUT" }, { B(152) }, WRITTEN },
        { { "SPARK_BEFORE_LOBE" }, { B(131) }, WRITTEN },
        { { "SPECIAL_START", "SPEC_START" }, { B(132) }, WRITTEN },
        { { "LIMITER" }, { B(96) }, WRITTEN },
        { { "START_LIM" }, { B(81) }, WRITTEN },
        { { "START_LIM_DELAY" }, { B(155, 1, 100) }, WRITTEN },
        { { "CLUTCH" }, { B(115, 2, 10) }, WRITTEN },
        { { "RETARD" }, { B(117) }, WRITTEN },
        { { "RPM" }, { B(94), B(95, 1, 1, -100) }, WRITTEN },
        { { "TPSIAP_SENSOR", "SENSOR_TPS_IAP" }, { B(92) }, WRITTEN },
        { { "TPS", "SENSOR_TPS" }, { W(0, 2) }, WRITTEN },
        { { "IAP_SENSOR", "SENSOR_IAP" }, { W(2, 4) }, WRITTEN },
        { { "ADV_MAPA", "ADV_MAP" }, { B(91) }, WRITTEN },
        { { "ADV_IAP", "IAP" }, { W(6, 10) }, WRITTEN },
        { { "RPM_ADV", "ADVANCE_RPM1" }, { B(190, 10, 100) }, WRITTEN },
        { { "ADVANCE", "ADVANCE1" }, { B(200, 100, 1, -100) }, WRITTEN },
        { { "SERVO_ENABLE" }, { B(103) }, WRITTEN },
        { { "SERVO_PERCENT" }, { B(104) }, WRITTEN },
        { { "SERVO_HYSTER" }, { B(105, 1, 5) }, WRITTEN },
        { { "SERVO_NO" }, { B(106) }, WRITTEN },
        { { "SERVO_MAPA", "SERVO_MAP" }, { B(153) }, WRITTEN },
        { { "SERVO_IAP" }, { W(16, 10) }, WRITTEN },
        { { "SERVO_RPM" }, { B(170, 10, 100) }, WRITTEN },
        { { "SERVO_MV" }, { B(300, 100, 20) }, WRITTEN },
        { { "POWER_OUT1" }, { B(135), B(137, 3, 100), B(143, 1, 10), W(26, 2), { Kind::Cells, 145, 3 } }, WRITTEN },
        { { "POWER_OUT2" }, { B(136), B(140, 3, 100), B(144, 1, 10), W(28, 2), { Kind::Cells, 148, 3 } }, WRITTEN },
        // Keys of older files, read and never written.
        { { "PICKUP_POLARITY", "INV_PICKUP" }, { B(88, 2) } },
        { { "INPUT_NEUTRAL_SS" }, {} },
        { { "INPUT1" }, { B(126), SkipNumbers(1) } },
        { { "INPUT2" }, { B(127), SkipNumbers(1) } },
        { { "EXCITATION" }, { B(97) } },
        { { "DWELL" }, { B(97, 6) } },
        { { "DUR_DISCHARG" }, { B(154) } },
        { { "TPS_MAPA" }, { { Kind::OldLoadMapSwitch, 91 } } },
        { { "ADVANCE_MISC" }, { B(91), B(90), B(107, 2, 1, -100) } },
        { { "SERRVO_MISC" }, { B(103), B(104), B(153), B(105, 1, 5) } },
        { { "SERRVO_MISC_HO" }, { B(106, 1, 5) } },
        { { "SERVO" }, { B(300, 100, 20) } },
        { { "POWER_OUT3", "POWER_OUT4", "POWER_OUT1_PWM", "POWER_OUT2_PWM", "POWER_OUT3_PWM", "POWER_OUT4_PWM" }, {} },
        { { "PILOT_LIGHT" }, { B(140, 1, 100), SkipNumbers(1) } },
        { { "PILOT_LIGHT_INV_OUT" }, { SkipNumbers(1) } },
    };
    return rows;
}

// What one row holds: the raw values and the numbers that stand for them.
struct RowValues {
    ParamImage source; // the start image with the values the writer writes
    ParamImage read; // the start image as reading the numbers leaves it
    std::vector<int> numbers; // in file order, skipped numbers included
    std::vector<int> written; // what the writer puts behind the key
};

int Bits(int value, int from, int count) { return (value >> from) & ((1 << count) - 1); }

// Three lobe numbers of one lobe byte; with trigger system 14 the lobe number has seven bits.
std::vector<int> LobeNumbers(int byte, int pickupSystem)
{
    if (pickupSystem == PICKUP_SYSTEM_WITH_SEVEN_BIT_LOBES)
        return { Bits(byte, 0, 6) | Bits(byte, 7, 1) << 6, Bits(byte, 6, 1), 0 };
    return { Bits(byte, 0, 6), Bits(byte, 6, 1), Bits(byte, 7, 1) };
}

// Values far from the start image's, different in every element, inside the range each kind keeps.
RowValues ValuesOf(const KeyRow& row, const ParamImage& start)
{
    RowValues v { start, start, {}, {} };
    int k = 0;
    const auto put = [&](int n, bool alsoWritten = true) {
        v.numbers.push_back(n);
        if (alsoWritten)
            v.written.push_back(n);
    };
    for (const Field& f : row.fields)
        for (int e = 0; e < f.count; ++e, ++k) {
            const int a = f.address + e;
            switch (f.kind) {
            case Kind::Bytes:
            case Kind::Unread: {
                const int raw = (start.Adrb(a) + 1 + 37 * k) % 256;
                v.source.Adrb(a) = static_cast<uint8_t>(raw);
                if (f.kind == Kind::Bytes)
                    v.read.Adrb(a) = static_cast<uint8_t>(raw);
                put((raw + f.addend) * f.multiplier);
                break;
            }
            case Kind::Words: {
                const int raw = (start.Adrw(a) + 1 + 997 * k) & 0xFFFF;
                v.source.Adrw(a) = static_cast<uint16_t>(raw);
                v.read.Adrw(a) = static_cast<uint16_t>(raw);
                put(raw);
                break;
            }
            case Kind::Skip: put(9000 + k, false); break;
            case Kind::Copies:
                v.read.Adrb(a) = v.read.Adrb(f.address - 1);
                put(v.source.Adrb(f.address - 1));
                break;
            case Kind::Lobes: {
                const int lobe = f.address + e / 2 + (e % 2 ? 4 : 0);
                const int raw = (start.Adrb(lobe) + 1 + 37 * k) % 256;
                v.source.Adrb(lobe) = static_cast<uint8_t>(raw);
                v.read.Adrb(lobe) = static_cast<uint8_t>(raw);
                for (int n : LobeNumbers(raw, v.source.Adrb(PICKUP_SYSTEM_BYTE)))
                    put(n);
                break;
            }
            case Kind::Cells: {
                const int raw = (start.Adrb(a) + 1 + k) % 16;
                v.source.Adrb(a) = static_cast<uint8_t>(raw);
                v.read.Adrb(a) = static_cast<uint8_t>(raw);
                for (int bit = 0; bit < 4; ++bit)
                    put(Bits(raw, bit, 1));
                break;
            }
            case Kind::OldLoadMapSwitch:
                v.read.Adrb(a) = 1;
                v.read.Adrb(92) = 1;
                put(5, false);
                break;
            }
        }
    return v;
}

std::string Joined(const std::vector<int>& numbers)
{
    std::ostringstream text;
    for (int n : numbers)
        text << ' ' << n;
    return text.str();
}

// The numbers of the record that starts with key, up to the next word.
std::vector<int> RecordNumbers(const std::string& file, const std::string& key)
{
    const size_t at = file.find("\r\n" + key + " ");
    if (at == std::string::npos)
        return {};
    std::istringstream in(file.substr(at + 2 + key.size()));
    std::vector<int> numbers;
    for (std::string token; in >> token;) {
        if (token.find_first_not_of("-0123456789\r") != std::string::npos)
            break;
        numbers.push_back(std::stoi(token));
    }
    return numbers;
}

std::string V93(const std::string& body) { return "MOTRAVEX_KEY   93 VORDAX4/VORDAX4\r\n" + body; }

} // namespace

TEST(IgnKeyTable, EveryKeyOfTheCodeHasARowHere)
{
    std::set<std::string> here, code;
    for (const KeyRow& row : KeyRows())
        for (const char* key : row.keys)
            EXPECT_TRUE(here.insert(key).second) << key << " twice";
    for (const auto table : { IgnRecordTable::Current(), IgnRecordTable::Older() })
        for (const IgnRecord& record : table)
            for (const char* key : record.keys)
                if (key)
                    code.insert(key);
    EXPECT_EQ(code, here);
}

// Each key's numbers, read from a file, land in its fields with their scale and offset and change
// nothing else; a record behind them shows that the key takes exactly its own numbers.
TEST(IgnKeyTable, EveryKeyIsReadIntoItsFieldsWithItsScale)
{
    const ParamImage start = StartupImage();
    for (const KeyRow& row : KeyRows()) {
        const RowValues values = ValuesOf(row, start);
        const bool retardRow = std::string(row.keys[0]) == "RETARD";
        const std::string after = retardRow ? " LIMITER 77 " : " RETARD 77 ";
        ParamImage expected = values.read;
        expected.Adrb(retardRow ? 96 : 117) = 77;
        for (const char* key : row.keys) {
            ParamImage image = start;
            IgnReader reader(image);
            reader.ReadIgnText(PAGE_ALL, false, V93(key + Joined(values.numbers) + after));
            ASSERT_EQ(reader.FileVersion(), 93) << key;
            for (int a = 0; a < RS_LEN_EXE; ++a)
                ASSERT_EQ(image.Adrb(a), expected.Adrb(a)) << key << ": byte " << a;
        }
    }
}

// Each written key holds its fields' values with their scale and offset, in the order above.
TEST(IgnKeyTable, EveryWrittenKeyHoldsItsFieldsWithItsScale)
{
    const ParamImage start = StartupImage();
    for (const KeyRow& row : KeyRows()) {
        if (!row.written)
            continue;
        const RowValues values = ValuesOf(row, start);
        const std::string file = IgnFileText(values.source, {}, { "Jan 1 2020", "00:00:00" });
        EXPECT_EQ(RecordNumbers(file, row.keys[0]), values.written) << row.keys[0];
    }
}

// Only versions 93 and 80 are parameter files of this program; any other number, near or far,
// is refused with the message and leaves the image as it was.
TEST(IgnKeyTable, EveryOtherVersionIsRefused)
{
    std::vector<int> versions { 65536 + 93, 65536 + 80, 256 + 93, -93, -80, 2147483647 };
    for (int v = -300; v <= 1100; ++v)
        if (v != 93 && v != 80)
            versions.push_back(v);
    const ParamImage start = StartupImage();
    for (int version : versions) {
        ParamImage image = start;
        int shown = 0;
        IgnReader reader(image, [&](const std::string&) { ++shown; });
        reader.ReadIgnText(PAGE_ALL, true, "MOTRAVEX_KEY " + std::to_string(version) + "\r\nLIMITER 50 RETARD 9 ");
        ASSERT_EQ(reader.FileVersion(), 0) << version;
        ASSERT_EQ(image, start) << version;
        ASSERT_EQ(shown, 1) << version;
    }
}
