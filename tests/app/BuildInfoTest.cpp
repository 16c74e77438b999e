#include "base/BuildInfo.h"
#include "link/WindowCaption.h"
#include "app/CommandLine.h"
#include "lang/LangString.h"

#include <gtest/gtest.h>

TEST(BuildInfo, CompileDateFromTheCompilerForm)
{
    EXPECT_EQ(CompileDate("Jan 27 2020"), "2020_01_27");
    EXPECT_EQ(CompileDate("Dec  3 2026"), "2026_12_03");
    EXPECT_EQ(VersionLine("2020_01_27"), "VORDAX4   RSKEY=93.00   COMPILE=2020_01_27");
}

TEST(BuildInfo, WindowCaption)
{
    LanguageIndex = LANG_GERMAN;
    EXPECT_EQ(WindowCaption("", true), "  VORDAX4 (v93)       ");
    EXPECT_EQ(WindowCaption("bike.ign", true), "  VORDAX4 (v93)       bike.ign");
    EXPECT_EQ(WindowCaption("bike.ign", false), "  VORDAX4 (v93)       bike.ign   (Von Bootloader getrennt)");
    EXPECT_EQ(WindowCaption("", false), "  VORDAX4 (v93)       (Von Bootloader getrennt)");
    LanguageIndex = LANG_ENGLISH;
}

TEST(CommandLine, OnlyTheFirstArgumentExactly)
{
    struct Case {
        std::vector<std::string> args;
        int language;
        bool noPatchCheck;
    } cases[] = {
        {{}, -1, false},
        {{"ENGLISH"}, 0, false},
        {{"DEUTSCH"}, 1, false},
        {{"CESKY"}, 2, false},
        {{"cesky"}, -1, false},
        {{"nopatchcheck"}, -1, true},
        {{"NOPATCHCHECK"}, -1, false},
        {{"ENGLISH", "CESKY"}, 0, false},
        {{"x", "nopatchcheck"}, -1, false},
    };
    for (const Case& c : cases) {
        const CommandLine cl = CommandLine::Parse(c.args);
        EXPECT_EQ(cl.language, c.language);
        EXPECT_EQ(cl.noPatchCheck, c.noPatchCheck);
    }
    EXPECT_TRUE(CommandLine::Parse({"CESKY", "--demo"}).demo);
}
