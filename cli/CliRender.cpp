#include "CliCommand.h"

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
    QSize size;
};

bool ParseSize(const std::string& text, QSize& size)
{
    int w = 0, h = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%dx%d%c", &w, &h, &tail) != 2 || w < 50 || h < 30 || w > 8000 || h > 8000)
        return false;
    size = QSize(w, h);
    return true;
}

// Reads the command line; returns the message of the first fault, empty when it is complete.
std::string Parse(const std::vector<std::string>& args, RenderOptions& o)
{
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--map" || a == "--view" || a == "--size" || a == "-o") {
            if (!hasValue)
                return a + " wants a value";
            const std::string& v = args[++i];
            if (a == "--map")
                o.map = v;
            else if (a == "--view")
                o.view = v;
            else if (a == "-o")
                o.output = v;
            else if (!ParseSize(v, o.size))
                return "--size wants WIDTHxHEIGHT (50x30 to 8000x8000), not '" + v + "'";
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
    if (o.view != "table" && o.view != "2d")
        return "--view wants table or 2d, not '" + o.view + "'";
    return {};
}

} // namespace

bool CliPaints(const std::vector<std::string>& args)
{
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--lang") {
            ++i;
            continue;
        }
        return args[i] == "render";
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
    ParamImage image;
    if (!IgnCommands::Open(QString::fromStdString(o.file), image, io.err))
        return CLI_FAILED;
    std::string error;
    const QImage picture
        = MapPicture::Paint(*MapPicture::Find(o.map), image, o.size, o.view == "2d" ? VIEW_2D : VIEW_TABLE, error);
    if (picture.isNull()) {
        io.err << "vordax4-cli render: " << error << "\n";
        return CLI_FAILED;
    }
    if (!picture.save(QString::fromStdString(o.output), "PNG")) {
        io.err << "vordax4-cli render: cannot write '" << o.output << "'\n";
        return CLI_FAILED;
    }
    io.out << o.output << ": " << picture.width() << " x " << picture.height() << "\n";
    return CLI_OK;
}
