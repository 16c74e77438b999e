#include "CliCommand.h"
#include "CliJson.h"
#include "CliMapKind.h"

#include "files/IgnCommands.h"
#include "lang/LangString.h"
#include "mapedit/FormatAxisValue.h"
#include "mapedit/MapHits.h"
#include "mapedit/MapModel.h"
#include "model/ImageValidation.h"
#include "monitor/IgnlogFile.h"

#include <QJsonArray>
#include <QJsonObject>

#include <algorithm>
#include <cstdio>

namespace {

struct HitsOptions {
    std::string file, settings;
    const CliMapKind* map = nullptr;
};

std::string Parse(const std::vector<std::string>& args, HitsOptions& o)
{
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--map" || a == "--settings") {
            if (i + 1 >= args.size())
                return a + " wants a value";
            const std::string& v = args[++i];
            if (a == "--settings")
                o.settings = v;
            else if (!(o.map = CliMapKind::Find(v)))
                return "--map wants advance or servo, not '" + v + "'";
        } else if (!a.empty() && a[0] == '-') {
            return "unknown option '" + a + "'";
        } else if (o.file.empty()) {
            o.file = a;
        } else {
            return "more than one recording given";
        }
    }
    if (o.file.empty() || !o.map)
        return "REC.ignlog and --map are needed";
    return {};
}

// The configuration the recording began with: the image of its first image record.
bool RecordedImage(const IgnlogFile& log, ParamImage& image)
{
    for (int i = 0; i < log.totalCount(); ++i)
        if (log.recordType(i) == ignlog::REC_IMAGE) {
            std::copy_n(log.record(i) + ignlog::R_PAYLOAD, RS_LEN_EXE, image.data());
            ValidateImage(image);
            return true;
        }
    return false;
}

// The entries an axis shows, as the table shows them: one while it is switched off.
std::vector<int> ShownEntries(const MapAxis& axis)
{
    std::vector<int> entries;
    for (int i = 0; i < axis.Used(); ++i)
        entries.push_back(axis.EntryAt(i));
    return entries;
}

std::string AxisTitle(const MapAxis& axis)
{
    return *axis.unit ? std::string(axis.name) + " [" + axis.unit + "]" : std::string(axis.name);
}

// The label of an axis entry; a switched-off axis has one line for every speed (load): "all".
std::string EntryLabel(const MapAxis& axis, int entry)
{
    return axis.off ? std::string("all") : FormatAxisValue(axis.values[entry], axis.scale, "", false);
}

std::string Fixed(double value, int decimals)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

void PrintTable(const MapSheet& s, const MapHits& hits, const CliMapKind& map, std::ostream& out)
{
    out << map.name << " map: share of the engine's running time per cell, in percent\n";
    if (hits.TimeWeighted())
        out << "running time " << Fixed(hits.RunningSeconds(), 1) << " s in " << hits.PlacedRecords()
            << " records, weighted by their time stamps";
    else
        out << hits.PlacedRecords() << " records with the engine running, weighted by count";
    out << "; left out: " << hits.StoppedRecords() << " with the engine stopped";
    if (hits.UnplacedRecords())
        out << ", " << hits.UnplacedRecords() << " whose load the map's load axis does not measure";
    out << "\n";
    const std::vector<int> columns = ShownEntries(s.axisX), rows = ShownEntries(s.axisY);
    const std::string corner = AxisTitle(s.axisY) + " \\ " + AxisTitle(s.axisX);
    size_t width = 7;
    for (int c : columns)
        width = std::max(width, EntryLabel(s.axisX, c).size() + 1);
    auto cell = [&](const std::string& text, size_t w) {
        out << std::string(w > text.size() ? w - text.size() : 0, ' ') << text;
    };
    cell(corner, corner.size());
    for (int c : columns)
        cell(EntryLabel(s.axisX, c), width);
    out << "\n";
    for (int r : rows) {
        cell(EntryLabel(s.axisY, r), corner.size());
        for (int c : columns)
            cell(Fixed(100.0 * hits.Share(c, r), 1), width);
        out << "\n";
    }
}

QJsonObject AxisJson(const MapAxis& axis)
{
    QJsonArray values;
    for (int e : ShownEntries(axis))
        values.append(axis.values[e] * axis.scale);
    return { { "name", axis.name }, { "unit", axis.unit }, { "off", axis.off != 0 }, { "values", values } };
}

void PrintJson(const MapSheet& s, const MapHits& hits, const CliMapKind& map, std::ostream& out)
{
    QJsonArray shares, counts;
    for (int r : ShownEntries(s.axisY)) {
        QJsonArray shareRow, countRow;
        for (int c : ShownEntries(s.axisX)) {
            shareRow.append(hits.Share(c, r));
            countRow.append(hits.Records(c, r));
        }
        shares.append(shareRow);
        counts.append(countRow);
    }
    const QJsonObject records { { "running", hits.PlacedRecords() }, { "stopped", hits.StoppedRecords() },
        { "loadNotMeasured", hits.UnplacedRecords() } };
    CliJson::Print(
        { { "map", map.name }, { "weighting", hits.TimeWeighted() ? "time" : "count" },
            { "runningSeconds", hits.RunningSeconds() }, { "records", records }, { "columns", AxisJson(s.axisX) },
            { "rows", AxisJson(s.axisY) }, { "shares", shares }, { "counts", counts } },
        out);
}

} // namespace

int CliHits(const std::vector<std::string>& arguments, CliIo& io)
{
    std::vector<std::string> args = arguments;
    const bool json = CliJson::TakeOption(args);
    HitsOptions o;
    const std::string fault = Parse(args, o);
    if (!fault.empty()) {
        io.err << "vordax4-cli hits: " << fault << "\n";
        return CLI_USAGE;
    }
    IgnlogFile log;
    if (const std::string error = log.Load(o.file); !error.empty()) {
        io.err << "vordax4-cli hits: " << o.file << ": " << LangText(error) << "\n";
        return CliBadInput(io);
    }
    // Settings given on the command line are the user's choice; otherwise the recording's own.
    ParamImage image;
    if (!o.settings.empty()) {
        if (!IgnCommands::Open(CliPath(o.settings), image, io.err))
            return CliBadInput(io);
    } else if (!RecordedImage(log, image)) {
        io.err << "vordax4-cli hits: " << o.file
               << " holds no configuration to take the map's axes from; give one with --settings FILE.ign\n";
        return CliBadInput(io);
    }
    MapModel tab;
    o.map->Load(tab, image);
    const MapHits hits = MapHits::Count(log, tab.Sheet());
    if (json)
        PrintJson(tab.Sheet(), hits, *o.map, io.out);
    else
        PrintTable(tab.Sheet(), hits, *o.map, io.out);
    return CLI_OK;
}
