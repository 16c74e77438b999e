#include "CliCommand.h"

namespace {

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
        { "identify", "[--port N[=DEVICE]]... [--timeout SECONDS]",
            "searches for the unit as the program does and prints its port, name, protocol and frame limits "
            "(exit 1 when none answers within the time-out, 10 s by default)",
            CliIdentify },
        { "convert", "IN.ign OUT.ign",
            "opens a parameter file of any accepted version and writes it as a current version-93 file", CliConvert },
        { "show", "FILE.ign", "opens a parameter file and prints its settings", CliShow },
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
    io.out << "usage: vordax4-cli <command> args...\n\ncommands:\n";
    for (const CliCommand& c : CliCommands())
        io.out << "  " << c.name << " " << c.usage << "\n      " << c.summary << "\n";
    return CLI_OK;
}

int RunCli(const std::vector<std::string>& args, CliIo& io)
{
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
