#include "files/IgnWriter.h"

#include "base/AtomicFile.h"
#include "model/FieldFacts.h"
#include "model/LobeByte.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>

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

    // Elements first .. first + count - 1 of a field as the file holds them.
    void values(const FieldFact& f, int first, int count)
    {
        for (int i = first; i < first + count; ++i)
            value(f.fileValue(img_, i));
    }
    void values(const FieldFact& f) { values(f, 0, f.count); }

    // A 10 x 10 map: one row per line, then an empty continuation line.
    void map(const FieldFact& f)
    {
        for (int r = 0; r < MAP_DIM; ++r) {
            if (r > 0)
                continuation();
            values(f, VALUES_PER_LINE * r, VALUES_PER_LINE);
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

enum class Layout : uint8_t {
    Line, // every value on the key line
    LineThenEmpty, // every value on the key line, then an empty continuation line
    Map, // ten values per line, then an empty continuation line
};

// One key record of the settings: the key and the fields whose values follow it in order.
struct Record {
    const char* key;
    std::array<const FieldFact*, 4> fields;
    Layout layout = Layout::Line;
};

// A record of one field under its own name.
consteval Record Own(std::string_view name, Layout layout = Layout::Line)
{
    return { Fact(name).name, { &Fact(name) }, layout };
}

// The records between the bike record and the power outputs, in file order.
constexpr Record SETTINGS_RECORDS[] = {
    Own("BASE_ADV"),
    Own("CORR_ADVANCE"),
    Own("GEBER_MODE"),
    { "INPUT", { &Fact("PICKUP_POLARITY"), &Fact("INPUT1"), &Fact("INPUT2"), &Fact("INPUT3") } },
    Own("PICKUPS_INTERCHANGE"),
    Own("NO_LOBE_CHECK"),
    Own("INTERLOCK_INPUT"),
    Own("SPARK_BEFORE_LOBE"),
    Own("SPECIAL_START"),
    Own("LIMITER"),
    Own("START_LIM"),
    Own("START_LIM_DELAY"),
    { "CLUTCH", { &Fact("CLUTCH_TIME"), &Fact("CLUTCH_PAUSE") }, Layout::LineThenEmpty },
    Own("RETARD"),
    { "RPM", { &Fact("RPM_PULSES"), &Fact("RPM_CORR") } },
    Own("TPSIAP_SENSOR"),
    Own("TPS"),
    Own("IAP_SENSOR", Layout::LineThenEmpty),
    Own("ADV_MAPA"),
    Own("ADV_IAP"),
    Own("RPM_ADV"),
    Own("ADVANCE", Layout::Map),
    Own("SERVO_ENABLE"),
    Own("SERVO_PERCENT"),
    Own("SERVO_HYSTER"),
    Own("SERVO_NO"),
    Own("SERVO_MAPA"),
    Own("SERVO_IAP"),
    Own("SERVO_RPM"),
    Own("SERVO_MV", Layout::Map),
};

// The fields of one power output's record.
struct PowerOutRecord {
    const char* key;
    const FieldFact& rpm;
    const FieldFact& load;
    const FieldFact& cells;
};

constexpr PowerOutRecord POWER_OUT_RECORDS[POWER_OUT_COUNT] = {
    { "POWER_OUT1", Fact("POWER_OUT1_RPM"), Fact("POWER_OUT1_TP"), Fact("POWER_OUT1_CELLS") },
    { "POWER_OUT2", Fact("POWER_OUT2_RPM"), Fact("POWER_OUT2_TP"), Fact("POWER_OUT2_CELLS") },
};

void writeRecord(IgnTextBuilder& out, const Record& r)
{
    out.key(r.key);
    if (r.layout == Layout::Map) {
        out.map(*r.fields[0]);
        return;
    }
    for (const FieldFact* f : r.fields)
        if (f)
            out.values(*f);
    if (r.layout == Layout::LineThenEmpty)
        out.continuation();
}

void writeBike(IgnTextBuilder& out)
{
    out.key("BIKE");
    out.values(Fact("BIKE"));
    out.continuation();
    for (const FieldFact* f : { &Fact("PICKUP_SYSTEM"), &Fact("LOBE_COUNT"), &Fact("CHANNEL_COUNT") })
        out.values(*f);
    out.continuation();
    for (int i = 0; i < CHANNELS; ++i) {
        out.lobe(LOBE_START + i);
        out.continuation();
        out.lobe(LOBE_END + i);
        out.continuation();
    }
    out.continuation();
    out.values(Fact("REV_WO_IGNITION"));
    for (int i = 0; i < CHANNELS; ++i)
        out.values(Fact("COMPENSATION"), 0, 1); // bytes 112..114 always repeat byte 111
}

void writePowerOut(IgnTextBuilder& out, int j)
{
    const PowerOutRecord& r = POWER_OUT_RECORDS[j];
    out.key(r.key);
    out.values(Fact("POWER_OUT_MODE"), j, 1);
    out.continuation();
    out.values(r.rpm);
    out.values(Fact("POWER_OUT_HYST"), j, 1);
    out.continuation();
    out.values(r.load);
    for (int i = 0; i < r.cells.count; ++i) {
        out.continuation();
        out.cellBits(r.cells.firstByte() + i);
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

    writeBike(out);
    for (const Record& r : SETTINGS_RECORDS)
        writeRecord(out, r);
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
