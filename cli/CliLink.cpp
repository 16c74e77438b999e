#include "CliCommand.h"

#include "CliJson.h"
#include "CliLinkOptions.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Collects what a link command prints into a FILE* and hands it to the command's stream.
class CapturedFile {
public:
    CapturedFile() : file_(open_memstream(&buffer_, &size_)) {}
    ~CapturedFile()
    {
        if (file_)
            std::fclose(file_);
        std::free(buffer_);
    }
    std::FILE* get() { return file_ ? file_ : stderr; }
    void flushTo(std::ostream& os)
    {
        if (!file_)
            return;
        std::fflush(file_);
        os.write(buffer_, static_cast<std::streamsize>(size_));
    }

private:
    char* buffer_ = nullptr;
    size_t size_ = 0;
    std::FILE* file_;
};

// The arguments left over after the link options: a command without arguments of its own refuses them.
bool parseLinkOptions(const std::vector<std::string>& args, PortChoice& choice, int* timeoutMs, CliIo& io)
{
    std::vector<std::string> rest = args;
    if (!TakeLinkOptions(rest, choice, timeoutMs, io))
        return false;
    if (!rest.empty()) {
        io.err << "vordax4-cli: unknown argument '" << rest.front() << "'\n";
        return false;
    }
    return true;
}

} // namespace

bool TakeLinkOptions(std::vector<std::string>& args, PortChoice& choice, int* timeoutMs, CliIo& io)
{
    std::vector<std::string> rest;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool linkOption = a == "--port" || (timeoutMs && a == "--timeout");
        if (!linkOption) {
            rest.push_back(a);
            continue;
        }
        if (i + 1 >= args.size()) {
            io.err << "vordax4-cli: " << a << " needs a value\n";
            return false;
        }
        const std::string& v = args[++i];
        if (a == "--port") {
            std::string error;
            if (!ParsePortOption(v, choice, &error)) {
                io.err << "vordax4-cli: " << error << "\n";
                return false;
            }
            continue;
        }
        char* end = nullptr;
        const double seconds = std::strtod(v.c_str(), &end);
        if (end == v.c_str() || *end || seconds <= 0 || seconds > 3600) {
            io.err << "vordax4-cli: --timeout wants seconds between 0 and 3600, not '" << v << "'\n";
            return false;
        }
        *timeoutMs = static_cast<int>(seconds * 1000);
    }
    args = std::move(rest);
    return timeoutMs ? TakeProtocolOptions(args, choice, io) : true;
}

bool TakeProtocolOptions(std::vector<std::string>& args, PortChoice& choice, CliIo& io)
{
    std::vector<std::string> rest;
    bool baudGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a != "--protocol" && a != "--baud") {
            rest.push_back(a);
            continue;
        }
        if (i + 1 >= args.size()) {
            io.err << "vordax4-cli: " << a << " needs a value\n";
            return false;
        }
        std::string error;
        baudGiven |= a == "--baud";
        const bool ok = a == "--protocol" ? ParseProtocolOption(args[++i], choice, &error)
                                          : ParseBaudOption(args[++i], choice, &error);
        if (!ok) {
            io.err << "vordax4-cli: " << error << "\n";
            return false;
        }
    }
    if (baudGiven && !choice.protocol) {
        io.err << "vordax4-cli: --baud is the rate of a protocol named with --protocol\n";
        return false;
    }
    args = std::move(rest);
    return true;
}

int CliPorts(const std::vector<std::string>& args, CliIo& io)
{
    PortChoice choice;
    if (!parseLinkOptions(args, choice, nullptr, io))
        return CLI_USAGE;
    CapturedFile out, err;
    const int rc = ListPortsCommand(choice, out.get(), err.get());
    out.flushTo(io.out);
    err.flushTo(io.err);
    return rc;
}

int CliIdentify(const std::vector<std::string>& args, CliIo& io)
{
    PortChoice choice;
    int timeoutMs = 10000;
    std::vector<std::string> rest = args;
    const bool json = CliJson::TakeOption(rest);
    if (!parseLinkOptions(rest, choice, &timeoutMs, io))
        return CLI_USAGE;
    CapturedFile out, err;
    int rc = 0;
    if (json) {
        const IdentifyResult r = IdentifyUnit(choice, timeoutMs, err.get());
        CliJson::Print(CliJson::Identity(r), io.out);
        if (!r.found)
            std::fprintf(err.get(), "%s\n", NoUnitText(r, timeoutMs).c_str());
        rc = r.found ? 0 : 1;
    } else {
        rc = IdentifyCommand(choice, timeoutMs, out.get(), err.get());
    }
    out.flushTo(io.out);
    err.flushTo(io.err);
    return rc == 0 ? CLI_OK : CLI_FAILED;
}
