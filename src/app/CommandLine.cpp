#include "app/CommandLine.h"

#include "base/BuildInfo.h"
#include "lang/LangString.h"

#include <algorithm>
#include <cctype>
#include <iterator>

namespace {

constexpr int EXIT_WRONG_USAGE = 2;

struct FirstWord {
    const char* word;
    int language;
    bool noPatchCheck;
};

constexpr FirstWord FIRST_WORDS[] = {
    { "ENGLISH", LANG_ENGLISH, false },
    { "DEUTSCH", LANG_GERMAN, false },
    { "CESKY", LANG_CZECH, false },
    { "nopatchcheck", -1, true },
};

// The options QApplication takes itself (with one dash or two, and a value either as the next
// argument or after "="); they reach Qt untouched.
struct QtOption {
    const char* name;
    bool takesValue;
};

constexpr QtOption QT_OPTIONS[] = {
    { "platform", true },
    { "platformpluginpath", true },
    { "platformtheme", true },
    { "plugin", true },
    { "qwindowgeometry", true },
    { "qwindowicon", true },
    { "qwindowtitle", true },
    { "session", true },
    { "style", true },
    { "stylesheet", true },
    { "display", true },
    { "geometry", true },
    { "name", true },
    { "title", true },
    { "visual", true },
    { "qmljsdebugger", false },
    { "reverse", false },
    { "widgetcount", false },
    { "nograb", false },
    { "dograb", false },
    { "sync", false },
};

const QtOption* FindQtOption(const std::string& arg)
{
    std::string name = arg.substr(arg.rfind("--", 0) == 0 ? 2 : 1);
    name = name.substr(0, name.find('='));
    const auto found
        = std::find_if(std::begin(QT_OPTIONS), std::end(QT_OPTIONS), [&](const QtOption& o) { return name == o.name; });
    return found == std::end(QT_OPTIONS) ? nullptr : found;
}

// Compares the end of a name without regard to the case of A..Z, as dropped files are compared.
bool EndsWith(const std::string& name, const std::string& suffix)
{
    if (name.size() < suffix.size())
        return false;
    return std::equal(suffix.begin(), suffix.end(), name.end() - static_cast<long>(suffix.size()),
        [](char s, char n) { return s == std::tolower(static_cast<unsigned char>(n)); });
}

void TakeFile(CommandLine& cl, const std::string& arg)
{
    if (EndsWith(arg, ".ignlog")) {
        if (cl.recordingFile.empty())
            cl.recordingFile = arg;
    } else if (EndsWith(arg, ".ign") && cl.paramFile.empty()) {
        cl.paramFile = arg;
    }
}

// Returns false when the argument is no option of the program's own.
bool TakeOwnOption(CommandLine& cl, const std::string& arg)
{
    if (arg == "--demo")
        cl.demo = true;
    else if (arg == "--help" || arg == "-h")
        cl.help = true;
    else if (arg == "--version")
        cl.version = true;
    else
        return false;
    return true;
}

// One row per argument; the first line and the exit codes frame them.
struct UsageRow {
    const char* argument;
    const char* text;
};

constexpr UsageRow USAGE_ROWS[] = {
    { "ENGLISH, DEUTSCH, CESKY",
        "###the language of the window (first argument only)##die Sprache des Fensters (nur als "
        "erstes Argument)##jazyk okna (jen jako první argument)" },
    { "nopatchcheck",
        "###no update check (first argument only)##keine Suche nach Updates (nur als erstes "
        "Argument)##bez kontroly aktualizací (jen jako první argument)" },
    { "FILE.ign",
        "###opens the parameter file, as File > Open does##öffnet die Parameterdatei wie Datei > "
        "Öffnen##otevře soubor parametrů jako Soubor > Otevřít" },
    { "FILE.ignlog",
        "###opens the recording in the monitor player##öffnet die Aufzeichnung im "
        "Monitor-Player##otevře záznam v přehrávači monitoru" },
    { "",
        "###(when the program already runs, its window opens the files)##(läuft das Programm schon, öffnet "
        "sein Fenster die Dateien)##(když program už běží, otevře soubory jeho okno)" },
    { "--demo",
        "###starts a simulated unit inside the program, offered as COM1##startet ein simuliertes Gerät im "
        "Programm, angeboten als COM1##spustí v programu simulovanou jednotku, nabízenou jako COM1" },
    { "-h, --help", "###shows this help##zeigt diese Hilfe##zobrazí tuto nápovědu" },
    { "--version", "###shows the program's version##zeigt die Version des Programms##zobrazí verzi programu" },
};

// How many arguments the option at args[i] takes, itself included.
size_t TakeOption(CommandLine& cl, const std::vector<std::string>& args, size_t i)
{
    const std::string& a = args[i];
    if (TakeOwnOption(cl, a))
        return 1;
    if (const QtOption* qt = FindQtOption(a))
        return qt->takesValue && a.find('=') == std::string::npos ? 2 : 1;
    cl.wrongOptions.push_back(a);
    return 1;
}

} // namespace

CommandLine CommandLine::Parse(const std::vector<std::string>& args)
{
    CommandLine cl;
    size_t i = 0;
    if (!args.empty()) {
        for (const FirstWord& w : FIRST_WORDS)
            if (args.front() == w.word) {
                cl.language = w.language;
                cl.noPatchCheck = w.noPatchCheck;
                i = 1;
            }
    }
    bool optionsEnded = false;
    while (i < args.size()) {
        const std::string& a = args[i];
        if (optionsEnded || a.size() < 2 || a[0] != '-') {
            TakeFile(cl, a);
            ++i;
        } else if (a == "--") {
            optionsEnded = true; // a file whose name starts with "-" may follow
            ++i;
        } else {
            i += TakeOption(cl, args, i);
        }
    }
    return cl;
}

void CommandLine::PrintUsage(std::ostream& os)
{
    os << LangText("###usage##Aufruf##použití") << ": vordax4 [ENGLISH|DEUTSCH|CESKY|nopatchcheck] [FILE.ign] "
       << "[FILE.ignlog] [--demo]\n\n";
    for (const UsageRow& row : USAGE_ROWS) {
        const std::string argument = row.argument;
        os << "  " << argument << std::string(argument.size() < 25 ? 25 - argument.size() : 1, ' ')
           << LangText(row.text) << "\n";
    }
    os << "\n"
       << LangText("###Exit codes: 0 the program ended normally, 2 wrong usage.##Rückgabewerte: 0 das Programm "
                   "endete normal, 2 falscher Aufruf.##Návratové kódy: 0 program skončil normálně, 2 chybné "
                   "použití.")
       << "\n";
}

std::optional<int> CommandLine::AnswerWithoutWindow(std::ostream& out, std::ostream& err) const
{
    if (!wrongOptions.empty()) {
        err << "vordax4: " << LangText("###unknown option##unbekannte Option##neznámá volba") << " '"
            << wrongOptions.front() << "'\n\n";
        PrintUsage(err);
        return EXIT_WRONG_USAGE;
    }
    if (help) {
        PrintUsage(out);
        return 0;
    }
    if (version) {
        out << VersionText("vordax4") << "\n";
        return 0;
    }
    return std::nullopt;
}
