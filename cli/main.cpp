#include "CliCommand.h"
#include "app/SettingsPaths.h"
#include "lang/LangString.h"

#include <QApplication>
#include <QCoreApplication>

#include <cstdio>
#include <iostream>
#include <memory>

namespace {

constexpr const char* OUTPUT_FAILED = "###cannot write to standard output##Standardausgabe kann nicht geschrieben "
                                      "werden##nelze zapisovat na standardní výstup";

// A script that reads the output must not take a full disk or a closed pipe for a result.
int CheckedExitCode(int code)
{
    std::cout.flush();
    const bool written = std::cout.good() && std::fflush(stdout) == 0 && !std::ferror(stdout);
    if (written)
        return code;
    std::cerr << "vordax4-cli: " << LangText(OUTPUT_FAILED) << "\n";
    return code == CLI_OK ? CLI_FAILED : code;
}

} // namespace

int main(int argc, char* argv[])
{
    std::vector<std::string> args(argv + 1, argv + argc);
    CliIo io { std::cout, std::cerr };
    // Help and the version need neither a display nor a port, nor even Qt's application object.
    if (const std::optional<int> answer = CliAnswerAlone(args, io))
        return CheckedExitCode(*answer);
    std::unique_ptr<QCoreApplication> app;
    if (CliPaints(args)) {
        // Pictures are painted off-screen: a display is neither needed nor used.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    // The math-error log and a developer's trace of the link (VORDAX4_TRACE) as the window writes them.
    SettingsPaths::Chosen(false).OpenLogs();
    return CheckedExitCode(RunCli(args, io));
}
