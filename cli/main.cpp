#include "CliCommand.h"

#include <QCoreApplication>

#include <iostream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    std::vector<std::string> args(argv + 1, argv + argc);
    CliIo io { std::cout, std::cerr };
    const int code = RunCli(args, io);
    std::cout.flush();
    return code;
}
