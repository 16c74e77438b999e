#include "CliCommand.h"

#include "CliJson.h"
#include "files/IgnCommands.h"
#include "model/ImageDefaults.h"

#include <QString>

int CliConvert(const std::vector<std::string>& args, CliIo& io)
{
    if (args.size() != 2) {
        io.err << "usage: vordax4-cli convert IN.ign OUT.ign\n";
        return CLI_USAGE;
    }
    return CliBadInput(io, IgnCommands::Convert(CliPath(args[0]), CliPath(args[1]), io.err));
}

int CliShow(const std::vector<std::string>& args, CliIo& io)
{
    std::vector<std::string> files = args;
    const bool json = CliJson::TakeOption(files);
    if (files.size() != 1) {
        io.err << "usage: vordax4-cli show FILE.ign [--json]\n";
        return CLI_USAGE;
    }
    const QString path = CliPath(files[0]);
    if (!json)
        return CliBadInput(io, IgnCommands::Show(path, io.out, io.err));
    ParamImage image = StartupImage();
    if (!IgnCommands::Open(path, image, io.err))
        return CliBadInput(io);
    QJsonObject document = CliJson::Settings(image);
    document["file"] = path;
    CliJson::Print(document, io.out);
    return CLI_OK;
}
