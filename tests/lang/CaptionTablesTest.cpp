#include "lang/CaptionTables.h"
#include "lang/LanguageSwitch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Tables {
    const char* name;
    CaptionTableId id;
};
const Tables allTables[] = {
    { "menu", CaptionTableId::Menu },
    { "hint", CaptionTableId::Hint },
    { "caption", CaptionTableId::Caption },
};

struct GivenRow {
    CaptionTableId table;
    const char* control;
    const char* en;
    const char* de;
    const char* cs;
};

// Records what applying a table does, in order.
struct Recorder {
    std::vector<std::string> calls;
    std::map<std::string, std::string> text; // by "table:control"
    std::map<std::string, bool> checked;
    std::map<std::string, bool> visible;

    CaptionTarget target(const std::string& tag)
    {
        return {
            [this, tag](const char* c, const char* t) {
                calls.push_back(tag + ":" + c);
                text[tag + ":" + c] = t;
            },
            [this](const char* c, bool on) { checked[c] = on; },
            [this](const char* c, bool on) { visible[c] = on; },
        };
    }
};

class CaptionTablesTest : public testing::Test {
protected:
    void TearDown() override { LanguageIndex = LANG_ENGLISH; }
};

} // namespace

TEST_F(CaptionTablesTest, GivenRowsInEveryLanguage)
{
    const GivenRow rows[] = {
        { CaptionTableId::Menu, "MenuFile", "&File", "&Datei", "&Soubor" },
        { CaptionTableId::Menu, "MenuOpenPage", "Open for ac&tual page", "Öffnen für aktual S&eite",
            "&Otevřít pro aktuální záložku" },
        { CaptionTableId::Menu, "MenuPrintAll", "Print a&ll", "Drucken a&lles", "Tisk &vše" },
        { CaptionTableId::Menu, "ButtonRead", "&Read", "&Lesen", "Čí&st" },
        { CaptionTableId::Menu, "ButtonProgram", "&Program", "&Programmieren", "&Programovat" },
        { CaptionTableId::Menu, "MenuZpet", "&Undo", "&Zurück", "&Zpet" },
        { CaptionTableId::Menu, "MenuCzech", "&Czech - Česky", "&Tschechisch - Česky", "Če&sky" },
        { CaptionTableId::Menu, "MenuAbout", "&About...", "&Über Programm...", "&O programu..." },
        { CaptionTableId::Hint, "LabelVerze1", "Version of program in ignition", "Programmversion der Zündung",
            "Verze programu v zapalování" },
        { CaptionTableId::Hint, "MenuOpen", "Open file with parameters", "Kenndatendatei öffnen",
            "Otevření souboru s parametry" },
        { CaptionTableId::Hint, "ButtonVerify", "Compare set parameters  with parameters of ignition",
            "Kenndaten mit Zündungskenndaten vergleichen",
            "Ověření zda  nastavené parametry souhlasí s parametry naprogramovanými do zapalování" },
        { CaptionTableId::Hint, "MenuNew", "Set default parameters ", "Neue Kenndatendatei erstellen",
            "Nastavení výchozích parametrů" },
        { CaptionTableId::Hint, "MenuGerman", "Set the language: English, German or Czech",
            "Sprache wählen: Englisch, Deutsch oder Tschechisch",
            "Nastavení jazyka na angličtinu, němčinu nebo češtinu" },
        { CaptionTableId::Hint, "MenuCom", "Set number of com", "Com-Anschluß festlegen",
            "Nastavení čísla sériového portu (Com) " },
        { CaptionTableId::Caption, "CheckBoxProgHned", "Programming after change", "Programmierung nach Änderung",
            "Programování po změně" },
        { CaptionTableId::Caption, "TabSheetRuzne", "Miscellaneous", "Verschiedene", "Různé" },
        { CaptionTableId::Caption, "TabSheetBike", "Bike", "Motorrad", "Motocykl" },
        { CaptionTableId::Caption, "TabSheetAdvance", "Advance Map", "Vorzündung Karte", "Mapa předstihu" },
        { CaptionTableId::Caption, "LabelLimiter", "Limiter [rpm]", "Begrenzer [rpm]", "Omezovač [rpm]" },
        { CaptionTableId::Caption, "LabelStartLimiter", "Start limiter [rpm]", "Startbegrenzer [rpm]",
            "Startovací omezovač [rpm]" },
        { CaptionTableId::Caption, "LabelStartLimiterDelay", "Start limiter delay [ms]",
            "Startbegrenzer Verzögerung [ms]", "Zpoždění start. omezovače [ms]" },
        { CaptionTableId::Caption, "LabelRetard", "Retard [°]", "Spätzündung", "Snížení předstihu" },
        { CaptionTableId::Caption, "LabelHrana2", "2nd Edge", "2. Kante", "2. Hrana" },
        { CaptionTableId::Caption, "LabelSnimac2", "2nd Pick-up", "2. Geber", "2. Snímač" },
        { CaptionTableId::Caption, "GroupBoxPoti", "Potentiometer", "Potentiometer", "Potenciometr" },
        { CaptionTableId::Caption, "LabelPotencRozsah", "Range -/+", "Reichweite -/+", "Rozsah -/+" },
        { CaptionTableId::Caption, "LabelServoHyster", "1/P [mV]", "1/P [mV]", "1/P [mV]" },
        { CaptionTableId::Caption, "LabelKompenz", "Compensation ", "Kompensation ", "Kompenzace " },
    };
    for (const GivenRow& r : rows) {
        EXPECT_STREQ(CaptionFor(r.table, r.control, LANG_ENGLISH), r.en) << r.control;
        EXPECT_STREQ(CaptionFor(r.table, r.control, LANG_GERMAN), r.de) << r.control;
        EXPECT_STREQ(CaptionFor(r.table, r.control, LANG_CZECH), r.cs) << r.control;
    }
    const std::string special = CaptionFor(CaptionTableId::Caption, "GroupBoxSpecial", LANG_GERMAN);
    EXPECT_EQ(special, "Spezifikation der Synchronisierung - Achtung - Nur für Erfahrungsanwender!");
}

TEST_F(CaptionTablesTest, NumberedRowsAreExpandedOnePerControl)
{
    const std::pair<const char*, const char*> rows[] = {
        { "RadioGroupInput1", "Multifunction input 1 (pin 8)" },
        { "RadioGroupInput2", "Multifunction input 2 (pin 19)" },
        { "RadioGroupInput3", "Multifunction input 3" },
        { "RadioGroupInput6", "Multifunction input 6" },
        { "CheckBoxInverseInput5", "Inverse polarity" },
        { "RadioButtonDwellMode0", "Short" },
        { "RadioButtonDwellMode3", "Auto" },
        { "RadioButtonPoti4", "Acceleration switch of advance" },
        { "GroupBoxPalec3", "Channel3" },
        { "LabelPalec4Zac", "Maximum advance" },
        { "LabelPalec1End", "Start advance" },
        { "LabelPOutHyster2", "Hysteresis [RPM]" },
        { "ButtonTestIgn2", "&Ignition2" },
        { "LabelRetardT", "Build up Time [ms]" },
        { "LabelQuickshiftTime", "Quickshift time [ms]" },
    };
    for (const auto& [control, en] : rows)
        EXPECT_STREQ(CaptionFor(CaptionTableId::Caption, control, LANG_ENGLISH), en) << control;
}

TEST_F(CaptionTablesTest, MonitorInputLabelsUseTheInputText)
{
    for (int lang = 0; lang < LANG_COUNT; ++lang)
        for (int i = 1; i <= 6; ++i) {
            const std::string control = "LabelMonInput" + std::to_string(i) + "In";
            const std::string expected = RuntimeTexts::TextIn(46, lang) + " " + std::to_string(i) + ": ---";
            EXPECT_EQ(CaptionFor(CaptionTableId::Caption, control, lang), expected);
        }
}

TEST_F(CaptionTablesTest, EveryRowHasThreeVariantsOrAValidCheckRule)
{
    for (const Tables& t : allTables)
        for (const CaptionRow& row : CaptionTableById(t.id)) {
            ASSERT_NE(row.control, nullptr);
            EXPECT_FALSE(std::string(row.control).empty());
            if (row.action == CaptionAction::CheckForLanguage) {
                EXPECT_GE(row.checkedLanguage, 0) << row.control;
                EXPECT_LT(row.checkedLanguage, LANG_COUNT) << row.control;
                continue;
            }
            for (const char* v : row.text) {
                ASSERT_NE(v, nullptr) << t.name << " " << row.control;
                EXPECT_NE(v[0], '\0') << t.name << " " << row.control;
                // A variant is used as it stands, so it must not be a LangString itself.
                EXPECT_NE(v[0], '#') << t.name << " " << row.control;
            }
        }
}

TEST_F(CaptionTablesTest, NoControlIsGivenTheSameKindOfTextTwice)
{
    for (const Tables& t : allTables) {
        std::set<std::pair<std::string, CaptionAction>> seen;
        for (const CaptionRow& row : CaptionTableById(t.id))
            EXPECT_TRUE(seen.emplace(row.control, row.action).second) << t.name << " " << row.control;
    }
}

TEST_F(CaptionTablesTest, CaptionTableKeepsTheOrderOfApplication)
{
    const char* order[] = { "CheckBoxProgHned", "LabelDwellCalibError", "TabSheetRuzne", "RadioButtonDwellMode3",
        "RadioGroupInput1", "RadioGroupInput6", "CheckBoxInverseInput1", "LabelMonInput6In", "GroupBoxPoti",
        "RadioButtonPoti4", "TabSheetBike", "GroupBoxSpecial", "GroupBoxPalec4", "LabelPalec1Zac", "LabelPalec4End",
        "LabelSnimac2", "TabSheetAdvance", "LabelServoHyster", "LabelPOutHyster4", "TabSheet_Gear", "LabelGearKorAdv",
        "LabelGearKorLimiter", "CheckBoxGas", "TabSheet_Ladeni", "ButtonTestIgn4", "GroupBoxTestIgn", "LabelHourMeter",
        "GroupBoxLambdaBar", "LabelLambdaBar0", "LabelLambdaBar3", "GroupBoxProprietary" };
    const auto table = CaptionTable();
    auto position = [&](const char* control) {
        return std::find_if(table.begin(), table.end(), [&](const CaptionRow& r) {
            return std::string(r.control) == control;
        }) - table.begin();
    };
    for (size_t i = 1; i < std::size(order); ++i)
        EXPECT_LT(position(order[i - 1]), position(order[i])) << order[i];
    EXPECT_EQ(std::string(table.front().control), "CheckBoxProgHned");
    EXPECT_EQ(std::string(table.back().control), "GroupBoxProprietary");
}

TEST_F(CaptionTablesTest, CaptionForCurrentUnknownAndOutOfRangeLanguage)
{
    LanguageIndex = LANG_GERMAN;
    EXPECT_STREQ(CaptionFor(CaptionTableId::Menu, "MenuExit"), "&Beenden");
    EXPECT_STREQ(CaptionFor(CaptionTableId::Menu, "MenuExit", 5), "E&xit");
    EXPECT_STREQ(CaptionFor(CaptionTableId::Menu, "MenuExit", -3), "E&xit");
    EXPECT_EQ(CaptionFor(CaptionTableId::Menu, "NoSuchControl"), nullptr);
    EXPECT_EQ(CaptionFor(CaptionTableId::Caption, "MenuExit"), nullptr);
    EXPECT_EQ(CaptionFor(CaptionTableId::Hint, ""), nullptr);
}

TEST_F(CaptionTablesTest, MenuTableChecksTheItemOfTheLanguageAndShowsPrintAll)
{
    for (int lang = 0; lang < LANG_COUNT; ++lang) {
        Recorder r;
        ApplyCaptionTable(MenuTable(), r.target("menu"), lang);
        EXPECT_EQ(r.checked["MenuEnglish"], lang == LANG_ENGLISH);
        EXPECT_EQ(r.checked["MenuGerman"], lang == LANG_GERMAN);
        EXPECT_EQ(r.checked["MenuCzech"], lang == LANG_CZECH);
        EXPECT_EQ(r.checked.size(), 3u);
        EXPECT_EQ(r.visible, (std::map<std::string, bool> { { "MenuPrintAll", true } }));
        EXPECT_EQ(r.text["menu:MenuPrintAll"], CaptionFor(CaptionTableId::Menu, "MenuPrintAll", lang));
    }
}

TEST_F(CaptionTablesTest, ApplyingWithoutOptionalCallbacksOnlySetsTexts)
{
    std::vector<std::string> names;
    ApplyCaptionTable(MenuTable(), { [&](const char* c, const char*) { names.push_back(c); }, {}, {} }, LANG_CZECH);
    EXPECT_EQ(names.size(), MenuTable().size() - 3);
    ApplyCaptionTable(MenuTable(), {}, LANG_CZECH);
}

TEST_F(CaptionTablesTest, SwitchingToGermanRebuildsTextsAndAppliesAllTablesInOrder)
{
    Recorder r;
    const LanguageTargets targets { r.target("menu"), r.target("hint"), r.target("caption"),
        [&] { r.calls.push_back("title"); } };
    RuntimeTexts texts;

    BuildRuntimeTexts(texts, targets);
    EXPECT_EQ(r.text["menu:MenuFile"], "&File");
    EXPECT_TRUE(r.checked["MenuEnglish"]);

    LanguageIndex = LANG_GERMAN;
    r = {};
    BuildRuntimeTexts(texts, targets);

    EXPECT_EQ(texts.Text(22), "JA");
    EXPECT_EQ(r.text["menu:MenuFile"], "&Datei");
    EXPECT_EQ(r.text["menu:MenuLanguage"], "&Sprache");
    EXPECT_EQ(r.text["hint:MenuLanguage"], "Sprache wählen: Englisch, Deutsch oder Tschechisch");
    EXPECT_EQ(r.text["caption:TabSheetBike"], "Motorrad");
    EXPECT_TRUE(r.checked["MenuGerman"]);
    EXPECT_FALSE(r.checked["MenuEnglish"]);

    const size_t menuRows = MenuTable().size() - 3;
    ASSERT_EQ(r.calls.size(), menuRows + HintTable().size() + 1 + CaptionTable().size());
    EXPECT_EQ(r.calls.front(), "menu:MenuFile");
    EXPECT_EQ(r.calls[menuRows], "hint:LabelVerze1");
    EXPECT_EQ(r.calls[menuRows + HintTable().size()], "title");
    EXPECT_EQ(r.calls.back(), "caption:GroupBoxProprietary");
}

TEST_F(CaptionTablesTest, ApplyCaptionsUpdatesTheTitleFirst)
{
    Recorder r;
    ApplyCaptions({ {}, {}, r.target("caption"), [&] { r.calls.push_back("title"); } }, LANG_CZECH);
    ASSERT_EQ(r.calls.size(), CaptionTable().size() + 1);
    EXPECT_EQ(r.calls.front(), "title");
    EXPECT_EQ(r.text["caption:TabSheetRuzne"], "Různé");
}
