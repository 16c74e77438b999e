#include "lang/LangString.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class LangTextTest : public testing::Test {
protected:
    void SetUp() override
    {
        SetLangReportSink([this](const std::string& m) { reports.push_back(m); });
    }
    void TearDown() override
    {
        SetLangReportSink({});
        LanguageIndex = LANG_ENGLISH;
    }
    std::vector<std::string> reports;
};

} // namespace

TEST_F(LangTextTest, SelectsTheVariantOfTheLanguage)
{
    struct Case {
        const char* text;
        const char* en;
        const char* de;
        const char* cs;
    } cases[] = {
        {"###A##B##C", "A", "B", "C"},
        {"###A", "A", "A", "A"},
        {"###A####C", "A", "A", "C"},
        {"###A##..##C", "A", "A", "C"},
        {"###A  ##B", "A", "B", "A"},
        {"###A \t\r\n##B##", "A", "B", "A"},
        {"###Trying updates...####Zjišťuji aktualizace...", "Trying updates...", "Trying updates...",
            "Zjišťuji aktualizace..."},
        {"plain text", "plain text", "plain text", "plain text"},
        {"", "", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(LangText(c.text, 0), c.en) << c.text;
        EXPECT_STREQ(LangText(c.text, 1), c.de) << c.text;
        EXPECT_STREQ(LangText(c.text, 2), c.cs) << c.text;
    }
    EXPECT_TRUE(reports.empty());
}

TEST_F(LangTextTest, CurrentLanguageAndOutOfRangeIndex)
{
    LanguageIndex = LANG_CZECH;
    EXPECT_STREQ(LangText("###A##B##C"), "C");
    EXPECT_STREQ(LangText("###A##B##C", 7), "A");
    EXPECT_STREQ(LangText("###A##B##C", -5), "A");
    EXPECT_EQ(LangText(nullptr), nullptr);
}

TEST_F(LangTextTest, FourthVariantIsNeverShown)
{
    EXPECT_STREQ(LangText("###A##B##C##D", 2), "C");
}

TEST_F(LangTextTest, MissingHashesAreReportedAndShownRaw)
{
    EXPECT_STREQ(LangText("##A##B", 1), "##A##B");
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], "Chybi ### na zacatku v jazykovem retezci !\n##A##B");
}

TEST_F(LangTextTest, SingleHashIsReportedWithTheCountMessage)
{
    EXPECT_STREQ(LangText("#5", 0), "#5");
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], "Chybny pocet jazykovych mutaci (53 > 3 || 53==0) !\n ");
}

TEST_F(LangTextTest, OverlongVariantIsReported)
{
    const std::string text = "###" + std::string(300, 'x') + "##B";
    EXPECT_EQ(LangText(text, 1), text);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], "Prilis dlouha jazykova mutace (>255 chars) !\n" + text);

    const std::string lastLong = "###A##" + std::string(300, 'y');
    EXPECT_EQ(LangText(lastLong, 1), std::string(300, 'y')) << "the last variant has no limit";
}

TEST_F(LangTextTest, CzechCharactersCountAsOneEach)
{
    std::string v;
    for (int i = 0; i < 200; ++i)
        v += "č";
    EXPECT_EQ(LangText("###" + v + "##B", 0), v);
    EXPECT_TRUE(reports.empty());
}
