#include "files/IgnWriter.h"

#include "base/AtomicFile.h"
#include "model/LobeByte.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr int VALUE_COLUMN = 15;
constexpr int VALUES_PER_LINE = 10;
constexpr int MAX_LABEL_CHARS = 8190;
constexpr const char* LINE_BREAK = "\r\n";

// Builds the text record by record; every line break is CR LF whatever the platform.
class IgnTextBuilder {
public:
    explicit IgnTextBuilder(const ParamImage& image)
        : img_(image)
    {
    }

    std::string& text() { return text_; }

    void value(long v)
    {
        char field[24];
        std::snprintf(field, sizeof field, "%5li ", v);
        text_ += field;
    }

    // A line break, the key and blanks up to the value grid (15 columns, then steps of 6).
    void key(const char* name)
    {
        text_ += LINE_BREAK;
        keyField(name);
    }

    void keyField(const char* name)
    {
        const int length = static_cast<int>(std::char_traits<char>::length(name));
        const int width = std::max(VALUE_COLUMN, 6 * ((length - 2) / 6) + 9);
        text_ += name;
        text_.append(static_cast<size_t>(width - length), ' ');
    }

    void continuation()
    {
        text_ += LINE_BREAK;
        text_.append(VALUE_COLUMN, ' ');
    }

    // count byte fields printed as (byte + addend) x multiplier.
    void bytes(int address, int count, int multiplier = 1, int addend = 0)
    {
        for (int i = 0; i < count; ++i)
            value((long { img_.Adrb(address + i) } + addend) * multiplier);
    }

    void words(int address, int count)
    {
        for (int i = 0; i < count; ++i)
            value(img_.Adrw(address + i));
    }

    // A 10 x 10 map: one row per line, then an empty continuation line.
    void map(int address, int multiplier, int addend)
    {
        for (int r = 0; r < MAP_DIM; ++r) {
            if (r > 0)
                continuation();
            bytes(address + VALUES_PER_LINE * r, VALUES_PER_LINE, multiplier, addend);
        }
        continuation();
    }

    void lobe(int address)
    {
        const uint8_t b = img_.Adrb(address);
        const int system = img_.Adrb(PICKUP_SYSTEM);
        value(LobeByte::number(b, system));
        value((b & LobeByte::SECOND_EDGE) ? 1 : 0);
        value(!LobeByte::wide(system) && (b & LobeByte::SECOND_PICKUP) ? 1 : 0);
    }

    void cellBits(int address)
    {
        for (int bit = 0; bit < POUT_COLUMNS; ++bit)
            value((img_.Adrb(address) >> bit) & 1);
    }

private:
    const ParamImage& img_;
    std::string text_;
};

struct PlainRecord {
    const char* key;
    int address;
    int count;
    int multiplier;
    int addend;
};

// Records 2 to 13 of the file, each one key line.
constexpr PlainRecord SETTINGS_RECORDS[] = {
    { "BASE_ADV", BASE_ADV, 1, 1, 0 },
    { "CORR_ADVANCE", CORR_ADVANCE, CHANNELS, 1, -100 },
    { "GEBER_MODE", GEBER_MODE, 1, 1, 0 },
    { "INPUT", PICKUP_POLARITY, 2, 1, 0 }, // continued with INPUT1..INPUT3 below
    { "PICKUPS_INTERCHANGE", PICKUPS_INTERCHANGE, 1, 1, 0 },
    { "NO_LOBE_CHECK", NO_LOBE_CHECK, 1, 1, 0 },
    { "INTERLOCK_INPUT", INTERLOCK_INPUT, 1, 1, 0 },
    { "SPARK_BEFORE_LOBE", SPARK_BEFORE_LOBE, 1, 1, 0 },
    { "SPECIAL_START", SPECIAL_START, 1, 1, 0 },
    { "LIMITER", LIMITER, 1, 1, 0 },
    { "START_LIM", START_LIM, 1, 1, 0 },
    { "START_LIM_DELAY", START_LIM_DELAY, 1, 100, 0 },
};

constexpr PlainRecord SERVO_RECORDS[] = {
    { "SERVO_ENABLE", SERVO_ENABLE, 1, 1, 0 },
    { "SERVO_PERCENT", SERVO_PERCENT, 1, 1, 0 },
    { "SERVO_HYSTER", SERVO_HYSTER, 1, 5, 0 },
    { "SERVO_NO", SERVO_NO, 1, 1, 0 },
    { "SERVO_MAPA", SERVO_MAPA, 1, 1, 0 },
};

void writeBike(IgnTextBuilder& out, const ParamImage& img)
{
    out.key("BIKE");
    out.bytes(BIKE, 1);
    out.continuation();
    out.bytes(PICKUP_SYSTEM, 3);
    out.continuation();
    for (int i = 0; i < CHANNELS; ++i) {
        out.lobe(LOBE_START + i);
        out.continuation();
        out.lobe(LOBE_END + i);
        out.continuation();
    }
    out.continuation();
    out.bytes(REV_WO_IGNITION, 1);
    for (int i = 0; i < CHANNELS; ++i)
        out.value(img.Adrb(COMPENSATION)); // bytes 112..114 always repeat byte 111
}

void writePowerOut(IgnTextBuilder& out, int j)
{
    out.key(j == 0 ? "POWER_OUT1" : "POWER_OUT2");
    out.bytes(POWER_OUT_MODE + j, 1);
    out.continuation();
    out.bytes(POWER_OUT_RPM + 3 * j, 3, 100);
    out.bytes(POWER_OUT_HYST + j, 1, 10);
    out.continuation();
    out.words(POWER_OUT_TP + 2 * j, 2);
    for (int i = 0; i < 3; ++i) {
        out.continuation();
        out.cellBits(POWER_OUT_CELLS + 3 * j + i);
    }
}

std::string label8Bit(const QString& text) { return text.left(MAX_LABEL_CHARS).toLatin1().toStdString(); }

void writeVersions(IgnTextBuilder& out, const IgnUnitInfo& unit, const BuildStamp& stamp)
{
    out.key("VERSIONS");
    std::string& t = out.text();
    t += LINE_BREAK;
    t += "HEX  " + label8Bit(unit.firmwareDate) + "\t" + label8Bit(unit.firmwareTime) + "\t"
        + label8Bit(unit.firmwareVersion);
    t += LINE_BREAK;
    t += "EXE  " + stamp.date + "\t" + stamp.time;
    out.continuation();
}

void writeCalibration(IgnTextBuilder& out, const IgnUnitInfo& unit)
{
    static constexpr const char* keys[] = { "Mon_Calib_CoefEE", "Mon_Calib_CoefFLASH", "Mon_Calib_CoefNEW" };
    for (int i = 0; i < 3; ++i) {
        out.key(keys[i]);
        out.text() += std::to_string(unit.calibration[static_cast<size_t>(i)]);
    }
}

} // namespace

std::string IgnFileText(const ParamImage& img, const IgnUnitInfo& unit, const BuildStamp& stamp)
{
    IgnTextBuilder out(img);
    out.keyField("MOTRAVEX_KEY");
    out.value(IGN_FILE_VERSION);
    out.text() += std::string(PRODUCT_WORD) + "/" + PRODUCT_WORD;
    out.continuation();

    writeBike(out, img);
    for (const PlainRecord& r : SETTINGS_RECORDS) {
        out.key(r.key);
        out.bytes(r.address, r.count, r.multiplier, r.addend);
        if (r.address == PICKUP_POLARITY)
            out.bytes(INPUT1, 3);
    }
    out.key("CLUTCH");
    out.bytes(CLUTCH_TIME, 2, 10);
    out.continuation();
    out.key("RETARD");
    out.bytes(RETARD, 1);
    out.key("RPM");
    out.bytes(RPM_PULSES, 1);
    out.bytes(RPM_CORR, 1, 1, -100);
    out.key("TPSIAP_SENSOR");
    out.bytes(TPSIAP_SENSOR, 1);
    out.key("TPS");
    out.words(TPS, 2);
    out.key("IAP_SENSOR");
    out.words(IAP_SENSOR, 4);
    out.continuation();
    out.key("ADV_MAPA");
    out.bytes(ADV_MAPA, 1);
    out.key("ADV_IAP");
    out.words(ADV_IAP, MAP_DIM);
    out.key("RPM_ADV");
    out.bytes(RPM_ADV, MAP_DIM, 100);
    out.key("ADVANCE");
    out.map(ADVANCE, 1, -100);
    for (const PlainRecord& r : SERVO_RECORDS) {
        out.key(r.key);
        out.bytes(r.address, r.count, r.multiplier, r.addend);
    }
    out.key("SERVO_IAP");
    out.words(SERVO_IAP, MAP_DIM);
    out.key("SERVO_RPM");
    out.bytes(SERVO_RPM, MAP_DIM, 100);
    out.key("SERVO_MV");
    out.map(SERVO_MV, 20, 0);
    for (int j = 0; j < POWER_OUT_COUNT; ++j)
        writePowerOut(out, j);
    writeVersions(out, unit, stamp);
    if (unit.connectedPort != 0)
        writeCalibration(out, unit);
    return std::move(out.text());
}

bool WriteIgnFile(
    const QString& path, const ParamImage& image, const IgnUnitInfo& unit, QString* error, const BuildStamp& stamp)
{
    const std::string text = IgnFileText(image, unit, stamp);
    return SaveFileAtomically(path, QByteArray(text.data(), static_cast<qsizetype>(text.size())), error);
}
