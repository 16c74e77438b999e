#include "files/IgnReader.h"

#include "files/FileTexts.h"
#include "files/IgnScanner.h"
#include "files/IgnWriter.h"
#include "model/BikePresets.h"
#include "model/FieldFacts.h"
#include "model/ImageDefaults.h"
#include "model/LobeByte.h"

#include <QFile>

#include <array>
#include <cstring>
#include <string_view>

namespace {

enum class Action : uint8_t {
    End, // no further step
    Bytes, // count byte fields, number div multiplier - addend, out of byte range stores 0
    Words, // count word fields, low 16 bits
    Skip, // count numbers discarded
    Advance, // count bytes, (number + 100) modulo 256
    ServoMv, // the servo map; a version-80 file holds one row for every row
    Cells, // three power-output cell bytes of four 0/1 numbers each
    TpsMapa, // an old load-map switch also selects the TP sensor
    Bike, // the trigger description of the bike
};

struct Step {
    Action action = Action::End;
    int16_t address = 0;
    int16_t count = 1;
    int16_t multiplier = 1;
    int16_t addend = 0;
    int8_t group = -1;
};

enum class When : uint8_t { Always, AllPages, GroupSelected };

struct KeyRow {
    std::array<const char*, 6> names;
    std::array<Step, 5> steps;
    When when = When::Always;
    int8_t group = -1; // for When::GroupSelected
};

// Elements first .. first + count - 1 of a field (all of them by default), encoded as the writer
// encodes them: each restored as number div multiplier - addend.
consteval Step F(std::string_view name, int first = 0, int count = -1)
{
    const FieldFact& f = Fact(name);
    return { f.view == FieldRef::Word ? Action::Words : Action::Bytes, static_cast<int16_t>(f.address + first),
        static_cast<int16_t>(count < 0 ? f.count : count), static_cast<int16_t>(f.fileMultiplier()),
        static_cast<int16_t>(f.offset), static_cast<int8_t>(f.loadGroup) };
}

// A field as older files held it: the value the user sees rather than the raw byte.
consteval Step InUserUnits(std::string_view name)
{
    Step step = F(name);
    step.multiplier = static_cast<int16_t>(Fact(name).scale);
    return step;
}

// A step with its own decoding over the place and group of a field.
consteval Step A(Action action, std::string_view name)
{
    Step step = F(name);
    step.action = action;
    return step;
}

constexpr Step S(int count) { return { Action::Skip, 0, static_cast<int16_t>(count), 1, 0, -1 }; }

// The key of a field that has a record of its own under its name.
consteval KeyRow Own(std::string_view name) { return { { Fact(name).name }, { F(name) } }; }

// Every key the reader understands, older keys included, in the order they are compared.
const KeyRow KEY_TABLE[] = {
    { { "BIKE" }, { A(Action::Bike, "BIKE") }, When::AllPages },
    { { "PICKUP_POLARITY", "INV_PICKUP" }, { F("PICKUP_POLARITY") } },
    { { "RPM" }, { F("RPM_PULSES"), F("RPM_CORR") } },
    Own("PICKUPS_INTERCHANGE"),
    Own("NO_LOBE_CHECK"),
    Own("INTERLOCK_INPUT"),
    Own("SPARK_BEFORE_LOBE"),
    { { "SPEC_START", "SPECIAL_START" }, { F("SPECIAL_START") } },
    Own("GEBER_MODE"),
    Own("LIMITER"),
    Own("START_LIM"),
    Own("START_LIM_DELAY"),
    Own("RETARD"),
    { { "INPUT_NEUTRAL_SS" }, {} },
    { { "INPUT1" }, { F("INPUT1"), S(1) } },
    { { "INPUT2" }, { F("INPUT2"), S(1) } },
    { { "INPUT" }, { F("PICKUP_POLARITY"), F("INPUT1"), F("INPUT2") } }, // the fifth value (INPUT3) is not read
    Own("EXCITATION"),
    { { "DWELL" }, { F("EXCITATION"), F("DWELL") } },
    Own("DUR_DISCHARG"),
    { { "TPSIAP_SENSOR", "SENSOR_TPS_IAP" }, { F("TPSIAP_SENSOR") } },
    { { "TPS", "SENSOR_TPS" }, { F("TPS") } },
    { { "IAP_SENSOR", "SENSOR_IAP" }, { F("IAP_SENSOR") } },
    { { "ADVANCE_MISC" }, { F("ADV_MAPA"), F("BASE_ADV"), F("CORR_ADVANCE", 0, 2) } },
    Own("BASE_ADV"),
    Own("CORR_ADVANCE"),
    { { "TPS_MAPA" }, { F("ADV_MAPA"), A(Action::TpsMapa, "ADV_MAPA") } },
    { { "ADV_MAPA", "ADV_MAP" }, { F("ADV_MAPA") } },
    { { "IAP", "ADV_IAP" }, { F("ADV_IAP") } },
    { { "RPM_ADV", "ADVANCE_RPM1" }, { F("RPM_ADV") } },
    { { "ADVANCE", "ADVANCE1" }, { A(Action::Advance, "ADVANCE") } },
    { { "SERRVO_MISC" }, { F("SERVO_ENABLE"), F("SERVO_PERCENT"), F("SERVO_MAPA"), F("SERVO_HYSTER") } },
    Own("SERVO_ENABLE"),
    Own("SERVO_PERCENT"),
    Own("SERVO_HYSTER"),
    Own("SERVO_NO"),
    { { "SERRVO_MISC_HO" }, { InUserUnits("SERVO_NO") } },
    { { "SERVO_MAPA", "SERVO_MAP" }, { F("SERVO_MAPA") } },
    Own("SERVO_IAP"),
    Own("SERVO_RPM"),
    { { "SERVO" }, { F("SERVO_MV") }, When::GroupSelected, PAGE_SERVO },
    { { "SERVO_MV" }, { A(Action::ServoMv, "SERVO_MV") } },
    { { "POWER_OUT1" },
        { F("POWER_OUT_MODE", 0, 1), F("POWER_OUT1_RPM"), F("POWER_OUT_HYST", 0, 1), F("POWER_OUT1_TP"),
            A(Action::Cells, "POWER_OUT1_CELLS") } },
    { { "POWER_OUT2" },
        { F("POWER_OUT_MODE", 1, 1), F("POWER_OUT2_RPM"), F("POWER_OUT_HYST", 1, 1), F("POWER_OUT2_TP"),
            A(Action::Cells, "POWER_OUT2_CELLS") } },
    { { "POWER_OUT3", "POWER_OUT4", "POWER_OUT1_PWM", "POWER_OUT2_PWM", "POWER_OUT3_PWM", "POWER_OUT4_PWM" }, {} },
    { { "PILOT_LIGHT" }, { F("POWER_OUT2_RPM", 0, 1), S(1) } },
    { { "PILOT_LIGHT_INV_OUT" }, { S(1) } },
    { { "CLUTCH" }, { F("CLUTCH_TIME"), F("CLUTCH_PAUSE") } },
};

const KeyRow* findKey(const std::string& token)
{
    for (const KeyRow& row : KEY_TABLE)
        for (const char* name : row.names)
            if (name && token == name)
                return &row;
    return nullptr;
}

// One pass of the record loop over the text.
class RecordReader {
public:
    RecordReader(ParamImage& img, IgnScanner& scan, const LoadGroups& groups, int fileVersion, bool& bikeSeen,
        bool allPages, IgnFileBytes& fileBytes)
        : img_(img)
        , scan_(scan)
        , groups_(groups)
        , fileVersion_(fileVersion)
        , bikeSeen_(bikeSeen)
        , allPages_(allPages)
        , fileBytes_(fileBytes)
    {
    }

    void run()
    {
        std::string token;
        while (scan_.NextToken(token)) {
            token.resize(std::min(token.size(), token.find('\r')));
            if (token.empty())
                continue;
            if (const KeyRow* row = findKey(token); row && applies(*row))
                for (const Step& step : row->steps)
                    apply(step);
        }
    }

private:
    bool applies(const KeyRow& row) const
    {
        switch (row.when) {
        case When::AllPages:
            return allPages_;
        case When::GroupSelected:
            return groups_[row.group];
        case When::Always:
            break;
        }
        return true;
    }

    void byteField(int address, int multiplier, int addend, int group)
    {
        const std::optional<int32_t> n = scan_.NextNumber();
        if (!n || !groups_[group])
            return;
        const int64_t result = int64_t { *n } / multiplier - addend;
        img_.Adrb(address) = result < 0 || result > 255 ? 0 : static_cast<uint8_t>(result);
        markByte(address);
    }

    void markByte(int address)
    {
        if (address >= 0 && address < RS_LEN_EXE)
            fileBytes_.set(static_cast<size_t>(address));
    }

    void wordField(int address, int group)
    {
        const std::optional<int32_t> n = scan_.NextNumber();
        if (n && groups_[group]) {
            img_.Adrw(address) = static_cast<uint16_t>(*n);
            markByte(2 * address);
            markByte(2 * address + 1);
        }
    }

    void bike()
    {
        byteField(BIKE, 1, 0, PAGE_BIKE);
        for (int a = PICKUP_SYSTEM; a <= CHANNEL_COUNT; ++a)
            byteField(a, 1, 0, PAGE_BIKE);
        for (int i = 0; i < CHANNELS; ++i) {
            decodeLobe(LOBE_START + i);
            decodeLobe(LOBE_END + i);
        }
        byteField(REV_WO_IGNITION, 1, 0, PAGE_BIKE);
        byteField(COMPENSATION, 1, 0, PAGE_BIKE);
        for (int i = 1; i < CHANNELS; ++i)
            img_.Adrb(COMPENSATION + i) = img_.Adrb(COMPENSATION);
        for (int i = 0; i < 3; ++i)
            scan_.NextNumber();
        bikeSeen_ = true;
    }

    // Three numbers per lobe byte: lobe number, second edge, second pick-up (not with system 14,
    // where the lobe number has seven bits and its bit 6 lives in bit 7).
    void decodeLobe(int address)
    {
        const auto n1 = scan_.NextNumber();
        const auto n2 = scan_.NextNumber();
        const auto n3 = scan_.NextNumber();
        if (!n1 || !n2 || !n3)
            return;
        const unsigned lobe = static_cast<unsigned>(*n1);
        uint8_t b = static_cast<uint8_t>(lobe & 0x3F);
        if (*n2 != 0)
            b |= LobeByte::SECOND_EDGE;
        if (LobeByte::wide(img_.Adrb(PICKUP_SYSTEM))) {
            if (lobe & 0x40)
                b |= 0x80;
        } else if (*n3 != 0) {
            b |= LobeByte::SECOND_PICKUP;
        }
        img_.Adrb(address) = b;
        markByte(address);
    }

    void servoMv(const Step& step)
    {
        if (fileVersion_ != IgnReader::OLD_FILE_VERSION) {
            for (int i = 0; i < MAP_DIM * MAP_DIM; ++i)
                byteField(step.address + i, 20, 0, step.group);
            return;
        }
        for (int c = 0; c < MAP_DIM; ++c) {
            byteField(step.address + c, 20, 0, step.group);
            if (groups_[step.group])
                for (int r = 1; r < MAP_DIM; ++r)
                    img_.Adrb(step.address + MAP_DIM * r + c) = img_.Adrb(step.address + c);
        }
        if (groups_[step.group])
            img_.Adrb(SERVO_MAPA) = 0;
    }

    void cells(const Step& step)
    {
        for (int i = 0; i < 3; ++i) {
            uint8_t b = 0;
            bool complete = true;
            for (int k = 0; k < POUT_COLUMNS; ++k) {
                const auto n = scan_.NextNumber();
                complete &= n.has_value();
                if (n && *n != 0)
                    b |= static_cast<uint8_t>(1u << k);
            }
            if (groups_[step.group]) {
                img_.Adrb(step.address + i) = b;
                if (complete)
                    markByte(step.address + i);
            }
        }
    }

    void apply(const Step& step)
    {
        switch (step.action) {
        case Action::End:
            return;
        case Action::Bytes:
            for (int i = 0; i < step.count; ++i)
                byteField(step.address + i, step.multiplier, step.addend, step.group);
            return;
        case Action::Words:
            for (int i = 0; i < step.count; ++i)
                wordField(step.address + i, step.group);
            return;
        case Action::Skip:
            for (int i = 0; i < step.count; ++i)
                scan_.NextNumber();
            return;
        case Action::Advance:
            for (int i = 0; i < step.count; ++i)
                if (const auto n = scan_.NextNumber(); n && groups_[step.group]) {
                    img_.Adrb(step.address + i) = static_cast<uint8_t>(int64_t { *n } + 100);
                    markByte(step.address + i);
                }
            return;
        case Action::ServoMv:
            servoMv(step);
            return;
        case Action::Cells:
            cells(step);
            return;
        case Action::TpsMapa:
            if (groups_[step.group]) {
                img_.Adrb(TPSIAP_SENSOR) = 1;
                if (img_.Adrb(ADV_MAPA) > 1)
                    img_.Adrb(ADV_MAPA) = 1;
            }
            return;
        case Action::Bike:
            bike();
            return;
        }
    }

    ParamImage& img_;
    IgnScanner& scan_;
    const LoadGroups& groups_;
    int fileVersion_;
    bool& bikeSeen_;
    bool allPages_;
    IgnFileBytes& fileBytes_;
};

} // namespace

IgnReader::IgnReader(ParamImage& image, IgnMessageSink sink)
    : img_(image)
    , sink_(std::move(sink))
{
}

void IgnReader::show(bool messages, FileMessage message)
{
    if (messages && sink_)
        sink_(FileMessageText(message));
}

// The numbered default steps for all groups (without the lobe reset), then the bike preset.
// ResetDefaults also clears the lobe bytes and GEBER_MODE and clamps CHANNEL_COUNT, so those
// bytes are kept and the preset is applied again over them.
void IgnReader::convertVersion80(bool messages)
{
    if (groups_[PAGE_MISC] || groups_[PAGE_BIKE]) {
        ParamImage kept = img_;
        ResetDefaults(img_, PAGE_ALL);
        for (int a : { CHANNEL_COUNT, GEBER_MODE })
            img_.Adrb(a) = kept.Adrb(a);
        for (int i = 0; i < 2 * CHANNELS; ++i)
            img_.Adrb(LOBE_START + i) = kept.Adrb(LOBE_START + i);
        ApplyBikePreset(img_, LoadGroups::all());
    }
    show(messages, FileMessage::OlderVersion);
    if (groups_[PAGE_POWER_OUT]) {
        img_.Adrb(POWER_OUT_MODE) = 1;
        img_.Adrb(POWER_OUT_MODE + 1) = 2;
        for (int n = 0; n < POWER_OUT_COUNT; ++n)
            PowerOutDefaults(img_, n, PowerOutDefaultForm::Reset);
    }
    if (groups_[PAGE_BIKE])
        for (int a : { PICKUPS_INTERCHANGE, NO_LOBE_CHECK, SPARK_BEFORE_LOBE, SPECIAL_START, START_EXCITATION })
            img_.Adrb(a) = 0;
    if (groups_[PAGE_SERVO])
        img_.Adrb(SERVO_NO) = 0;
}

void IgnReader::ReadIgnText(int page, bool messages, std::string_view text)
{
    fileVersion_ = 0;
    fileBytes_.reset();
    groups_ = LoadGroups(page);
    IgnScanner scan(text);
    std::string token;
    bool found = false;
    while (!found && scan.NextToken(token))
        found = token == "MOTRAVEX_KEY";
    if (!found) {
        // Not a parameter file at all: refused like a foreign version, so the user learns why.
        show(messages, FileMessage::UnmatchedVersion);
        return;
    }
    const std::optional<int32_t> version = scan.NextNumber();
    if (version == IGN_FILE_VERSION) {
        fileVersion_ = IGN_FILE_VERSION;
    } else if (version == OLD_FILE_VERSION) {
        fileVersion_ = OLD_FILE_VERSION;
        convertVersion80(messages);
    } else {
        show(messages, FileMessage::UnmatchedVersion);
        return;
    }
    RecordReader(img_, scan, groups_, fileVersion_, bikeRecordSeen_, page == PAGE_ALL, fileBytes_).run();
}

IgnLoadStatus IgnReader::ReadFileText(const QString& path, QByteArray& text)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return IgnLoadStatus::CannotOpen;
    const qint64 size = file.size();
    if (size > MAX_FILE_SIZE)
        return IgnLoadStatus::TooLarge;
    text = file.read(MAX_FILE_SIZE + 1);
    if (text.size() != size)
        return text.size() > MAX_FILE_SIZE ? IgnLoadStatus::TooLarge : IgnLoadStatus::ReadError;
    return IgnLoadStatus::Loaded;
}

IgnLoadStatus IgnReader::LoadIgnFile(const QString& path, int page, bool messages)
{
    QByteArray text;
    const IgnLoadStatus status = ReadFileText(path, text);
    if (status == IgnLoadStatus::Loaded)
        ReadIgnText(page, messages, std::string_view(text.constData(), static_cast<size_t>(text.size())));
    return status;
}
