#include "CliCommand.h"

#include <QApplication>
#include <QCoreApplication>

#include <iostream>
#include <memory>

int main(int argc, char* argv[])
{
    std::vector<std::string> args(argv + 1, argv + argc);
    std::unique_ptr<QCoreApplication> app;
    if (CliPaints(args)) {
        // Pictures are painted off-screen: a display is neither needed nor used.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    CliIo io { std::cout, std::cerr };
    const int code = RunCli(args, io);
    std::cout.flush();
    return code;
}
