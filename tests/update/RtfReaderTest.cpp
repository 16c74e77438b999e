#include "update/RtfReader.h"
#include "update/CodePage.h"

#include <gtest/gtest.h>

TEST(RtfReader, TextOfCommonDocuments)
{
    struct Case {
        const char* what;
        const char* rtf;
        const char* plain;
    } cases[] = {
        { "plain words", "{\\rtf1\\ansi Hello world}", "Hello world" },
        { "paragraphs", "{\\rtf1 one\\par two\\par}", "one\ntwo" },
        { "line break inside a paragraph", "{\\rtf1 a\\line b}", "a\nb" },
        { "tables of fonts and colours are skipped",
            "{\\rtf1{\\fonttbl{\\f0 Tahoma;}}{\\colortbl;\\red1\\green2\\blue3;}\\f0 text}", "text" },
        { "starred destinations are skipped", "{\\rtf1{\\*\\generator Riched20 10.0;}{\\*\\unknown x}ok}", "ok" },
        { "escaped braces and backslash", "{\\rtf1 \\{a\\}\\\\b}", "{a}\\b" },
        { "unknown control words are ignored", "{\\rtf1 \\foo123 \\bar-5 x\\zzz}", "x" },
        { "hex escapes in Windows-1252 by default", "{\\rtf1\\ansi caf\\'e9}", "café" },
        { "hex escapes in Windows-1250", "{\\rtf1\\ansi\\ansicpg1250 \\'c8esk\\'fd}", "Český" },
        { "Unicode escapes skip their fallback", "{\\rtf1\\uc1 \\u268?esky}", "Česky" },
        { "negative Unicode values", "{\\rtf1 \\u-3913?}", "\xEF\x82\xB7" },
        { "two fallback characters", "{\\rtf1\\uc2 \\u352\\'8a?a}", "Ša" },
        { "surrogate pairs", "{\\rtf1 \\u-10179?\\u-8704?}", "\xF0\x9F\x98\x80" },
        { "a lone surrogate", "{\\rtf1 \\u-10179? x}", "\xEF\xBF\xBD x" },
        { "non-breaking space", "{\\rtf1 a\\~b}",
            "a\xC2\xA0"
            "b" },
        { "line ends in the source are not text", "{\\rtf1 a\r\nb}", "ab" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadRtf(c.rtf).plain(), c.plain) << c.what;
}

TEST(RtfReader, BoldAndItalicRuns)
{
    const RtfText text = ReadRtf("{\\rtf1 n \\b bold\\b0  \\i it{\\b both}\\i0 \\b x\\plain y\\par second}");
    ASSERT_EQ(text.paragraphs.size(), 2u);
    const std::vector<RtfRun>& runs = text.paragraphs[0].runs;
    struct Expected {
        const char* text;
        bool bold;
        bool italic;
    } expected[] = { { "n ", false, false }, { "bold", true, false }, { " ", false, false }, { "it", false, true },
        { "both", true, true } };
    ASSERT_GE(runs.size(), 5u);
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(runs[i].text, expected[i].text) << i;
        EXPECT_EQ(runs[i].bold, expected[i].bold) << i;
        EXPECT_EQ(runs[i].italic, expected[i].italic) << i;
    }
    EXPECT_EQ(runs.back().text, "y");
    EXPECT_FALSE(runs.back().bold);
    EXPECT_EQ(runs[runs.size() - 2].text, "x");
    EXPECT_TRUE(runs[runs.size() - 2].bold);
    EXPECT_FALSE(runs[runs.size() - 2].italic);
}

TEST(RtfReader, BrokenInputEndsWithoutReadingBeyondIt)
{
    const std::string cases[] = {
        "{\\rtf1 {\\b bold",
        "{\\rtf1 end\\",
        "{\\rtf1 hex\\'",
        "{\\rtf1 hex\\'4",
        "{\\rtf1 \\u",
        "{\\rtf1 \\u99999999999999999999 x",
        "{\\rtf1 \\uc99999999 \\u65 abc",
        "}}}}}}} text",
        std::string(100000, '{') + "deep" + std::string(100000, '}'),
        std::string("{\\rtf1 \0 nul", 12),
        "\\" + std::string(1000, 'a') + "1234567890123456789 word",
    };
    for (const std::string& rtf : cases) {
        const RtfText text = ReadRtf(rtf);
        EXPECT_LE(text.plain().size(), 4 * rtf.size() + 4);
    }
    EXPECT_EQ(ReadRtf(std::string(100000, '{') + "deep" + std::string(100000, '}')).plain(), "deep");
}

TEST(DocumentText, Utf8StaysOtherTextIsWindows1250)
{
    EXPECT_EQ(DocumentTextToUtf8("Nová verze"), "Nová verze");
    EXPECT_EQ(DocumentTextToUtf8("Nov\xE1 verze \xE8\x9A"), "Nová verze čš");
    EXPECT_EQ(DocumentTextToUtf8("\xC3"), "Ă");
}
