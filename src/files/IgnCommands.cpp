#include "files/IgnCommands.h"

#include "files/IgnOpen.h"
#include "files/IgnWriter.h"
#include "base/InputFile.h"
#include "files/ServiceFiles.h"
#include "lang/LangString.h"
#include "model/FieldFacts.h"
#include "model/ImageDefaults.h"
#include "model/LobeByte.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace {

// The fields whose code the listing follows with the item's text.
constexpr const FieldFact* NAMED_CODES[] = { &Fact("PICKUP_SYSTEM"), &Fact("GEBER_MODE") };

// The listing prints the 10 x 10 maps and the power-output cells as tables of their own.
constexpr bool ListedAsTable(const FieldFact& f) { return f.kind == FieldKind::Cells || f.count == MAP_DIM * MAP_DIM; }

constexpr int TP_LOAD_POINTS[MAP_DIM] = { 0, 2, 5, 10, 20, 30, 40, 60, 80, 100 };

std::string format(const char* fmt, long v)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, fmt, v);
    return buf;
}

std::string lobeText(uint8_t b, int system)
{
    std::string t = "lobe " + std::to_string(LobeByte::Number(b, system));
    if (b & LobeByte::SECOND_EDGE)
        t += " 2nd-edge";
    if (!LobeByte::Wide(system) && (b & LobeByte::SECOND_PICKUP))
        t += " 2nd-pickup";
    return t;
}

std::string fieldLine(const ParamImage& img, const FieldFact& f)
{
    const bool lobe = f.kind == FieldKind::Lobe;
    std::string line = f.name;
    line.resize(std::max<size_t>(line.size() + 1, 22), ' ');
    for (int i = 0; i < f.count; ++i) {
        if (i > 0)
            line += lobe ? ", " : " ";
        line += lobe ? lobeText(img.Adrb(f.address + i), img.Adrb(PICKUP_SYSTEM)) : std::to_string(f.UserValue(img, i));
    }
    if (const char* after = f.legend ? f.legend : f.unit; *after)
        line += std::string(" ") + after;
    if (&f == &Fact("BIKE"))
        line += "  " + ServiceFiles::DefaultBikeText(img.Adrb(BIKE));
    else if (std::find(std::begin(NAMED_CODES), std::end(NAMED_CODES), &f) != std::end(NAMED_CODES)) {
        const char* item = f.ChoiceText(f.UserValue(img));
        line += std::string("  ") + (item ? LangText(item) : "");
    }
    return line + "\n";
}

// A 10 x 10 map with the rpm points as columns and the load points as rows.
std::string mapTable(const ParamImage& img, const FieldFact& map, const FieldFact& rpmAxis, const FieldFact& loadAxis)
{
    const int sensor = img.Adrb(TPSIAP_SENSOR);
    std::string t = std::string("\n") + map.name + " (" + map.UnitIn(img) + "; columns rpm, rows "
        + (sensor == 1        ? "throttle %"
                : sensor == 2 ? "kPa"
                              : "load row")
        + ")\n" + std::string(8, ' ');
    for (int c = 0; c < MAP_DIM; ++c)
        t += format("%7ld", rpmAxis.UserValue(img, c));
    t += "\n";
    for (int r = 0; r < MAP_DIM; ++r) {
        const long load = sensor == 1 ? TP_LOAD_POINTS[r] : sensor == 2 ? loadAxis.UserValue(img, r) : r + 1;
        t += format("%6ld |", load);
        for (int c = 0; c < MAP_DIM; ++c)
            t += format("%7ld", map.UserValue(img, MAP_DIM * r + c));
        t += "\n";
    }
    return t;
}

std::string cellTable(const ParamImage& img, const FieldFact& cells, int n)
{
    std::string t = "\nPOWER_OUT" + std::to_string(n + 1) + " cells (columns speed points 0..3, rows load rows 0..2)\n";
    for (int i = 0; i < cells.count; ++i) {
        t += format("%6ld |", i);
        for (int bit = 0; bit < POUT_COLUMNS; ++bit)
            t += format("%3ld", (cells.UserValue(img, i) >> bit) & 1);
        t += "\n";
    }
    return t;
}

std::string loadMessage(IgnLoadStatus status)
{
    switch (status) {
    case IgnLoadStatus::CannotOpen:
        return "cannot open the file";
    case IgnLoadStatus::NotRegular:
        return LangText(InputFile::Message(InputFile::Status::NotRegular));
    case IgnLoadStatus::TooLarge:
        return "the file is larger than 10 MiB";
    case IgnLoadStatus::ReadError:
        return "the file could not be read completely";
    case IgnLoadStatus::Loaded:
        break;
    }
    return {};
}

constexpr const char* MISSING_SETTINGS
    = "###%d settings are missing from the file; they take the bike's defaults##Der Datei fehlen %d Einstellungen; "
      "sie erhalten die Vorgaben des Motorrads##V souboru chybí %d nastavení; použijí se výchozí hodnoty motocyklu";
constexpr const char* INCOMPLETE_REFUSED = "###the file is incomplete and --strict refuses it##die Datei ist "
                                           "unvollständig und --strict weist sie ab##soubor je neúplný a --strict "
                                           "ho odmítá";

std::string MissingSettingsText(int count)
{
    char text[256];
    std::snprintf(text, sizeof text, LangText(MISSING_SETTINGS), count);
    return text;
}

} // namespace

bool IgnCommands::Open(const QString& path, ParamImage& image, std::ostream& err, Completeness completeness)
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
    if (result.missingSettings == 0)
        return true;
    const bool strict = completeness == Completeness::Strict;
    err << "vordax4-cli: " << name << ": " << (strict ? "" : "warning: ") << MissingSettingsText(result.missingSettings)
        << "\n";
    if (strict)
        err << "vordax4-cli: " << name << ": " << LangText(INCOMPLETE_REFUSED) << "\n";
    return !strict;
}

int IgnCommands::Convert(const QString& in, const QString& out, std::ostream& err)
{
    ParamImage image = StartupImage();
    if (!Open(in, image, err))
        return 2;
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
        return 2;
    out << path.toStdString() << "\n\n" << ShowText(image);
    return 0;
}

std::string IgnCommands::ShowText(const ParamImage& img)
{
    std::string t;
    for (const FieldFact& f : FieldFacts::All())
        if (!ListedAsTable(f))
            t += fieldLine(img, f);
    t += mapTable(img, Fact("ADVANCE"), Fact("RPM_ADV"), Fact("ADV_IAP"));
    t += mapTable(img, Fact("SERVO_MV"), Fact("SERVO_RPM"), Fact("SERVO_IAP"));
    t += cellTable(img, Fact("POWER_OUT1_CELLS"), 0);
    t += cellTable(img, Fact("POWER_OUT2_CELLS"), 1);
    return t;
}
