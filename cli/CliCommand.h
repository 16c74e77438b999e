#pragma once

#include <QString>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

class QSize;

// Where a command writes: results to out, every error message to err. inputRefused marks an exit
// code 2 that reports an input file, not wrong usage, so no usage line follows the message.
struct CliIo {
    std::ostream& out;
    std::ostream& err;
    bool inputRefused = false;
};

// One command of vordax4-cli: `vordax4-cli <name> args...`. The handler gets the arguments after
// the name and returns the exit code (0 only on success, 1 when the work failed, 2 for wrong usage).
struct CliCommand {
    const char* name;
    const char* usage; // the arguments, as shown by "help"
    const char* summary;
    int (*handler)(const std::vector<std::string>& args, CliIo& io);
};

constexpr int CLI_OK = 0;
constexpr int CLI_FAILED = 1;
constexpr int CLI_USAGE = 2;

// An input file that cannot be read or is refused: the exit code of wrong usage (2), without the
// usage line. code passes the other codes of a command through.
int CliBadInput(CliIo& io, int code = CLI_USAGE);

// The command table; new commands are new rows.
const std::vector<CliCommand>& CliCommands();

// A path from the command line, decoded with the platform's file-name encoding.
QString CliPath(const std::string& arg);

// Runs one command line (without the program name).
int RunCli(const std::vector<std::string>& args, CliIo& io);
// --help, -h, --version and COMMAND --help are answered without running anything: the exit
// code, or nothing for any other command line.
std::optional<int> CliAnswerAlone(const std::vector<std::string>& args, CliIo& io);

int CliHelp(const std::vector<std::string>& args, CliIo& io);
int CliArchive(const std::vector<std::string>& args, CliIo& io);
int CliPorts(const std::vector<std::string>& args, CliIo& io);
int CliIdentify(const std::vector<std::string>& args, CliIo& io);
int CliConvert(const std::vector<std::string>& args, CliIo& io);
int CliShow(const std::vector<std::string>& args, CliIo& io);
int CliDiff(const std::vector<std::string>& args, CliIo& io);
int CliRead(const std::vector<std::string>& args, CliIo& io);
int CliVerify(const std::vector<std::string>& args, CliIo& io);
int CliProgram(const std::vector<std::string>& args, CliIo& io);
int CliReset(const std::vector<std::string>& args, CliIo& io);
int CliMonitor(const std::vector<std::string>& args, CliIo& io);
int CliLogExport(const std::vector<std::string>& args, CliIo& io);
int CliMap(const std::vector<std::string>& args, CliIo& io);
int CliHits(const std::vector<std::string>& args, CliIo& io);
int CliRender(const std::vector<std::string>& args, CliIo& io);
int CliPrint(const std::vector<std::string>& args, CliIo& io);
int CliLogPlot(const std::vector<std::string>& args, CliIo& io);
int CliHistoryCommand(const std::vector<std::string>& args, CliIo& io);

// A picture size given as WxH (50x30 up to 8000x8000).
bool CliParseSize(const std::string& text, QSize& size);

// Whether the command line paints pictures: such commands need a GUI application, which the
// program then runs on the offscreen platform so that no display is needed.
bool CliPaints(const std::vector<std::string>& args);
