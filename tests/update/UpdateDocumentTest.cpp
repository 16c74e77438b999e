#include "update/UpdateDocument.h"
#include "lang/LangString.h"

#include <gtest/gtest.h>

namespace {

constexpr const char* BUILD = "2020_01_27";

std::string Product(const std::string& recommendations, const char* cls = "VORDAX4", int key = 93)
{
    return std::string("<?xml version=\"1.0\"?>\n<patches>\n<product class=\"") + cls + "\" key=\""
        + std::to_string(key) + "\">\n" + recommendations + "</product>\n</patches>\n";
}

std::string Rec(const std::string& attributes, const std::string& content = "<english>text</english>")
{
    return "<recommendation " + attributes + ">" + content + "</recommendation>\n";
}

struct DateCase {
    const char* what;
    const char* attributes;
    bool applies;
};

} // namespace

TEST(UpdateDocument, DateBoundariesAgainstTheCompileDate)
{
    const DateCase cases[] = {
        { "from equal to the build applies", "update_number=\"3\" from=\"2020_01_27\"", true },
        { "to equal to the build does not", "update_number=\"3\" to=\"2020_01_27\"", false },
        { "to one day later applies", "update_number=\"3\" to=\"2020_01_28\"", true },
        { "from one day later does not", "update_number=\"3\" from=\"2020_01_28\"", false },
        { "no dates: defaults 0000_00_00 and 9999_99_99", "update_number=\"3\"", true },
        { "dates are cut to 11 characters", "update_number=\"3\" to=\"2020_01_27_and_more\"", true },
        { "an 11-character from beyond the build", "update_number=\"3\" from=\"2020_01_27a\"", false },
    };
    for (const DateCase& c : cases) {
        const auto offer = EvaluateUpdateDocument(Product(Rec(c.attributes)), BUILD, LANG_ENGLISH);
        EXPECT_EQ(offer.has_value(), c.applies) << c.what;
    }
}

TEST(UpdateDocument, HighestApplyingNumberWinsFirstOfEquals)
{
    struct Case {
        const char* what;
        std::string recs;
        int number;
        const char* text;
    } cases[] = {
        { "5 then 7",
            Rec("update_number=\"5\"", "<english>five</english>")
                + Rec("update_number=\"7\"", "<english>seven</english>"),
            7, "seven" },
        { "7 then 5",
            Rec("update_number=\"7\"", "<english>seven</english>")
                + Rec("update_number=\"5\"", "<english>five</english>"),
            7, "seven" },
        { "equals keep the first",
            Rec("update_number=\"7\"", "<english>first</english>")
                + Rec("update_number=\"7\"", "<english>second</english>"),
            7, "first" },
        { "a higher one outside its dates is passed over",
            Rec("update_number=\"9\" from=\"2021_01_01\"", "<english>nine</english>")
                + Rec("update_number=\"5\"", "<english>five</english>"),
            5, "five" },
        { "missing number counts as 0", Rec("from=\"2019_01_01\"", "<english>none</english>"), 0, "none" },
        { "unreadable number counts as 0", Rec("update_number=\"abc\"", "<english>abc</english>"), 0, "abc" },
        { "numbers are read as %i", Rec("update_number=\"0x10\"", "<english>hex</english>"), 16, "hex" },
        { "huge numbers are clamped", Rec("update_number=\"99999999999999\"", "<english>big</english>"), 2147483647,
            "big" },
    };
    for (const Case& c : cases) {
        const auto offer = EvaluateUpdateDocument(Product(c.recs), BUILD, LANG_ENGLISH);
        ASSERT_TRUE(offer.has_value()) << c.what;
        EXPECT_EQ(offer->updateNumber, c.number) << c.what;
        EXPECT_EQ(offer->description, c.text) << c.what;
    }
}

TEST(UpdateDocument, OnlyThisProductsBlockCounts)
{
    const std::string rec = Rec("update_number=\"4\"");
    EXPECT_FALSE(EvaluateUpdateDocument(Product(rec, "OTHER"), BUILD, 0));
    EXPECT_FALSE(EvaluateUpdateDocument(Product(rec, "VORDAX4", 80), BUILD, 0));
    EXPECT_FALSE(EvaluateUpdateDocument("", BUILD, 0));
    EXPECT_FALSE(EvaluateUpdateDocument(rec + Product(""), BUILD, 0)) << "a recommendation before the block";
    EXPECT_FALSE(EvaluateUpdateDocument(Product("") + rec, BUILD, 0)) << "a recommendation after the block";
    EXPECT_TRUE(EvaluateUpdateDocument(
        Product(Rec("update_number=\"1\"", "<english>old</english>"), "OTHER") + Product(rec), BUILD, 0));
}

TEST(UpdateDocument, TextsAndLinksByLanguage)
{
    const std::string all
        = "<czech>česky</czech><english>english</english><web_cz>http://cz/</web_cz><web>http://en/</web>"
          "<download>http://dl/setup.exe</download>";
    struct Case {
        const char* what;
        std::string content;
        int language;
        const char* description;
        const char* web;
    } cases[] = {
        { "English", all, LANG_ENGLISH, "english", "http://en/" },
        { "German shows English", all, LANG_GERMAN, "english", "http://en/" },
        { "Czech", all, LANG_CZECH, "česky", "http://cz/" },
        { "Czech falls back to English", "<english>english</english><web>http://en/</web>", LANG_CZECH, "english",
            "http://en/" },
        { "no description at all", "<web>http://en/</web>", LANG_ENGLISH, "Motravex patch VORDAX4 Key=93 Ver=6",
            "http://en/" },
        { "no links", "<english>e</english>", LANG_ENGLISH, "e", "" },
    };
    for (const Case& c : cases) {
        const auto offer = EvaluateUpdateDocument(Product(Rec("update_number=\"6\"", c.content)), BUILD, c.language);
        ASSERT_TRUE(offer.has_value()) << c.what;
        EXPECT_EQ(offer->description, c.description) << c.what;
        EXPECT_EQ(offer->webLink, c.web) << c.what;
    }
    const auto offer = EvaluateUpdateDocument(Product(Rec("update_number=\"6\"", all)), BUILD, LANG_ENGLISH);
    EXPECT_EQ(offer->downloadLink, "http://dl/setup.exe");
    EXPECT_FALSE(offer->rtf);
}

TEST(UpdateDocument, LinksAreCutTo249Characters)
{
    const std::string longLink = "http://example.com/" + std::string(400, 'x');
    const auto offer = EvaluateUpdateDocument(
        Product(Rec("update_number=\"2\"", "<download>" + longLink + "</download><web> http://w/ </web>")), BUILD, 0);
    ASSERT_TRUE(offer);
    EXPECT_EQ(offer->downloadLink, longLink.substr(0, 249));
    EXPECT_EQ(offer->webLink, "http://w/");
}

TEST(UpdateDocument, RtfDescriptionsAreMarked)
{
    const auto offer = EvaluateUpdateDocument(
        Product(Rec("update_number=\"2\"", "<english>{\\rtf1\\ansi New \\b version\\b0}</english>")), BUILD, 0);
    ASSERT_TRUE(offer);
    EXPECT_TRUE(offer->rtf);
}

TEST(UpdateDocument, UnclosedElementsEndTheirPart)
{
    // An unclosed recommendation reaches to the end of the block; unclosed texts count as missing.
    const auto offer = EvaluateUpdateDocument(Product("<recommendation update_number=\"3\"><english>cut"), BUILD, 0);
    ASSERT_TRUE(offer);
    EXPECT_EQ(offer->description, "Motravex patch VORDAX4 Key=93 Ver=3");
    EXPECT_FALSE(EvaluateUpdateDocument(Product("<recommendation update_number=\"3\""), BUILD, 0));
}

// Only web addresses from the document are ever handed to the system's "open" action.
TEST(UpdateDocument, OnlyWebLinksAreOffered)
{
    struct Case {
        const char* link;
        bool kept;
    } cases[] = {
        { "https://example.com/setup.exe", true },
        { "HTTP://example.com/", true },
        { "file:///usr/bin/xterm", false },
        { "FILE:/etc/passwd", false },
        { "javascript:alert(1)", false },
        { "ftp://example.com/setup.exe", false },
        { "smb://host/share/setup.exe", false },
        { "/usr/bin/setup", false },
        { "https://", false },
    };
    for (const Case& c : cases) {
        const std::string links = std::string("<download>") + c.link + "</download><web>" + c.link + "</web>";
        const auto offer = EvaluateUpdateDocument(Product(Rec("update_number=\"2\"", links)), BUILD, 0);
        ASSERT_TRUE(offer) << c.link;
        EXPECT_EQ(offer->downloadLink, c.kept ? c.link : "") << c.link;
        EXPECT_EQ(offer->webLink, c.kept ? c.link : "") << c.link;
    }
}
