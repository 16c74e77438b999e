#include "files/IgnCommands.h"

#include "files/IgnOpen.h"
#include "files/IgnWriter.h"
#include "files/ServiceFiles.h"
#include "lang/LangString.h"
#include "model/ImageDefaults.h"
#include "model/LobeByte.h"
#include "model/SelectionLists.h"

#include <cstdio>
#include <span>

namespace {

enum class Kind : uint8_t { Byte, SignedByte, Word, Lobe };

// One field of the listing: shown = scale x (raw + offset) in unit.
struct ShowField {
    const char* name;
    Kind kind;
    int address;
    int count;
    int scale;
    int offset;
    const char* unit;
};

constexpr ShowField SHOW_FIELDS[] = {
    { "BIKE", Kind::Byte, BIKE, 1, 1, 0, "" },
    { "PICKUP_SYSTEM", Kind::Byte, PICKUP_SYSTEM, 1, 1, 0, "" },
    { "LOBE_COUNT", Kind::Byte, LOBE_COUNT, 1, 1, 0, "" },
    { "CHANNEL_COUNT", Kind::Byte, CHANNEL_COUNT, 1, 1, 0, "" },
    { "GEBER_MODE", Kind::Byte, GEBER_MODE, 1, 1, 0, "" },
    { "LOBE_START", Kind::Lobe, LOBE_START, CHANNELS, 1, 0, "" },
    { "LOBE_END", Kind::Lobe, LOBE_END, CHANNELS, 1, 0, "" },
    { "REV_WO_IGNITION", Kind::Byte, REV_WO_IGNITION, 1, 1, 0, "rev" },
    { "COMPENSATION", Kind::Byte, COMPENSATION, CHANNELS, 1, 0, "" },
    { "PICKUP_POLARITY", Kind::Byte, PICKUP_POLARITY, 2, 1, 0, "(0 plus, 1 minus, 2 auto)" },
    { "PICKUPS_INTERCHANGE", Kind::Byte, PICKUPS_INTERCHANGE, 1, 1, 0, "" },
    { "NO_LOBE_CHECK", Kind::Byte, NO_LOBE_CHECK, 1, 1, 0, "" },
    { "SPARK_BEFORE_LOBE", Kind::Byte, SPARK_BEFORE_LOBE, 1, 1, 0, "" },
    { "SPECIAL_START", Kind::Byte, SPECIAL_START, 1, 1, 0, "" },
    { "INTERLOCK_INPUT", Kind::Byte, INTERLOCK_INPUT, 1, 1, 0, "" },
    { "RPM_PULSES", Kind::SignedByte, RPM_PULSES, 1, 1, 0, "pulses/rev" },
    { "RPM_CORR", Kind::Byte, RPM_CORR, 1, 1, -100, "%" },
    { "LIMITER", Kind::Byte, LIMITER, 1, 100, 0, "rpm" },
    { "START_LIM", Kind::Byte, START_LIM, 1, 100, 0, "rpm" },
    { "START_LIM_DELAY", Kind::Byte, START_LIM_DELAY, 1, 100, 0, "ms" },
    { "CLUTCH_TIME", Kind::Byte, CLUTCH_TIME, 1, 10, 0, "ms" },
    { "CLUTCH_PAUSE", Kind::Byte, CLUTCH_PAUSE, 1, 10, 0, "ms" },
    { "RETARD", Kind::Byte, RETARD, 1, 1, 0, "deg" },
    { "INPUT1", Kind::Byte, INPUT1, 1, 1, 0, "" },
    { "INPUT2", Kind::Byte, INPUT2, 1, 1, 0, "" },
    { "INPUT3", Kind::Byte, INPUT3, 1, 1, 0, "" },
    { "TPSIAP_SENSOR", Kind::Byte, TPSIAP_SENSOR, 1, 1, 0, "(0 none, 1 TP, 2 IAP)" },
    { "TPS", Kind::Word, TPS, 2, 1, 0, "mV at 0 % and 100 %" },
    { "IAP_SENSOR", Kind::Word, IAP_SENSOR, 4, 1, 0, "kPa, mV, kPa, mV" },
    { "BASE_ADV", Kind::Byte, BASE_ADV, 1, 1, 0, "deg" },
    { "CORR_ADVANCE", Kind::Byte, CORR_ADVANCE, CHANNELS, 1, -100, "deg" },
    { "ADV_MAPA", Kind::Byte, ADV_MAPA, 1, 1, 0, "(0 by rpm, 1 by rpm and load)" },
    { "RPM_ADV", Kind::Byte, RPM_ADV, MAP_DIM, 100, 0, "rpm" },
    { "ADV_IAP", Kind::Word, ADV_IAP, MAP_DIM, 1, 0, "kPa" },
    { "SERVO_ENABLE", Kind::Byte, SERVO_ENABLE, 1, 1, 0, "" },
    { "SERVO_PERCENT", Kind::Byte, SERVO_PERCENT, 1, 1, 0, "" },
    { "SERVO_HYSTER", Kind::Byte, SERVO_HYSTER, 1, 5, 0, "mV" },
    { "SERVO_NO", Kind::Byte, SERVO_NO, 1, 5, 0, "mV" },
    { "SERVO_MAPA", Kind::Byte, SERVO_MAPA, 1, 1, 0, "(0 by rpm, 1 by load, 2 by rpm and load)" },
    { "SERVO_RPM", Kind::Byte, SERVO_RPM, MAP_DIM, 100, 0, "rpm" },
    { "SERVO_IAP", Kind::Word, SERVO_IAP, MAP_DIM, 1, 0, "kPa" },
    { "POWER_OUT_MODE", Kind::Byte, POWER_OUT_MODE, 2, 1, 0, "(0 off, 1 fuel pump, 2 gear shift light, 3 special)" },
    { "POWER_OUT1_RPM", Kind::Byte, POWER_OUT_RPM, 3, 100, 0, "rpm" },
    { "POWER_OUT2_RPM", Kind::Byte, POWER_OUT_RPM + 3, 3, 100, 0, "rpm" },
    { "POWER_OUT_HYST", Kind::Byte, POWER_OUT_HYST, 2, 10, 0, "rpm" },
    { "POWER_OUT1_TP", Kind::Word, POWER_OUT_TP, 2, 1, 0, "% (kPa with IAP)" },
    { "POWER_OUT2_TP", Kind::Word, POWER_OUT_TP + 2, 2, 1, 0, "% (kPa with IAP)" },
    { "TEST_RPM", Kind::Byte, TEST_RPM, 1, 100, 0, "rpm" },
    { "TEST_SERVO", Kind::Byte, TEST_SERVO, 1, 10, 0, "ms" },
    { "EXCITATION", Kind::Byte, EXCITATION, 1, 1, 0, "" },
    { "DWELL", Kind::Byte, DWELL, 5, 1, 0, "" },
    { "START_EXCITATION", Kind::Byte, START_EXCITATION, 1, 1, 0, "" },
    { "DUR_DISCHARG", Kind::Byte, DUR_DISCHARG, 1, 1, 0, "" },
};

constexpr int TP_LOAD_POINTS[MAP_DIM] = { 0, 2, 5, 10, 20, 30, 40, 60, 80, 100 };

std::string format(const char* fmt, long v)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, fmt, v);
    return buf;
}

std::string codedText(std::span<const CodedItem> list, int code)
{
    for (const CodedItem& item : list)
        if (item.code == code)
            return LangText(item.text);
    return {};
}

std::string lobeText(uint8_t b, int system)
{
    std::string t = "lobe " + std::to_string(LobeByte::number(b, system));
    if (b & LobeByte::SECOND_EDGE)
        t += " 2nd-edge";
    if (!LobeByte::wide(system) && (b & LobeByte::SECOND_PICKUP))
        t += " 2nd-pickup";
    return t;
}

std::string fieldLine(const ParamImage& img, const ShowField& f)
{
    std::string line = f.name;
    line.resize(std::max<size_t>(line.size() + 1, 22), ' ');
    for (int i = 0; i < f.count; ++i) {
        if (i > 0)
            line += f.kind == Kind::Lobe ? ", " : " ";
        switch (f.kind) {
        case Kind::Byte:
            line += std::to_string(f.scale * (img.Adrb(f.address + i) + f.offset));
            break;
        case Kind::SignedByte:
            line += std::to_string(f.scale * static_cast<int8_t>(img.Adrb(f.address + i)) + f.offset);
            break;
        case Kind::Word:
            line += std::to_string(f.scale * (img.Adrw(f.address + i) + f.offset));
            break;
        case Kind::Lobe:
            line += lobeText(img.Adrb(f.address + i), img.Adrb(PICKUP_SYSTEM));
            break;
        }
    }
    if (*f.unit)
        line += std::string(" ") + f.unit;
    if (f.address == BIKE)
        line += "  " + ServiceFiles::DefaultBikeText(img.Adrb(BIKE));
    else if (f.address == PICKUP_SYSTEM)
        line += "  " + codedText(SynchroMethodList(), img.Adrb(PICKUP_SYSTEM));
    else if (f.address == GEBER_MODE)
        line += "  " + codedText(GeberModeList(), img.Adrb(GEBER_MODE));
    return line + "\n";
}

// A 10 x 10 map with the rpm points as columns and the load points as rows.
std::string mapTable(const ParamImage& img, const char* title, int address, int rpmAxis, int loadAxis, int scale,
    int offset, const char* unit)
{
    const int sensor = img.Adrb(TPSIAP_SENSOR);
    std::string t = std::string("\n") + title + " (" + unit + "; columns rpm, rows "
        + (sensor == 1        ? "throttle %"
                : sensor == 2 ? "kPa"
                              : "load row")
        + ")\n" + std::string(8, ' ');
    for (int c = 0; c < MAP_DIM; ++c)
        t += format("%7ld", 100L * img.Adrb(rpmAxis + c));
    t += "\n";
    for (int r = 0; r < MAP_DIM; ++r) {
        const long load = sensor == 1 ? TP_LOAD_POINTS[r] : sensor == 2 ? img.Adrw(loadAxis + r) : r + 1;
        t += format("%6ld |", load);
        for (int c = 0; c < MAP_DIM; ++c)
            t += format("%7ld", long { scale } * (img.Adrb(address + MAP_DIM * r + c) + offset));
        t += "\n";
    }
    return t;
}

std::string cellTable(const ParamImage& img, int n)
{
    std::string t = "\nPOWER_OUT" + std::to_string(n + 1) + " cells (columns speed points 0..3, rows load rows 0..2)\n";
    for (int i = 0; i < 3; ++i) {
        t += format("%6ld |", i);
        for (int bit = 0; bit < POUT_COLUMNS; ++bit)
            t += format("%3ld", (img.Adrb(POWER_OUT_CELLS + 3 * n + i) >> bit) & 1);
        t += "\n";
    }
    return t;
}

std::string loadMessage(IgnLoadStatus status)
{
    switch (status) {
    case IgnLoadStatus::CannotOpen:
        return "cannot open the file";
    case IgnLoadStatus::TooLarge:
        return "the file is larger than 10 MiB";
    case IgnLoadStatus::ReadError:
        return "the file could not be read completely";
    case IgnLoadStatus::Loaded:
        break;
    }
    return {};
}

} // namespace

ParamImage IgnCommands::StartupImage()
{
    ParamImage img;
    img.Adrb(BIKE) = 20;
    ResetDefaults(img, PAGE_ALL);
    ValidateImage(img);
    return img;
}

bool IgnCommands::Open(const QString& path, ParamImage& image, std::ostream& err)
{
    const std::string name = path.toStdString();
    std::string versionMessage;
    IgnReader reader(image, [&](const std::string& text) { versionMessage = text; });
    const IgnOpenResult result = OpenIgnTwoPass(reader, path, PAGE_ALL);
    if (result.status != IgnLoadStatus::Loaded) {
        err << "vordax4-cli: " << name << ": " << loadMessage(result.status) << "\n";
        return false;
    }
    if (!result.accepted()) {
        err << "vordax4-cli: " << name << ": not a parameter file of version 93 or 80 (" << versionMessage << ")\n";
        return false;
    }
    if (!versionMessage.empty())
        err << "vordax4-cli: " << name << ": note: " << versionMessage << "\n";
    return true;
}

int IgnCommands::Convert(const QString& in, const QString& out, std::ostream& err)
{
    ParamImage image = StartupImage();
    if (!Open(in, image, err))
        return 1;
    QString error;
    if (!WriteIgnFile(out, image, IgnUnitInfo {}, &error)) {
        err << "vordax4-cli: cannot write " << out.toStdString() << ": " << error.toStdString() << "\n";
        return 1;
    }
    return 0;
}

int IgnCommands::Show(const QString& path, std::ostream& out, std::ostream& err)
{
    ParamImage image = StartupImage();
    if (!Open(path, image, err))
        return 1;
    out << path.toStdString() << "\n\n" << ShowText(image);
    return 0;
}

std::string IgnCommands::ShowText(const ParamImage& img)
{
    std::string t;
    for (const ShowField& f : SHOW_FIELDS)
        t += fieldLine(img, f);
    t += mapTable(img, "ADVANCE", ADVANCE, RPM_ADV, ADV_IAP, 1, -100, "deg");
    t += mapTable(img, "SERVO_MV", SERVO_MV, SERVO_RPM, SERVO_IAP, img.Adrb(SERVO_PERCENT) ? 1 : 20, 0,
        img.Adrb(SERVO_PERCENT) ? "%" : "mV");
    for (int n = 0; n < POWER_OUT_COUNT; ++n)
        t += cellTable(img, n);
    return t;
}
