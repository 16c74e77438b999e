#include "CliCommand.h"

#include "base/PngFile.h"
#include "files/IgnCommands.h"
#include "mapedit/MapEditTypes.h"
#include "mapedit/ui/MapPicture.h"

#include <QImage>
#include <QString>

#include <cstdio>

namespace {

struct RenderOptions {
    std::string file;
    std::string map;
    std::string view = "table";
    std::string output;
    std::string reference;
    QSize size;
    View3DState look;
    bool lookGiven = false;
    bool heat = false;
};

// The views by their command-line names.
struct ViewName {
    const char* name;
    int view;
};
constexpr ViewName Views[] = { { "table", VIEW_TABLE }, { "2d", VIEW_2D }, { "3d", VIEW_3D } };

int ViewOf(const std::string& name)
{
    for (const ViewName& v : Views)
        if (name == v.name)
            return v.view;
    return VIEW_NONE;
}

bool ParseSize(const std::string& text, QSize& size)
{
    int w = 0, h = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%dx%d%c", &w, &h, &tail) != 2 || w < 50 || h < 30 || w > 8000 || h > 8000)
        return false;
    size = QSize(w, h);
    return true;
}

// Angles in degrees as the 3D panel shows them, each a multiple of 5.
bool ParseAngles(const std::string& text, View3DState& look)
{
    int a[3] = { 0, 0, 0 };
    char tail = 0;
    if (std::sscanf(text.c_str(), "%d,%d,%d%c", &a[0], &a[1], &a[2], &tail) != 3)
        return false;
    for (int v : a)
        if (v % View3DState::STEP_DEGREES != 0 || v < -3600 || v > 3600)
            return false;
    look.Set({ a[0] / View3DState::STEP_DEGREES, a[1] / View3DState::STEP_DEGREES, a[2] / View3DState::STEP_DEGREES });
    return true;
}

bool ParseSurface(const std::string& text, View3DState& look)
{
    int mode = -1;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%d%c", &mode, &tail) != 1 || mode < View3DState::WIRE
        || mode > View3DState::MAX_SURFACE_MODE)
        return false;
    look.surfaceMode = mode;
    return true;
}

// Reads the command line; returns the message of the first fault, empty when it is complete.
std::string Parse(const std::vector<std::string>& args, RenderOptions& o)
{
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--map" || a == "--view" || a == "--size" || a == "-o" || a == "--angles" || a == "--surface"
            || a == "--reference") {
            if (!hasValue)
                return a + " wants a value";
            const std::string& v = args[++i];
            if (a == "--map")
                o.map = v;
            else if (a == "--view")
                o.view = v;
            else if (a == "-o")
                o.output = v;
            else if (a == "--reference")
                o.reference = v;
            else if (a == "--angles" && !ParseAngles(v, o.look))
                return "--angles wants X,XY,XYZ in degrees, each a multiple of 5 (for example -25,120,0), not '" + v
                    + "'";
            else if (a == "--surface" && !ParseSurface(v, o.look))
                return "--surface wants 0 (wire model), 1 (one colour) or 2..5 (height colours, grain 0..3), not '" + v
                    + "'";
            else if (a == "--size" && !ParseSize(v, o.size))
                return "--size wants WIDTHxHEIGHT (50x30 to 8000x8000), not '" + v + "'";
            o.lookGiven = o.lookGiven || a == "--angles" || a == "--surface";
        } else if (a == "--heat") {
            o.heat = true;
        } else if (!a.empty() && a[0] == '-') {
            return "unknown option '" + a + "'";
        } else if (o.file.empty()) {
            o.file = a;
        } else {
            return "more than one file given";
        }
    }
    if (o.file.empty() || o.map.empty() || o.output.empty())
        return "FILE.ign, --map and -o are needed";
    if (!MapPicture::Find(o.map))
        return "unknown map '" + o.map + "' (vordax4-cli help render lists them)";
    if (ViewOf(o.view) == VIEW_NONE)
        return "--view wants table, 2d or 3d, not '" + o.view + "'";
    if (o.lookGiven && ViewOf(o.view) != VIEW_3D)
        return "--angles and --surface belong to --view 3d";
    if (o.heat && ViewOf(o.view) != VIEW_TABLE)
        return "--heat belongs to --view table";
    return {};
}

} // namespace

bool CliParseSize(const std::string& text, QSize& size)
{
    return ParseSize(text, size);
}

bool CliPaints(const std::vector<std::string>& args)
{
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--lang") {
            ++i;
            continue;
        }
        return args[i] == "render" || args[i] == "print" || args[i] == "log-plot";
    }
    return false;
}

int CliRender(const std::vector<std::string>& args, CliIo& io)
{
    RenderOptions o;
    const std::string fault = Parse(args, o);
    if (!fault.empty()) {
        io.err << "vordax4-cli render: " << fault << "\n";
        return CLI_USAGE;
    }
    ParamImage image, reference;
    if (!IgnCommands::Open(CliPath(o.file), image, io.err))
        return CliBadInput(io);
    const bool compared = !o.reference.empty();
    if (compared && !IgnCommands::Open(CliPath(o.reference), reference, io.err))
        return CliBadInput(io);
    // The 3D view of a comparison is the difference surface.
    o.look.difference = compared;
    std::string error;
    const QImage picture = MapPicture::Paint(*MapPicture::Find(o.map), image, o.size, ViewOf(o.view), error, o.look,
        o.heat, compared ? &reference : nullptr);
    if (picture.isNull()) {
        io.err << "vordax4-cli render: " << error << "\n";
        return CLI_FAILED;
    }
    QString reason;
    if (!SavePng(picture, CliPath(o.output), &reason)) {
        io.err << "vordax4-cli render: cannot write '" << o.output << "': " << reason.toStdString() << "\n";
        return CLI_FAILED;
    }
    io.out << o.output << ": " << picture.width() << " x " << picture.height() << "\n";
    return CLI_OK;
}
