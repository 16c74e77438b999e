#include "lang/RuntimeTexts.h"
#include "lang/LangString.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <string>
#include <vector>

namespace {

size_t utf8Chars(const std::string& s)
{
    size_t n = 0;
    for (unsigned char c : s)
        n += (c & 0xC0) != 0x80;
    return n;
}

std::string trimmed(std::string s)
{
    while (s.size() > 1 && std::string(" \t\r\n").find(s.back()) != std::string::npos)
        s.pop_back();
    return s;
}

class RuntimeTextsTest : public testing::Test {
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

const int unfilledTexts[] = { 15, 27, 28, 43, 44, 47, 86, 87, 88, 89 };

} // namespace

TEST_F(RuntimeTextsTest, GivenTextsInEveryLanguage)
{
    struct Case {
        int number;
        const char* en;
        const char* de;
        const char* cs;
    } cases[] = {
        { 16, "Unmatched version of PC and Ignition programs!",
            "Programm der Zündung ist nicht kompatibel mit dem Programm am PC!",
            "Neshodné verze programu v PC a zapalování!" },
        { 22, "YES", "JA", "ANO" },
        { 24, "SOFT", "MILDE", "MĚKKÝ" },
        { 31, "Com opening error!", "Falscher COM-Anschlußes!", "Chyba při otevírání portu Com!" },
        { 34,
            "Older or another version of *.ign file!\n\nSome parameters won't be changed or will be set to default "
            "value.\nThey are parameters which are not in older version or have another structure.",
            "Älter oder andere Version von Datendatei *.ign!\n\nEinige Kenndaten werden nicht geändert oder werden "
            "implizit Wert gestellt.\nSie sind die Kenndaten, die in älter Version nicht sind oder andere Struktur "
            "haben",
            "Starší nebo odlišná verze souboru *.ign!\n\nNěkteré parametry budou nezměněny nebo nataveny na "
            "základní hodnotu.\nJsou to parametry, které v této verzi nebyly obsaženy nebo měly jinou strukturu." },
        { 36, "CROSS TRANSFORMATION OF IGN FILE !", "CROSS TRANSFORMATION OF IGN FILE !",
            "MEZIDRUHOVA TRANSFORMACE IGN SOUBORU !" },
        { 42, "desired =", "Sollspanung =", "požadované =" },
        { 50, "Grounded", "zu Erde", "Uzeměn" },
        { 60,
            "There is a different bike chosen in set software and in ignition unit,\n are you sure to reprogram it "
            "?\n",
            "There is a different bike chosen in set software and in ignition unit,\n are you sure to reprogram it "
            "?\n",
            "V setovacím programu je vybrán jiný motocykl než aktuálně nastavený v zapalování,\n jste si jist že "
            "chcete provést v zapalování tuto změnu ?" },
        { 61, "Warning", "Warning", "Varování" },
        { 68, "Correction for cylinder:", "Korrektur für Zylinder:", "Korekce pro válec:" },
        { 70, "[h:mm]", "[s:mm]", "[h:mm]" },
        { 82, "2nd advance chart", "2.Vorzündung mappe", "2. mapa předstihu" },
        { 84, "COM &offline", "COM &offline", "COM &odpojen" },
        { 85, "COM &auto", "COM &auto", "COM &automaticky" },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RuntimeTexts::TextIn(c.number, LANG_ENGLISH), c.en) << c.number;
        EXPECT_EQ(RuntimeTexts::TextIn(c.number, LANG_GERMAN), c.de) << c.number;
        EXPECT_EQ(RuntimeTexts::TextIn(c.number, LANG_CZECH), c.cs) << c.number;
    }
}

TEST_F(RuntimeTextsTest, NewInstallationMessageKeepsEnglishForGerman)
{
    const std::string en = RuntimeTexts::TextIn(59, LANG_ENGLISH);
    EXPECT_EQ(en.rfind("This is a new installation of set software for Motravex ignitions.\n", 0), 0u);
    EXPECT_EQ(RuntimeTexts::TextIn(59, LANG_GERMAN), en);
    EXPECT_EQ(RuntimeTexts::TextIn(59, LANG_CZECH).rfind("Toto je nová instalace", 0), 0u);
}

TEST_F(RuntimeTextsTest, FixedTextsAreTheSameInEveryLanguage)
{
    for (int lang = 0; lang < LANG_COUNT; ++lang) {
        EXPECT_EQ(RuntimeTexts::TextIn(14, lang), "");
        EXPECT_EQ(RuntimeTexts::TextIn(83, lang), "N2O");
        EXPECT_EQ(RuntimeTexts::TextIn(90, lang), "Tacho Lambda");
    }
}

TEST_F(RuntimeTextsTest, Text73IsACopyOfText72)
{
    EXPECT_EQ(RuntimeTexts::TextIn(72, LANG_ENGLISH), "Potentiometer correction");
    RuntimeTexts texts;
    for (int lang = 0; lang < LANG_COUNT; ++lang) {
        texts.Build(lang);
        EXPECT_FALSE(texts.Text(72).empty());
        EXPECT_EQ(texts.Text(73), texts.Text(72)) << lang;
    }
}

TEST_F(RuntimeTextsTest, PickupErrorIsPaddedToFortyCharactersInEveryLanguage)
{
    EXPECT_EQ(RuntimeTexts::TextIn(37, LANG_ENGLISH), "Pick up system error                    ");
    for (int lang = 0; lang < LANG_COUNT; ++lang) {
        const std::string t = RuntimeTexts::TextIn(37, lang);
        EXPECT_EQ(utf8Chars(t), RuntimeTexts::PICKUP_ERROR_WIDTH) << lang;
        EXPECT_NE(t.front(), ' ');
    }
}

TEST_F(RuntimeTextsTest, UnfilledAndOutOfRangeNumbersAreEmpty)
{
    RuntimeTexts texts;
    for (int n : unfilledTexts)
        EXPECT_EQ(texts.Text(n), "") << n;
    for (int n : { INT_MIN, -1, 0, 13, 91, 1000, INT_MAX }) {
        EXPECT_EQ(texts.Text(n), "") << n;
        EXPECT_EQ(RuntimeTexts::TextIn(n, LANG_GERMAN), "") << n;
    }
}

TEST_F(RuntimeTextsTest, EveryOtherTextIsFilledInEveryLanguage)
{
    const std::set<int> unfilled(std::begin(unfilledTexts), std::end(unfilledTexts));
    for (int lang = 0; lang < LANG_COUNT; ++lang) {
        for (int n = RuntimeTexts::FIRST_TEXT; n <= RuntimeTexts::LAST_TEXT; ++n) {
            if (n == 14 || unfilled.count(n))
                continue;
            EXPECT_FALSE(RuntimeTexts::TextIn(n, lang).empty()) << n << " " << lang;
        }
    }
}

TEST_F(RuntimeTextsTest, TableRowsAreOrderedAndWellFormed)
{
    int previous = RuntimeTexts::FIRST_TEXT - 1;
    for (const RuntimeTextRow& row : RuntimeTextTable()) {
        EXPECT_GT(row.number, previous);
        EXPECT_LE(row.number, RuntimeTexts::LAST_TEXT);
        previous = row.number;
        // The same text resolved as any other LangString agrees up to the trailing white space LangText drops.
        for (int lang = 0; lang < LANG_COUNT; ++lang)
            EXPECT_EQ(trimmed(LangText(row.text, lang)), trimmed(RuntimeTexts::TextIn(row.number, lang))) << row.number;
    }
    EXPECT_TRUE(reports.empty());
}

TEST_F(RuntimeTextsTest, BuildFollowsTheLanguage)
{
    RuntimeTexts texts;
    EXPECT_EQ(texts.Language(), LANG_ENGLISH);
    EXPECT_EQ(texts.Text(18), "Advance");

    texts.Build(LANG_GERMAN);
    EXPECT_EQ(texts.Language(), LANG_GERMAN);
    EXPECT_EQ(texts.Text(18), "Vorzündung");
    EXPECT_EQ(texts.Text(23), "NEIN");

    LanguageIndex = LANG_CZECH;
    texts.Build();
    EXPECT_EQ(texts.Text(18), "Předstih");
    EXPECT_EQ(texts.Text(25), "PŘIPRAVEN");

    texts.Build(7);
    EXPECT_EQ(texts.Language(), LANG_ENGLISH);
    EXPECT_EQ(texts.Text(39), "is running");
}

TEST_F(RuntimeTextsTest, ConstructedInTheCurrentLanguage)
{
    LanguageIndex = LANG_GERMAN;
    RuntimeTexts texts;
    EXPECT_EQ(texts.Text(40), "kein Signal");
}
