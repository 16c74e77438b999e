#include "CliCommand.h"

#include "app/FileMenu.h"
#include "app/MainWindow.h"
#include "app/WindowLanguage.h"
#include "lang/LangString.h"
#include "print/PrintCommands.h"
#include "print/PrintHeader.h"

#include <QDate>
#include <QTemporaryDir>

namespace {

struct PrintOptions {
    std::string file;
    std::string out;
    PrintScope scope = PrintScope::ActivePage;
};

bool ParsePrintOptions(const std::vector<std::string>& args, PrintOptions& o, CliIo& io)
{
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--all" || args[i] == "--maps") {
            const PrintScope scope = args[i] == "--all" ? PrintScope::AllPages : PrintScope::Maps;
            if (o.scope != PrintScope::ActivePage && o.scope != scope) {
                io.err << "vordax4-cli print: --all and --maps exclude each other\n";
                return false;
            }
            o.scope = scope;
        } else if (args[i] == "-o" && i + 1 < args.size()) {
            o.out = args[++i];
        } else if (args[i].rfind("-", 0) != 0 && o.file.empty()) {
            o.file = args[i];
        } else {
            io.err << "vordax4-cli print: unexpected '" << args[i] << "'\n";
            return false;
        }
    }
    if (o.file.empty() || o.out.empty()) {
        io.err << "usage: vordax4-cli print FILE.ign -o OUT.pdf [--all | --maps]\n";
        return false;
    }
    return true;
}

} // namespace

int CliPrint(const std::vector<std::string>& args, CliIo& io)
{
    PrintOptions o;
    if (!ParsePrintOptions(args, o, io))
        return CLI_USAGE;

    // A window of its own settings: the user's saved window is neither read nor overwritten.
    QTemporaryDir settings;
    if (!settings.isValid()) {
        io.err << "vordax4-cli print: no temporary folder for the window's settings\n";
        return CLI_FAILED;
    }
    const QByteArray savedSettingsDir = qgetenv("VORDAX4_SETTINGS_DIR");
    qputenv("VORDAX4_SETTINGS_DIR", settings.path().toLocal8Bit());
    const int language = LanguageIndex;
    std::vector<std::string> messages;
    int code = CLI_FAILED;
    {
        MainWindow form({ "nopatchcheck" }, [&messages](const std::string& m) { messages.push_back(m); });
        form.Language().SetLanguage(language);
        const QString file = QString::fromLocal8Bit(o.file.c_str());
        const IgnOpenResult opened = form.Files().OpenParameterFile(PAGE_ALL, file);
        for (const std::string& m : messages)
            io.err << m << "\n";
        if (!opened.accepted()) {
            io.err << "vordax4-cli print: cannot open '" << o.file << "'\n";
            code = CliBadInput(io);
        } else {
            QString error;
            const QString header = PrintHeader(file, QString(), QDate::currentDate());
            if (PrintCommands::WritePdf(form, QString::fromLocal8Bit(o.out.c_str()), o.scope, header, &error))
                code = CLI_OK;
            else
                io.err << "vordax4-cli print: " << error.toStdString() << "\n";
        }
    }
    if (savedSettingsDir.isNull())
        qunsetenv("VORDAX4_SETTINGS_DIR");
    else
        qputenv("VORDAX4_SETTINGS_DIR", savedSettingsDir);
    return code;
}
