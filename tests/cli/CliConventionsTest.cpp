#include "CliCommand.h"
#include "CliRun.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <gtest/gtest.h>

#include <string>

namespace {

// The CLI as a script on a machine without a display starts it.
CliRun RunWithoutDisplay(const QStringList& args) { return RunProgram(args, WithoutDisplay()); }

bool StartsWith(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }

size_t Count(const std::string& text, const std::string& part)
{
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

} // namespace

TEST(CliConventions, HelpAndVersionGoToStandardOutput)
{
    struct Case {
        QStringList args;
        std::string start;
        std::string part;
    } cases[] = {
        { { "--help" }, "usage: vordax4-cli [--lang en|de|cs] <command> args...", "\nexit codes:\n  0  success" },
        { { "-h" }, "usage: vordax4-cli ", "  2  wrong usage" },
        { { "--lang", "de", "--help" }, "usage: vordax4-cli ", "\ncommands:\n" },
        { { "help" }, "usage: vordax4-cli ", "\nexit codes:\n" },
        { { "--version" }, "vordax4-cli 93.0\nVORDAX4   RSKEY=93.00   COMPILE=20", "" },
        { { "--lang", "cs", "--version" }, "vordax4-cli 93.0\n", "" },
        { { "help", "diff" }, "usage: vordax4-cli diff A.ign B.ign", "" },
        { { "diff", "-h" }, "usage: vordax4-cli diff A.ign B.ign", "" },
        { { "program", "bike.ign", "--port", "3", "--help" }, "usage: vordax4-cli program FILE.ign", "" },
    };
    for (const Case& c : cases) {
        const CliRun r = RunWithoutDisplay(c.args);
        const std::string line = c.args.join(' ').toStdString();
        EXPECT_EQ(r.code, CLI_OK) << line << ": " << r.err;
        EXPECT_TRUE(StartsWith(r.out, c.start)) << line << ": " << r.out;
        EXPECT_NE(r.out.find(c.part), std::string::npos) << line;
        EXPECT_EQ(r.err, "") << line;
    }
}

// Every command answers --help with its own usage, painting commands included, and touches no
// port, file or display doing so.
TEST(CliConventions, EveryCommandExplainsItself)
{
    for (const CliCommand& c : CliCommands()) {
        const CliRun r = RunWithoutDisplay({ c.name, "--help" });
        EXPECT_EQ(r.code, CLI_OK) << c.name << ": " << r.err;
        EXPECT_TRUE(StartsWith(r.out, std::string("usage: vordax4-cli ") + c.name)) << c.name << ": " << r.out;
        EXPECT_NE(r.out.find(c.summary), std::string::npos) << c.name;
        EXPECT_EQ(r.err, "") << c.name;
    }
}

// A wrong command line exits 2 with one usage line on standard error and nothing on standard output.
TEST(CliConventions, WrongUsageShowsTheUsageOnStandardError)
{
    struct Case {
        QStringList args;
        std::string usage;
    } cases[] = {
        { {}, "usage: vordax4-cli <command>" },
        { { "no-such-command" }, "vordax4-cli help lists the commands" },
        { { "--bogus" }, "vordax4-cli help lists the commands" },
        { { "identify", "--bogus" }, "usage: vordax4-cli identify " },
        { { "ports", "--port" }, "usage: vordax4-cli ports " },
        { { "reset", "extra" }, "usage: vordax4-cli reset " },
        { { "convert", "only.ign" }, "usage: vordax4-cli convert IN.ign OUT.ign" },
        { { "show" }, "usage: vordax4-cli show FILE.ign" },
        { { "render", "bike.ign", "--bogus", "-o", "x.png" }, "usage: vordax4-cli render FILE.ign" },
        { { "--lang", "xx", "show", "a.ign" }, "--lang wants en, de or cs" },
    };
    for (const Case& c : cases) {
        const CliRun r = RunWithoutDisplay(c.args);
        const std::string line = c.args.join(' ').toStdString();
        EXPECT_EQ(r.code, CLI_USAGE) << line << ": " << r.err;
        EXPECT_EQ(r.out, "") << line;
        EXPECT_EQ(Count(r.err, c.usage), 1u) << line << ": " << r.err;
        EXPECT_LE(Count(r.err, "usage:"), 1u) << line << ": " << r.err;
    }
}

// An input file that cannot be read is exit code 2 as well, with the reason and no usage line, and
// nothing is written.
TEST(CliConventions, UnreadableInputExitsTwoWithoutTheUsage)
{
    const QStringList cases[] = {
        { "show", "missing.ign" },
        { "show", "missing.ign", "--json" },
        { "convert", "missing.ign", "out.ign" },
        { "diff", "missing.ign", "missing.ign" },
        { "render", "missing.ign", "--map", "advance", "-o", "out.png" },
        { "print", "missing.ign", "-o", "out.pdf" },
        { "log-export", "missing.ignlog" },
        { "log-plot", "missing.ignlog", "-o", "out.png" },
        { "crate", "missing.bin" },
        { "verify", "missing.ign" },
        { "program", "missing.ign" },
    };
    for (const QStringList& args : cases) {
        const CliRun r = RunWithoutDisplay(args);
        const std::string line = args.join(' ').toStdString();
        EXPECT_EQ(r.code, CLI_USAGE) << line << ": " << r.err;
        EXPECT_NE(r.err.find("missing"), std::string::npos) << line << ": " << r.err;
        EXPECT_EQ(r.err.find("usage:"), std::string::npos) << line << ": " << r.err;
        EXPECT_EQ(r.out, "") << line;
    }
}
