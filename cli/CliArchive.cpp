#include "CliCommand.h"

#include "archive/Archive.h"

namespace {

void ListEntries(const ArchiveEntry& dir, const std::string& prefix, std::ostream& out)
{
    for (const ArchiveEntry& e : dir.children) {
        const std::string path = prefix + "\\" + e.name;
        if (e.directory) {
            out << path << "\\\n";
            ListEntries(e, path, out);
        } else {
            out << path << "  " << e.length << " bytes, " << e.storedLength() << " stored\n";
        }
    }
}

} // namespace

// vordax4-cli crate HOST "COMMAND LINE" ...: the reports go to the standard output; the run stops
// at the first command that fails.
int CliArchive(const std::vector<std::string>& args, CliIo& io)
{
    if (args.empty()) {
        io.err << "usage: vordax4-cli crate HOST [\"COMMAND LINE\" ...]\n";
        return CLI_USAGE;
    }
    Archive crate;
    crate.SetOutput([&io](const std::string& text) { io.out << text; });
    switch (crate.Load(args[0])) {
    case ArchiveLoadResult::CannotOpen:
        io.err << "crate: cannot open " << args[0] << "\n";
        return CliBadInput(io);
    case ArchiveLoadResult::ReadError:
        io.err << "crate: " << args[0] << " holds a corrupt archive\n";
        return CliBadInput(io);
    default:
        break;
    }
    if (args.size() == 1) {
        ListEntries(crate.root(), "", io.out);
        return CLI_OK;
    }
    for (size_t i = 1; i < args.size(); ++i) {
        const int code = crate.Command(args[i]);
        if (code == 0 || !crate.lastCommandOk()) {
            io.out.flush();
            io.err << "crate: command failed: " << args[i] << "\n";
            return CLI_FAILED;
        }
    }
    return CLI_OK;
}
