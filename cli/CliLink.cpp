#include "CliCommand.h"

#include "link/LinkCommands.h"

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

// Reads the options shared by the commands that talk to a unit: --port N, --port N=DEVICE and,
// where allowed, --timeout SECONDS.
bool parseLinkOptions(const std::vector<std::string>& args, PortChoice& choice, int* timeoutMs, CliIo& io)
{
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if ((a == "--port" || (timeoutMs && a == "--timeout")) && i + 1 >= args.size()) {
            io.err << "vordax4-cli: " << a << " needs a value\n";
            return false;
        }
        if (a == "--port") {
            std::string error;
            if (!ParsePortOption(args[++i], choice, &error)) {
                io.err << "vordax4-cli: " << error << "\n";
                return false;
            }
        } else if (timeoutMs && a == "--timeout") {
            const std::string& v = args[++i];
            char* end = nullptr;
            const double seconds = std::strtod(v.c_str(), &end);
            if (end == v.c_str() || *end || seconds <= 0 || seconds > 3600) {
                io.err << "vordax4-cli: --timeout wants seconds between 0 and 3600, not '" << v << "'\n";
                return false;
            }
            *timeoutMs = static_cast<int>(seconds * 1000);
        } else {
            io.err << "vordax4-cli: unknown argument '" << a << "'\n";
            return false;
        }
    }
    return true;
}

} // namespace

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
    if (!parseLinkOptions(args, choice, &timeoutMs, io))
        return CLI_USAGE;
    CapturedFile out, err;
    const int rc = IdentifyCommand(choice, timeoutMs, out.get(), err.get());
    out.flushTo(io.out);
    err.flushTo(io.err);
    return rc == 0 ? CLI_OK : CLI_FAILED;
}
