#include "CliCommand.h"
#include "CliMapKind.h"

#include "files/IgnCommands.h"
#include "files/IgnWriter.h"
#include "mapedit/MapModel.h"
#include "model/ParamImage.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

struct EditOption {
    const char* name;
    MapModel::CellEdit edit;
    bool takesValue;
};
const EditOption Edits[] = {
    { "--set", MapModel::EDIT_SET, true },
    { "--add", MapModel::EDIT_ADD, true },
    { "--scale", MapModel::EDIT_SCALE, true },
    { "--smooth", MapModel::EDIT_SMOOTH, false },
};

// A span of rows or columns, numbered from 1 as the table shows them; none given means all.
struct Span {
    int first = 0, last = 0;
    bool given = false;
};

struct MapOptions {
    std::string file, output;
    const CliMapKind* map = nullptr;
    const EditOption* edit = nullptr;
    double value = 0;
    Span rows, columns;
};

bool ParseSpan(const std::string& text, Span& span)
{
    char tail = 0;
    const int n = std::sscanf(text.c_str(), "%d:%d%c", &span.first, &span.last, &tail);
    if (n == 1 && text.find(':') == std::string::npos)
        span.last = span.first;
    else if (n != 2)
        return false;
    span.given = true;
    return span.first >= 1 && span.first <= span.last;
}

bool ParseNumber(const std::string& text, double& value)
{
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && end == text.c_str() + text.size() && std::isfinite(value);
}

const EditOption* FindEdit(const std::string& name)
{
    for (const EditOption& e : Edits)
        if (name == e.name)
            return &e;
    return nullptr;
}

std::string TakeValue(const std::string& option, const std::string& v, MapOptions& o)
{
    if (option == "--map") {
        o.map = CliMapKind::Find(v);
        return o.map ? std::string() : "--map wants advance or servo, not '" + v + "'";
    }
    if (option == "-o")
        o.output = v;
    else if (option == "--rows" && !ParseSpan(v, o.rows))
        return "--rows wants A:B, rows counted from 1 (for example 2:5), not '" + v + "'";
    else if (option == "--cols" && !ParseSpan(v, o.columns))
        return "--cols wants C:D, columns counted from 1 (for example 1:8), not '" + v + "'";
    else if (FindEdit(option) && !ParseNumber(v, o.value))
        return option + " wants a number in the map's unit, not '" + v + "'";
    return {};
}

// Reads the command line; returns the message of the first fault, empty when it is complete.
std::string Parse(const std::vector<std::string>& args, MapOptions& o)
{
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const EditOption* edit = FindEdit(a);
        if (edit) {
            if (o.edit)
                return "give only one of --set, --add, --scale and --smooth";
            o.edit = edit;
        }
        const bool takesValue = edit ? edit->takesValue : a == "--map" || a == "-o" || a == "--rows" || a == "--cols";
        if (takesValue) {
            if (i + 1 >= args.size())
                return a + " wants a value";
            const std::string fault = TakeValue(a, args[++i], o);
            if (!fault.empty())
                return fault;
        } else if (!edit && !a.empty() && a[0] == '-') {
            return "unknown option '" + a + "'";
        } else if (!edit && o.file.empty()) {
            o.file = a;
        } else if (!edit) {
            return "more than one file given";
        }
    }
    if (o.file.empty() || !o.map || o.output.empty() || !o.edit)
        return "FILE.ign, --map, one of --set, --add, --scale and --smooth, and -o are needed";
    return {};
}

// Selects the cells the spans name; the message says which span lies outside the shown table.
std::string Select(MapModel& tab, const MapOptions& o)
{
    const MapSheet& s = tab.Sheet();
    const int columns = s.axisX.Used(), rows = s.axisY.Used();
    const Span c = o.columns.given ? o.columns : Span { 1, columns, false };
    const Span r = o.rows.given ? o.rows : Span { 1, rows, false };
    if (c.last > columns)
        return "the " + std::string(o.map->name) + " map shows " + std::to_string(columns) + " columns, not "
            + std::to_string(c.last);
    if (r.last > rows)
        return "the " + std::string(o.map->name) + " map shows " + std::to_string(rows) + " rows, not "
            + std::to_string(r.last);
    tab.SelectShownCells(c.first - 1, r.first - 1, c.last - 1, r.last - 1);
    return {};
}

} // namespace

int CliMap(const std::vector<std::string>& args, CliIo& io)
{
    MapOptions o;
    std::string fault = Parse(args, o);
    if (!fault.empty()) {
        io.err << "vordax4-cli map: " << fault << "\n";
        return CLI_USAGE;
    }
    ParamImage image;
    if (!IgnCommands::Open(CliPath(o.file), image, io.err))
        return CliBadInput(io);
    MapModel tab;
    o.map->Load(tab, image);
    fault = Select(tab, o);
    if (!fault.empty()) {
        io.err << "vordax4-cli map: " << fault << "\n";
        return CLI_USAGE;
    }
    if (!tab.Sheet().enabled)
        io.err << "vordax4-cli map: note: the " << o.map->name << " map is switched off in this file\n";
    tab.EditSelectedCells(o.edit->edit, o.value);
    o.map->store(tab, image);
    QString error;
    if (!WriteIgnFile(CliPath(o.output), image, IgnUnitInfo {}, &error)) {
        io.err << "vordax4-cli map: cannot write '" << o.output << "': " << error.toStdString() << "\n";
        return CLI_FAILED;
    }
    return CLI_OK;
}
