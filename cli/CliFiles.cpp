#include "CliCommand.h"

#include "files/IgnCommands.h"

#include <QString>

int CliConvert(const std::vector<std::string>& args, CliIo& io)
{
    if (args.size() != 2) {
        io.err << "usage: vordax4-cli convert IN.ign OUT.ign\n";
        return CLI_USAGE;
    }
    return IgnCommands::Convert(QString::fromStdString(args[0]), QString::fromStdString(args[1]), io.err);
}

int CliShow(const std::vector<std::string>& args, CliIo& io)
{
    if (args.size() != 1) {
        io.err << "usage: vordax4-cli show FILE.ign\n";
        return CLI_USAGE;
    }
    return IgnCommands::Show(QString::fromStdString(args[0]), io.out, io.err);
}
