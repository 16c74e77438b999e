#include "CliCommand.h"

#include "lang/LangString.h"

#include <QFile>

#include <algorithm>
#include <iterator>

namespace {

// --lang en|de|cs anywhere on the line chooses the language of the program's texts for every command.
bool TakeLanguageOption(std::vector<std::string>& args, CliIo& io)
{
    static const char* const codes[LANG_COUNT] = { "en", "de", "cs" };
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] != "--lang")
            continue;
        const std::string value = i + 1 < args.size() ? args[i + 1] : std::string();
        const auto code = std::find(std::begin(codes), std::end(codes), value);
        if (code == std::end(codes)) {
            io.err << "vordax4-cli: --lang wants en, de or cs, not '" << value << "'\n";
            return false;
        }
        LanguageIndex = static_cast<int>(code - std::begin(codes));
        args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
        --i;
    }
    return true;
}

constexpr const char* NAME_NOT_CARRIED = "###the platform's file-name encoding cannot carry this argument, so no "
                                         "file of this name can be opened or written##die Dateinamenkodierung des "
                                         "Systems kann dieses Argument nicht darstellen; eine Datei dieses Namens "
                                         "kann weder geöffnet noch geschrieben werden##kódování názvů souborů "
                                         "systému tento argument neumí vyjádřit, soubor tohoto jména nelze otevřít "
                                         "ani zapsat";

// An argument that does not survive the decoding (a byte that is not valid UTF-8 on Linux) would
// open or write a file of another name, so it is refused.
bool CarriedByFileNames(const std::string& arg)
{
    return QFile::encodeName(CliPath(arg)) == QByteArray::fromStdString(arg);
}

const CliCommand* FindCommand(const std::string& name)
{
    for (const CliCommand& c : CliCommands())
        if (name == c.name)
            return &c;
    return nullptr;
}

void PrintUsage(const CliCommand& c, std::ostream& os)
{
    os << "usage: vordax4-cli " << c.name << (*c.usage ? " " : "") << c.usage << "\n";
}

// The options several commands share, explained once after the list of commands.
constexpr const char* SHARED_OPTIONS
    = "\noptions:\n"
      "  --each  (read, verify, program) works with the units on all the --port ports at once (every present port\n"
      "          without --port); prints one line per port: COM<n>, device, unit name, serial number, OK or FAILED\n"
      "          and the result, each as its port ends, then a summary line; exits 0 only when every port succeeded\n"
      "  --json  (diff, verify, show, identify, and --each) prints the same content as one JSON document\n";

} // namespace

const std::vector<CliCommand>& CliCommands()
{
    static const std::vector<CliCommand> commands = {
        { "help", "[COMMAND]", "lists the commands, or shows how to use one", CliHelp },
        { "crate", "HOST [\"COMMAND LINE\" ...]",
            "runs archive command lines (OPEN, CLEAR, SAVE, IMPORT, EXPORT, SET, MKDIR, DELETE, RENAME) "
            "against the archive attached to HOST; without command lines lists its entries",
            CliCrate },
        { "ports", "[--port N[=DEVICE]]...", "lists the present serial ports with their COM numbers and devices",
            CliPorts },
        { "identify", "[--json] [--port N[=DEVICE]]... [--timeout SECONDS] [--protocol NAME [--baud N]]",
            "searches for the unit as the program does and prints its port, name, protocol and frame limits "
            "(exit 1 when none answers within the time-out, 10 s by default); --json prints them as JSON; "
            "--protocol NAME (WCOM, WCOMS, IGN50, IGN100, IGN150, IGN300) tries only that protocol on each port, "
            "at its rate in the search order or at --baud N",
            CliIdentify },
        { "read",
            "-o FILE.ign | -o FOLDER --each [--json] [--port N[=DEVICE]]... [--timeout SECONDS] [--protocol NAME "
            "[--baud N]]",
            "connects to the unit, reads its configuration twice and writes it to FILE.ign; with --each reads the "
            "unit on every port at once into FOLDER/COM<n>-<serial number>.ign",
            CliRead },
        { "verify",
            "FILE.ign [--each] [--json] [--port N[=DEVICE]]... [--timeout SECONDS] [--protocol NAME [--baud N]]",
            "compares the unit's configuration with the settings of FILE.ign; when they differ (exit 1) lists every "
            "setting and map cell that differs; --json prints the result and the list as JSON; --each: every port at "
            "once",
            CliVerify },
        { "program",
            "FILE.ign [--changed-only] [--strict] [--each [--json]] [--port N[=DEVICE]]... [--timeout SECONDS] "
            "[--protocol NAME [--baud N]]",
            "programs the settings of FILE.ign into the unit, reads them back and waits until the unit has stored "
            "them; --changed-only writes only the bytes that differ from what the unit holds; --strict refuses a "
            "file that lacks settings (otherwise they take the bike's defaults, with a warning); --each: every port "
            "at once",
            CliProgram },
        { "reset", "[--port N[=DEVICE]]... [--timeout SECONDS] [--protocol NAME [--baud N]]",
            "sends the reset command to the unit", CliReset },
        { "monitor",
            "[--seconds N] [--record FILE.ignlog] [--csv] [--port N[=DEVICE]]... [--timeout SECONDS] [--protocol NAME "
            "[--baud N]]",
            "shows the unit's live monitor data for N seconds (until Ctrl+C without --seconds), as CSV rows with "
            "--csv, and records it to FILE.ignlog",
            CliMonitor },
        { "log-export", "FILE.ignlog",
            "prints the monitor records of a recording as CSV: time in seconds and every monitor field in user units",
            CliLogExport },
        { "log-plot", "FILE.ignlog -o OUT.png [--traces rpm,tp,adv1,...] [--size WxH]",
            "paints the monitor records of a recording over time as the log viewer shows them and writes the "
            "picture as PNG; --traces picks the traces (rpm, load (or tp, iap), adv1..adv4, supply, limiter, "
            "startlimiter, kill, quickshift, retard, blocking, pout1, pout2; by default rpm, load, adv1 and "
            "supply); the size is 1200x800 unless --size says otherwise",
            CliLogPlot },
        { "convert", "IN.ign OUT.ign",
            "opens a parameter file of any accepted version and writes it as a current version-93 file", CliConvert },
        { "show", "FILE.ign [--json]",
            "opens a parameter file and prints its settings; --json prints every field and map as JSON", CliShow },
        { "diff", "A.ign B.ign [--json]",
            "lists every setting and map cell that differs between two parameter files, named as the window names "
            "them, with the value in A and in B (exit 0 when equal, 1 when different, 2 on an error); --json prints "
            "the list as JSON",
            CliDiff },
        { "render",
            "FILE.ign --map advance|servo|tp|iap|power1|power2 [--view table|2d|3d] [--angles X,XY,XYZ] "
            "[--surface 0..5] [--size WxH] -o OUT.png",
            "paints one map editor of a parameter file as the window shows it (the table by default, the 2D graph "
            "or the 3D graph) and writes it as a PNG picture; without --size the editor has the size it has on its "
            "page. The 3D graph starts in the ISO2 view (-25,120,0 degrees) with height colours of grain 2 "
            "(--surface 4); --surface 0 is the wire model, 1 one colour, 2..5 height colours of grain 0..3",
            CliRender },
        { "print", "FILE.ign -o OUT.pdf [--all]",
            "opens a parameter file in a window off the screen and writes its printout as a PDF file: the active "
            "page, or with --all every settings page shown as a tab, one page each",
            CliPrint },
    };
    return commands;
}

int CliHelp(const std::vector<std::string>& args, CliIo& io)
{
    if (!args.empty()) {
        const CliCommand* c = FindCommand(args[0]);
        if (!c) {
            io.err << "vordax4-cli: unknown command '" << args[0] << "'\n";
            return CLI_USAGE;
        }
        PrintUsage(*c, io.out);
        io.out << "  " << c->summary << "\n";
        return CLI_OK;
    }
    io.out << "usage: vordax4-cli [--lang en|de|cs] <command> args...\n\ncommands:\n";
    for (const CliCommand& c : CliCommands())
        io.out << "  " << c.name << " " << c.usage << "\n      " << c.summary << "\n";
    io.out << SHARED_OPTIONS;
    return CLI_OK;
}

QString CliPath(const std::string& arg) { return QFile::decodeName(QByteArray::fromStdString(arg)); }

int RunCli(const std::vector<std::string>& commandLine, CliIo& io)
{
    std::vector<std::string> args = commandLine;
    if (!TakeLanguageOption(args, io))
        return CLI_USAGE;
    for (const std::string& arg : args)
        if (!CarriedByFileNames(arg)) {
            io.err << "vordax4-cli: '" << arg << "': " << LangText(NAME_NOT_CARRIED) << "\n";
            return CLI_FAILED;
        }
    if (args.empty()) {
        io.err << "usage: vordax4-cli <command> args...  (vordax4-cli help lists the commands)\n";
        return CLI_USAGE;
    }
    const CliCommand* c = FindCommand(args[0]);
    if (!c) {
        io.err << "vordax4-cli: unknown command '" << args[0] << "' (vordax4-cli help lists the commands)\n";
        return CLI_USAGE;
    }
    return c->handler(std::vector<std::string>(args.begin() + 1, args.end()), io);
}
