#include "lang/RuntimeTexts.h"

#include "lang/LangString.h"

#include <algorithm>
#include <string_view>

namespace {

constexpr int POTENTIOMETER_CORRECTION_TEXT = 72;
constexpr int POTENTIOMETER_CORRECTION_COPY = 73;

// clang-format off
constexpr RuntimeTextRow runtimeTextRows[] = {
    {14, ""},
    {16, "###Unmatched version of PC and Ignition programs!##Programm der Zündung ist nicht kompatibel mit dem Programm am PC!##Neshodné verze programu v PC a zapalování!"},
    {17, "###Unmatched subversion of PC and Ignition programs!##Inkongruente SubVersion PC und der Zündung!##Neshodné podverze programu v PC a zapalování!"},
    {18, "###Advance##Vorzündung##Předstih"},
    {19, "###Base##Basis##Základní"},
    {20, "###Number of Programming##Programmierungsanzahl##Počet programování"},
    {21, "###Blocking##Blockierung##Blokování"},
    {22, "###YES##JA##ANO"},
    {23, "###NO##NEIN##NE"},
    {24, "###SOFT##MILDE##MĚKKÝ"},
    {25, "###READY##BEREIT##PŘIPRAVEN"},
    {26, "###error##Fehler##chyba"},
    {29, "###, positive polarity##, positive Polarität##, kladná polarita"},
    {30, "###, negative polarity##, negative Polarität##, záporná polarita"},
    {31, "###Com opening error!##Falscher COM-Anschlußes!##Chyba při otevírání portu Com!"},
    {32, "###Open file error!##Fehler beim öffnen der Datei!##Chyba při otevírání souboru!"},
    {33, "###Do you want default setting?##Wollen Sie Standardeinstellungen öffnen?##Chcete nastavit základní hodnoty?"},
    {34, "###Older or another version of *.ign file!\n\n"
         "Some parameters won't be changed or will be set to default value.\n"
         "They are parameters which are not in older version or have another structure."
         "##Älter oder andere Version von Datendatei *.ign!\n\n"
         "Einige Kenndaten werden nicht geändert oder werden implizit Wert gestellt.\n"
         "Sie sind die Kenndaten, die in älter Version nicht sind oder andere Struktur haben"
         "##Starší nebo odlišná verze souboru *.ign!\n\n"
         "Některé parametry budou nezměněny nebo nataveny na základní hodnotu.\n"
         "Jsou to parametry, které v této verzi nebyly obsaženy nebo měly jinou strukturu."},
    {35, "###Unmatched version of *.ign file!##Datendatei *.ign ist nicht kompatiebel!##Neshodná verze souboru *.ign!"},
    {36, "###CROSS TRANSFORMATION OF IGN FILE !##CROSS TRANSFORMATION OF IGN FILE !##MEZIDRUHOVA TRANSFORMACE IGN SOUBORU !"},
    {37, "###Pick up system error##Fehler im Gebersystem##Chyba snímacího systému"},
    {38, "###Pick-up (CKPS)##Geber(CKPS)##Snímač (CKPS)"},
    {39, "###is running##läuft##pracuje"},
    {40, "###no signal##kein Signal##bez signálu"},
    {41, "###Servo =##Servo =##Servo ="},
    {42, "###desired =##Sollspanung =##požadované ="},
    {45, "###Quickshift##Schaltautomat##Quickshift"},
    {46, "###Input##Eingang##Vstup"},
    {48, "###Kill switch##Not Aus##Kill switch"},
    {49, "###Open##Offen##Otevřený"},
    {50, "###Grounded##zu Erde##Uzeměn"},
    {51, "###Dwell=##Schließzeit=##Doba nabíjení="},
    {52, "###Fuel pump##Kraftstoffpumpe##Palivová pumpa"},
    {53, "###Gear shift light##Schaltblitz##Kontrolka řazení"},
    {54, "###Power jet##Power jet##Power jet"},
    {55, "###Special out##Sonderausgang##Specielní výstup"},
    {56, "###Not used##Aus##Nepoužit"},
    {57, "###Dwell##Schließzeit##Doba nabíjení"},
    {58, "###opt.##opt.##opt."},
    {59, "###This is a new installation of set software for Motravex ignitions.\n"
         "You have to read actual setting of ignition before first programming of unit (the Read button),\n"
         "or open valid .ign file (e.g. from attached CD) !"
         "####Toto je nová instalace setovacího programu pro zapalování Motravex.\n"
         "Před prvním naprogramováním jednotky musíte stav připojené jednotky vyčíst (tlačítkem číst),\n"
         "nebo otevřít .ign soubor s odpovídajícím nastavením (například z přiloženého CD) !"},
    {60, "###There is a different bike chosen in set software and in ignition unit,\n"
         " are you sure to reprogram it ?\n"
         "####V setovacím programu je vybrán jiný motocykl než aktuálně nastavený v zapalování,\n"
         " jste si jist že chcete provést v zapalování tuto změnu ?"},
    {61, "###Warning##Warning##Varování"},
    {62, "###Attention##Attention##Upozornění"},
    {63, "###Retard##Spätzündung##Snížení předstihu"},
    {64, "###N2O Retard##N2O Spätzündung##Snížení předstihu N2O"},
    {65, "###Start limiter##Startbegrenzer##Startovací omezovač"},
    {66, "###Limiter##Begrenzer##Omezovač"},
    {67, "###, polarity error##, Fehler Polarität##, chyba polarity"},
    {68, "###Correction for cylinder:##Korrektur für Zylinder:##Korekce pro válec:"},
    {69, "###Hour meter##Betriebstundenzähler##Počítadlo provozních hodin"},
    {70, "###[h:mm]##[s:mm]##[h:mm]"},
    {71, "###Potentiometer##Potentiometer##Potenciometr"},
    {72, "###Potentiometer correction##Potentiometerkorrektur##Korekce potenciometrem"},
    {74, "###Advance correction##Vorzündungskorrektur##Korekce předstihu"},
    {75, "###Start Limiter correction##Startbegrenzerkorrektur##Korekce startovacího omezovače"},
    {76, "###Gear shift light correction##Schaltblitzkorrektur##Korekce kontrolky řazení"},
    {77, "###Correction of acc map switch##Korrektur der Kennfeldumschaltung bei Beschleunigung##Korekce přepnutí mapy při zrychlení"},
    {78, "###Speed##Geschwindigkeit##Rychlost"},
    {79, "###Gear##Gang##Převodový stupeň"},
    {80, "###Gear voltage##Gangspannung##Napětí převodového stupně"},
    {81, "###Acceleration##Beschleunigung##Zrychlení"},
    {82, "###2nd advance chart##2.Vorzündung mappe##2. mapa předstihu"},
    {83, "N2O"},
    {84, "###COM &offline##COM &offline##COM &odpojen"},
    {85, "###COM &auto##COM &auto##COM &automaticky"},
    {90, "Tacho Lambda"},
};
// clang-format on

// The variant of a LangString exactly as written: unlike LangText nothing is trimmed, because some
// messages end with a deliberate line break.
std::string exactVariant(std::string_view text, int language)
{
    if (!text.starts_with("###"))
        return std::string(text);
    text.remove_prefix(3);
    std::array<std::string_view, LANG_COUNT> variants {};
    int count = 0;
    while (count < LANG_COUNT) {
        const size_t sep = text.find("##");
        variants[static_cast<size_t>(count++)] = text.substr(0, sep);
        if (sep == std::string_view::npos)
            break;
        text.remove_prefix(sep + 2);
    }
    if (language < 0 || language >= count)
        return std::string(variants[0]);
    const std::string_view v = variants[static_cast<size_t>(language)];
    return std::string(v.empty() || v == ".." ? variants[0] : v);
}

size_t utf8Chars(const std::string& s)
{
    return static_cast<size_t>(std::count_if(s.begin(), s.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

const RuntimeTextRow* findRow(int n)
{
    for (const RuntimeTextRow& row : runtimeTextRows)
        if (row.number == n)
            return &row;
    return nullptr;
}

int resolveLanguage(int language)
{
    if (language == -1)
        language = LanguageIndex;
    return language < 0 || language >= LANG_COUNT ? LANG_ENGLISH : language;
}

} // namespace

std::span<const RuntimeTextRow> RuntimeTextTable() { return runtimeTextRows; }

RuntimeTexts::RuntimeTexts() { Build(); }

void RuntimeTexts::Build(int lang)
{
    language_ = resolveLanguage(lang);
    for (int n = FIRST_TEXT; n <= LAST_TEXT; ++n)
        texts_[static_cast<size_t>(n - FIRST_TEXT)] = TextIn(n, language_);
}

const std::string& RuntimeTexts::Text(int n) const
{
    static const std::string empty;
    if (n < FIRST_TEXT || n > LAST_TEXT)
        return empty;
    return texts_[static_cast<size_t>(n - FIRST_TEXT)];
}

std::string RuntimeTexts::TextIn(int n, int lang)
{
    if (n == POTENTIOMETER_CORRECTION_COPY)
        n = POTENTIOMETER_CORRECTION_TEXT;
    const RuntimeTextRow* row = n >= FIRST_TEXT && n <= LAST_TEXT ? findRow(n) : nullptr;
    if (!row)
        return {};
    std::string text = exactVariant(row->text, resolveLanguage(lang));
    if (n == PICKUP_ERROR_TEXT) {
        const size_t chars = utf8Chars(text);
        if (chars < PICKUP_ERROR_WIDTH)
            text.append(PICKUP_ERROR_WIDTH - chars, ' ');
    }
    return text;
}
