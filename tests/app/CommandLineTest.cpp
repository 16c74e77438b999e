#include "app/CommandLine.h"
#include "lang/LangString.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

struct Parsed {
    std::vector<std::string> args;
    std::string paramFile;
    std::string recordingFile;
    std::vector<std::string> wrongOptions;
    int language;
};

} // namespace

TEST(CommandLine, FilesOptionsAndQtsOwnOptions)
{
    const Parsed cases[] = {
        { { "bike.ign" }, "bike.ign", "", {}, -1 },
        { { "DEUTSCH", "bike.ign" }, "bike.ign", "", {}, LANG_GERMAN },
        { { "ride.IGNLOG", "a.IGN", "b.ign", "c.ignlog" }, "a.IGN", "ride.IGNLOG", {}, -1 },
        { { "cesky", "notes.txt", "x.ign.bak" }, "", "", {}, -1 },
        { { "bike.ign", "--demo", "ENGLISH" }, "bike.ign", "", {}, -1 },
        { { "-platform", "offscreen", "--style=fusion", "-reverse", "a.ign" }, "a.ign", "", {}, -1 },
        { { "--platform", "x.ign" }, "", "", {}, -1 },
        { { "--bogus", "-x", "a.ign" }, "a.ign", "", { "--bogus", "-x" }, -1 },
        { { "--", "-odd.ign", "--help" }, "-odd.ign", "", {}, -1 },
        { { "-" }, "", "", {}, -1 },
    };
    for (const Parsed& c : cases) {
        const CommandLine cl = CommandLine::Parse(c.args);
        const std::string line = testing::PrintToString(c.args);
        EXPECT_EQ(cl.paramFile, c.paramFile) << line;
        EXPECT_EQ(cl.recordingFile, c.recordingFile) << line;
        EXPECT_EQ(cl.wrongOptions, c.wrongOptions) << line;
        EXPECT_EQ(cl.language, c.language) << line;
        EXPECT_FALSE(cl.help) << line;
    }
    EXPECT_TRUE(CommandLine::Parse({ "bike.ign", "--demo" }).demo);
}

// Qt's options in every form it takes, before and after the files: a value given after "=" is
// part of its option, a value given apart is the next argument, and neither is a file; a flag
// takes nothing. The values are named like files, so a value taken for a file shows.
TEST(CommandLine, OptionFormsBeforeAndAfterFiles)
{
    const std::vector<std::vector<std::string>> forms = {
        { "-style", "v.ign" },
        { "--style", "v.ign" },
        { "-style=v.ign" },
        { "--style=fusion" },
        { "--style=" },
        { "-platform", "offscreen" },
        { "--platformtheme", "v.ignlog" },
        { "--qwindowgeometry=640x480" },
        { "-stylesheet", "v.ign" },
        { "--qwindowtitle=v.ign" },
        { "-reverse" },
        { "--nograb" },
        { "--demo" },
        { "-platform", "offscreen", "--style=fusion", "-reverse" },
    };
    for (const auto& form : forms) {
        std::vector<std::string> before = form, after { "a.ign" };
        before.insert(before.end(), { "a.ign", "r.ignlog" });
        after.insert(after.end(), form.begin(), form.end());
        after.push_back("r.ignlog");
        for (const auto& args : { before, after }) {
            const CommandLine cl = CommandLine::Parse(args);
            const std::string line = testing::PrintToString(args);
            EXPECT_EQ(cl.paramFile, "a.ign") << line;
            EXPECT_EQ(cl.recordingFile, "r.ignlog") << line;
            EXPECT_EQ(cl.wrongOptions, std::vector<std::string> {}) << line;
        }
    }
    for (const std::string wrong : { "--demo=1", "--styles=x", "-stylex" }) {
        const CommandLine cl = CommandLine::Parse({ wrong, "a.ign" });
        EXPECT_EQ(cl.wrongOptions, std::vector<std::string> { wrong });
        EXPECT_EQ(cl.paramFile, "a.ign") << wrong << " takes no value";
    }
}

TEST(CommandLine, HelpVersionAndWrongOptionsAnswerAlone)
{
    struct Case {
        std::vector<std::string> args;
        std::optional<int> code;
        std::string out; // the start of standard output
        std::string err; // the start of standard error
    } cases[] = {
        { { "--help" }, 0, "usage: vordax4 ", "" },
        { { "a.ign", "-h" }, 0, "usage: vordax4 ", "" },
        { { "--version" }, 0, "vordax4 93.0\nVORDAX4   RSKEY=93.00   COMPILE=20", "" },
        { { "--help", "--nonsense" }, 2, "", "vordax4: unknown option '--nonsense'\n\nusage: vordax4 " },
        { { "a.ign", "--demo" }, std::nullopt, "", "" },
        { {}, std::nullopt, "", "" },
    };
    for (const Case& c : cases) {
        std::ostringstream out, err;
        const std::optional<int> code = CommandLine::Parse(c.args).AnswerWithoutWindow(out, err);
        const std::string line = testing::PrintToString(c.args);
        EXPECT_EQ(code, c.code) << line;
        EXPECT_EQ(out.str().substr(0, c.out.size()), c.out) << line;
        EXPECT_EQ(err.str().substr(0, c.err.size()), c.err) << line;
        EXPECT_EQ(out.str().empty(), c.out.empty()) << line;
        EXPECT_EQ(err.str().empty(), c.err.empty()) << line;
    }
}

TEST(CommandLine, UsageInTheLanguageOfTheFirstWord)
{
    LanguageIndex = LANG_CZECH;
    std::ostringstream czech;
    CommandLine::PrintUsage(czech);
    LanguageIndex = LANG_ENGLISH;
    EXPECT_EQ(czech.str().rfind("použití: vordax4 ", 0), 0u) << czech.str();
    EXPECT_NE(czech.str().find("zobrazí tuto nápovědu"), std::string::npos);
    EXPECT_EQ(czech.str().find("###"), std::string::npos) << "each row is resolved, none too long for LangText";
}
