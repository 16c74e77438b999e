#include "CliCommand.h"

#include "base/BuildInfo.h"
#include "lang/LangString.h"
#include "link/ProtocolTable.h"

#include <QFile>

#include <algorithm>
#include <iterator>
#include <optional>
#include <streambuf>

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

// Passes everything on to the real stream and notes whether a usage line went through, so that a
// command refusing its arguments without showing how to use it gets its usage added.
class UsageNoting : public std::streambuf {
public:
    explicit UsageNoting(std::ostream& target)
        : target_(target)
    {
    }
    bool usageSeen() const { return usageSeen_; }

protected:
    int overflow(int c) override
    {
        if (c == traits_type::eof())
            return traits_type::not_eof(c);
        const char ch = static_cast<char>(c);
        target_.put(ch);
        Note(ch);
        return c;
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override
    {
        target_.write(s, n);
        for (std::streamsize i = 0; i < n; ++i)
            Note(s[i]);
        return n;
    }
    int sync() override
    {
        target_.flush();
        return 0;
    }

private:
    void Note(char c)
    {
        static const std::string word = "usage:";
        if (c == '\n') {
            lineStart_.clear();
        } else if (lineStart_.size() < word.size()) {
            lineStart_ += c;
            usageSeen_ = usageSeen_ || lineStart_ == word;
        }
    }

    std::ostream& target_;
    std::string lineStart_;
    bool usageSeen_ = false;
};

bool IsHelpOption(const std::string& arg) { return arg == "--help" || arg == "-h"; }

// The command line without "--lang CODE", which does not change what help and version print.
std::vector<std::string> WithoutLanguage(const std::vector<std::string>& args)
{
    std::vector<std::string> rest;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--lang")
            ++i;
        else
            rest.push_back(args[i]);
    }
    return rest;
}

// The options several commands share, explained once after the list of commands.
constexpr const char* SHARED_OPTIONS
    = "\noptions:\n"
      "  --each  (read, verify, program) works with the units on all the --port ports at once (every present port\n"
      "          without --port); prints one line per port: COM<n>, device, unit name, serial number, OK or FAILED\n"
      "          and the result, each as its port ends, then a summary line; exits 0 only when every port succeeded\n"
      "  --port N, --port N=DEVICE, --port DEVICE  only COM N, COM N as that device, or the COM number of a device\n"
      "          named by its path or /dev/serial/by-id link; a port that cannot be opened ends the search at once\n"
      "  --json  (diff, verify, show, identify, and --each) prints the same content as one JSON document\n"
      "  --no-history, --history FILE|URL  (read, verify, program, history) leave the event out of the unit\n"
      "          history, or keep it in FILE instead of the data folder's history.sqlite, or on the PostgreSQL\n"
      "          server URL (postgresql://USER@HOST:PORT/DB?sslmode=…; also VORDAX4_HISTORY_URL; the password\n"
      "          comes from ~/.pgpass or PGPASSWORD); events wait in the bench's outbox while the server is away\n"
      "  --lang en|de|cs  the language of the messages\n"
      "  -h, --help  after a command: shows how to use that command\n";

// Scripts rely on these; the manual page lists them too.
constexpr const char* EXIT_CODES
    = "\nresults go to standard output, messages and errors to standard error.\n"
      "\nexit codes:\n"
      "  0  success (diff: the files are equal)\n"
      "  1  a negative result: the files or the unit differ, no unit answers, a transfer, a check or a\n"
      "     write failed\n"
      "  2  wrong usage (an unknown command or option, a missing or malformed argument; the usage\n"
      "     follows the message) or an input file that cannot be read or is refused\n"
      "  128+N  program: a second signal N abandoned a Program under way (a first signal lets it\n"
      "     finish and the command then ends with its own code)\n";

} // namespace

const std::vector<CliCommand>& CliCommands()
{
    static const std::string identifySummary
        = "searches for the unit as the program does and prints its port, name, protocol and frame limits "
          "(exit 1 when none answers within the time-out, 10 s by default); --json prints them as JSON; "
          "--protocol NAME ("
        + ProtocolNames(", ")
        + ") tries only that protocol on each port, at its rate in the search order or at --baud N";
    static const std::vector<CliCommand> commands = {
        { "help", "[COMMAND]", "lists the commands, or shows how to use one", CliHelp },
        { "crate", "HOST [\"COMMAND LINE\" ...]",
            "runs archive command lines (OPEN, CLEAR, SAVE, IMPORT, EXPORT, SET, MKDIR, DELETE, RENAME) "
            "against the archive attached to HOST; without command lines lists its entries",
            CliArchive },
        { "ports", "[--port N[=DEVICE]]...", "lists the present serial ports: COM number, device, description, maker, serial number, and why a "
            "port cannot be opened",
            CliPorts },
        { "identify", "[--json] [--port N[=DEVICE]]... [--timeout SECONDS] [--protocol NAME [--baud N]]",
            identifySummary.c_str(), CliIdentify },
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
        { "history",
            "[--unit SERIAL] [--json] | --export SERIAL --event N -o FILE.ign | --forget SERIAL | --sync "
            "[--history FILE|URL]",
            "lists the units met with their serial numbers (a unit without one by its number), with --unit one unit's "
            "events, newest first; --export writes the configuration an event left as a parameter file; --forget "
            "removes a unit and its events; --sync sends the events waiting for the history server now (exit 1 while "
            "it is away). read, verify and program record their events in this history (the data folder's "
            "history.sqlite, FILE of --history, or the server of --history URL or VORDAX4_HISTORY_URL, with the "
            "bench of every event) unless --no-history is given",
            CliHistoryCommand },
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
        { "hits", "REC.ignlog --map advance|servo [--json] [--settings FILE.ign]",
            "prints where the engine ran during a recording: each cell's share of the engine's running time, in "
            "percent, weighted by the records' time stamps (records with the engine stopped left out); the map's "
            "axes come from the configuration the recording began with, or from FILE.ign when --settings gives "
            "one; --json adds the record count of every cell",
            CliHits },
        { "convert", "IN.ign OUT.ign",
            "opens a parameter file of any accepted version and writes it as a current version-93 file", CliConvert },
        { "show", "FILE.ign [--json]",
            "opens a parameter file and prints its settings; --json prints every field and map as JSON", CliShow },
        { "diff", "A.ign B.ign [--json]",
            "lists every setting and map cell that differs between two parameter files, named as the window names "
            "them, with the value in A and in B (exit 0 when equal, 1 when different, 2 on an error); --json prints "
            "the list as JSON",
            CliDiff },
        { "map",
            "FILE.ign --map advance|servo [--rows A:B] [--cols C:D] (--set V | --add V | --scale P | --smooth) -o "
            "OUT.ign",
            "edits cells of a map as the map editor does and writes the file as OUT.ign: --set sets them to V, --add "
            "adds V (both in the map's unit, degrees or volts or percent), --scale takes P percent of each value (110 "
            "is ten percent more), --smooth sets each cell to the mean of its neighbours inside the span, the "
            "span's edges kept. Rows and columns are counted from 1 as the table shows them, A:B or a single "
            "number; without them the whole shown table. Results are rounded to the map's step and held in its range",
            CliMap },
        { "render",
            "FILE.ign --map advance|servo|tp|iap|power1|power2 [--view table|2d|3d] [--angles X,XY,XYZ] "
            "[--surface 0..5] [--heat] [--reference OTHER.ign] [--size WxH] -o OUT.png",
            "paints one map editor of a parameter file as the window shows it (the table by default, the 2D graph "
            "or the 3D graph) and writes it as a PNG picture; without --size the editor has the size it has on its "
            "page. The 3D graph starts in the ISO2 view (-25,120,0 degrees) with height colours of grain 2 "
            "(--surface 4); --surface 0 is the wire model, 1 one colour, 2..5 height colours of grain 0..3; --heat "
            "colours the table's cells by value on the 3D graph's palette. --reference compares with a second "
            "parameter file as File > Open reference does: the 2D graph draws its curves dashed, the table marks the "
            "cells that differ, the 3D graph shows the difference surface (map - reference)",
            CliRender },
        { "print", "FILE.ign -o OUT.pdf [--all | --maps]",
            "opens a parameter file in a window off the screen and writes its printout as a PDF file: the active "
            "page, or with --all every settings page shown as a tab, one page each, and the maps; --maps prints "
            "only the maps in use, each as a table of its values with its axes and units, on A4 portrait",
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
    io.out << "usage: vordax4-cli [--lang en|de|cs] <command> args...\n"
              "       vordax4-cli <command> --help\n"
              "       vordax4-cli --help | --version\n\ncommands:\n";
    for (const CliCommand& c : CliCommands())
        io.out << "  " << c.name << " " << c.usage << "\n      " << c.summary << "\n";
    io.out << SHARED_OPTIONS << EXIT_CODES;
    return CLI_OK;
}

std::optional<int> CliAnswerAlone(const std::vector<std::string>& commandLine, CliIo& io)
{
    const std::vector<std::string> args = WithoutLanguage(commandLine);
    if (args.empty())
        return std::nullopt;
    if (IsHelpOption(args[0]))
        return CliHelp({}, io);
    if (args[0] == "--version") {
        io.out << VersionText("vordax4-cli") << "\n";
        return CLI_OK;
    }
    if (FindCommand(args[0]) && std::any_of(args.begin() + 1, args.end(), IsHelpOption))
        return CliHelp({ args[0] }, io);
    return std::nullopt;
}

int CliBadInput(CliIo& io, int code)
{
    if (code == CLI_USAGE)
        io.inputRefused = true;
    return code;
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
    if (const std::optional<int> answer = CliAnswerAlone(args, io))
        return *answer;
    if (args.empty()) {
        io.err << "usage: vordax4-cli <command> args...  (vordax4-cli help lists the commands)\n";
        return CLI_USAGE;
    }
    const CliCommand* c = FindCommand(args[0]);
    if (!c) {
        io.err << "vordax4-cli: unknown command '" << args[0] << "' (vordax4-cli help lists the commands)\n";
        return CLI_USAGE;
    }
    UsageNoting noting(io.err);
    std::ostream err(&noting);
    CliIo commandIo { io.out, err };
    const int code = c->handler(std::vector<std::string>(args.begin() + 1, args.end()), commandIo);
    err.flush();
    if (code == CLI_USAGE && !noting.usageSeen() && !commandIo.inputRefused)
        PrintUsage(*c, io.err);
    return code;
}
