#include "lang/CaptionTables.h"

namespace {

using Variants = std::array<const char*, LANG_COUNT>;

constexpr CaptionRow checkFor(const char* control, int language)
{
    return { control, {}, CaptionAction::CheckForLanguage, language };
}

// clang-format off
constexpr CaptionRow menuRows[] = {
    {"MenuFile", {"&File", "&Datei", "&Soubor"}},
    {"MenuNew", {"&New", "&Neu", "&Nový"}},
    {"MenuNewPage", {"&New for actual page", "&Neu für aktual Seite", "&Nový pro aktuální záložku"}},
    {"MenuOpen", {"&Open", "&Öffnen", "&Otevřít"}},
    {"MenuOpenExeDir", {"Open from exe d&ir", "Öffnen aus e&xe dir", "Otevřít z e&xe dir"}},
    {"MenuOpenPage", {"Open for ac&tual page", "Öffnen für aktual S&eite", "&Otevřít pro aktuální záložku"}},
    {"MenuOpenReference", {"Open re&ference...", "Re&ferenz öffnen...", "Otevřít re&ferenci..."}},
    {"MenuClearReference", {"Clear referen&ce", "Referen&z schließen", "Zavřít referen&ci"}},
    {"MenuSave", {"&Save", "&Speichern", "&Uložit"}},
    {"MenuSaveAs", {"Save &as...", "Speichern &unter...", "Uložit &jako..."}},
    {"MenuSaveExeDir", {"Save to exe di&r", "Speichern in exe di&r", "Uložit do exe di&r"}},
    {"MenuPrint", {"&Print", "&Drucken", "&Tisk"}},
    {"MenuPrintAll", {"Print a&ll", "Drucken a&lles", "Tisk &vše"}, CaptionAction::SetTextAndShow},
    {"MenuPrintMaps", {"Print &maps", "&Kennfelder drucken", "Tisk &map"}},
    {"MenuPrintPreview", {"Print pre&view", "Druck&vorschau", "Ná&hled tisku"}},
    {"MenuExportPdf", {"Export P&DF...", "Als P&DF exportieren...", "Export do P&DF..."}},
    {"MenuExit", {"E&xit", "&Beenden", "&Konec"}},
    {"MenuCom", {"&Com", "&COM-Anschluß", "&Port"}},
    {"MenuDevice", {"&Ignition", "&Zündung", "&Zapalování"}},
    {"MenuRead", {"&Read", "&Lesen", "Čí&st"}},
    {"ButtonRead", {"&Read", "&Lesen", "Čí&st"}},
    {"MenuVerify", {"&Verify", "&Vergleichen", "&Verifikovat"}},
    {"ButtonVerify", {"&Verify", "&Vergleichen", "&Verifikovat"}},
    {"MenuProgram", {"&Program", "&Programmieren", "&Programovat"}},
    {"ButtonProgram", {"&Program", "&Programmieren", "&Programovat"}},
    {"MenuTools", {"&Tools", "&Werkzeuge", "Po&můcky"}},
    {"MenuAdvanceMinus", {"&Advance -", "&Vorzündung -", "&Předstih -"}},
    {"MenuAdvancePlus", {"Ad&vance +", "V&orzündung +", "Př&edstih +"}},
    {"MenuCellEdit", {"&Selected cells", "Aus&gewählte Zellen", "Vybrané &buňky"}},
    {"MenuCellSet", {"&Set to value...", "Auf &Wert setzen...", "&Nastavit na hodnotu..."}},
    {"MenuCellAdd", {"&Add value...", "Wert &addieren...", "&Přičíst hodnotu..."}},
    {"MenuCellScale", {"S&cale by percent...", "Prozentual &skalieren...", "Změnit v &procentech..."}},
    {"MenuCellSmooth", {"S&mooth", "&Glätten", "&Vyhladit"}},
    {"MenuZpet", {"&Undo", "&Zurück", "&Zpet"}},
    {"MenuZnovu", {"&Redo", "Wi&eder", "Z&novu"}},
    {"MenuMonitorPlayer", {"&Monitor player", "&Monitor-Player", "Přehrávač &monitoru"}},
    {"MenuLogViewer", {"&Log viewer", "&Protokollanzeige", "Pro&hlížeč záznamů"}},
    checkFor("MenuEnglish", LANG_ENGLISH),
    checkFor("MenuGerman", LANG_GERMAN),
    checkFor("MenuCzech", LANG_CZECH),
    {"MenuLanguage", {"&Language", "&Sprache", "&Jazyk"}},
    {"MenuEnglish", {"&English", "&Englisch - English", "&Anglicky - English"}},
    {"MenuGerman", {"&German - Deutsch", "&Deutsch", "&Německy - Deutsch"}},
    {"MenuCzech", {"&Czech - Česky", "&Tschechisch - Česky", "Če&sky"}},
    {"MenuHelp", {"&Help", "&Hilfe", "&Nápověda"}},
    {"MenuContens", {"&Contents...", "&Inhalt...", "&Obsah"}},
    {"MenuAbout", {"&About...", "&Über Programm...", "&O programu..."}},
};

constexpr Variants openHint = {"Open file with parameters", "Kenndatendatei öffnen", "Otevření souboru s parametry"};
constexpr Variants saveHint = {"Save parameters to file", "Kenndaten in Datei speichern", "Uložení parametrů do souboru"};
constexpr Variants printHint = {"Print parameters", "Kenndaten Drucken", "Tisk parametrů"};
constexpr Variants programHint = {"Programming  set parameters to ignition", "Kenndaten in die Zündung programmieren",
    "Programování nastavených parametrů do zapalování"};
constexpr Variants verifyHint = {"Compare set parameters  with parameters of ignition", "Kenndaten mit Zündungskenndaten vergleichen",
    "Ověření zda  nastavené parametry souhlasí s parametry naprogramovanými do zapalování"};
constexpr Variants readHint = {"Reading parameters from ignition", "Kenndaten aus Zündung lesen", "Čtení parametrů ze zapalování"};
constexpr Variants languageHint = {"Set the language: English, German or Czech",
    "Sprache wählen: Englisch, Deutsch oder Tschechisch", "Nastavení jazyka na angličtinu, němčinu nebo češtinu"};

constexpr CaptionRow hintRows[] = {
    {"LabelVerze1", {"Version of program in ignition", "Programmversion der Zündung", "Verze programu v zapalování"}},
    {"LabelVerze2", {"Date of program in ignition", "Datum des Programm in der Zündung", "Datum zhotovení programu v zapalování"}},
    {"LabelVerze3", {"Time of program in ignition", "Programmierzeitpunkt der Zündung", "Čas zhotovení programu v zapalování"}},
    {"SpeedButtonOpen", openHint},
    {"MenuOpen", openHint},
    {"SpeedButtonNew", {"Set default parameters", "Neue Kenndatendatei erstellen", "Nastavení výchozích parametrů"}},
    {"SpeedButtonSave", saveHint},
    {"MenuSave", saveHint},
    {"MenuSaveAs", saveHint},
    {"SpeedButtonPrint", printHint},
    {"MenuPrint", printHint},
    {"ButtonProgram", programHint},
    {"MenuProgram", programHint},
    {"ButtonVerify", verifyHint},
    {"MenuVerify", verifyHint},
    {"ButtonRead", readHint},
    {"MenuRead", readHint},
    {"MenuNew", {"Set default parameters ", "Neue Kenndatendatei erstellen", "Nastavení výchozích parametrů"}},
    {"MenuExit", {"End of program", "Programm beenden", "Ukončení programu"}},
    {"MenuLanguage", languageHint},
    {"MenuEnglish", languageHint},
    {"MenuGerman", languageHint},
    {"MenuCzech", languageHint},
    {"CheckBoxProgHned", {"Programming at once after change", "Programmieren sofort nach dem änderung", "Programování ihned po změně"}},
    {"MenuCom", {"Set number of com", "Com-Anschluß festlegen", "Nastavení čísla sériového portu (Com) "}},
};


constexpr Variants inversePolarity = {"Inverse polarity", "Umgekehrte Polarität", "Obrácená polarita"};
constexpr Variants pickupPolarity = {"Polarity of pick-up", "Polarität des Gebers", "Polarita snímače"};
constexpr Variants maximumAdvance = {"Maximum advance", "Maximale Vorzündung", "Maximální předstih"};
constexpr Variants startAdvance = {"Start advance", "Startvorzündung", "Startovací předstih"};
constexpr Variants poutHysteresis = {"Hysteresis [RPM]", "Hysterese [RPM]", "Hystereze [RPM]"};
constexpr Variants quickshiftTime = {"Quickshift time [ms]", "Schaltautomat-Zeit [ms]", "Doba quickshiftu [ms]"};
constexpr Variants delayMs = {"Delay [ms]", "Verzögerung [ms]", "Zpoždění [ms]"};
constexpr Variants buildUpTime = {"Build up Time [ms]", "Aufbauzeit [ms]", "Doba náběhu [ms]"};

constexpr CaptionRow captionRows[] = {
    {"CheckBoxProgHned", {"Programming after change", "Programmierung nach Änderung", "Programování po změně"}},
    {"LabelDwellCalibError", {"Stored dwell calibration value out of limits",
        "Gespeicherter Kalibrierwert der Schließzeit außerhalb der Grenzen",
        "Uložená kalibrační hodnota doby nabíjení je mimo meze"}},
    {"TabSheetRuzne", {"Miscellaneous", "Verschiedene", "Různé"}},
    {"LabelLimiter", {"Limiter [rpm]", "Begrenzer [rpm]", "Omezovač [rpm]"}},
    {"LabelSoftLimiter", {"Soft limiter [rpm]", "Weicher Begrenzer [rpm]", "Měkký omezovač [rpm]"}},
    {"LabelStartLimiterMin", {"Start soft limiter [rpm]", "Weicher Startbegrenzer [rpm]", "Měkký startovací omezovač [rpm]"}},
    {"LabelStartLimiter", {"Start limiter [rpm]", "Startbegrenzer [rpm]", "Startovací omezovač [rpm]"}},
    {"LabelStartLimiterDelay", {"Start limiter delay [ms]", "Startbegrenzer Verzögerung [ms]", "Zpoždění start. omezovače [ms]"}},
    {"LabelRetard", {"Retard [°]", "Spätzündung", "Snížení předstihu"}},
    {"GroupDwell", {"Dwell", "Schließzeit", "Doba nabíjení"}},
    {"RadioButtonDwellMode0", {"Short", "Kurz", "Krátká"}},
    {"RadioButtonDwellMode1", {"Long", "Lang", "Dlouhá"}},
    {"RadioButtonDwellMode2", {"Manual", "Manuell", "Ruční"}},
    {"RadioButtonDwellMode3", {"Auto", "Automatisch", "Automatická"}},
    {"CheckBoxInNeutralSs", {"Inputs for neutral side and sidestand", "Eingänge für Leerlauf und Seitenständer",
        "Vstupy pro neutrál a boční stojan"}},
    {"RadioGroupTpsIap", {"Sensor", "Sensor", "Snímač"}},
    {"LabelKompenz", {"Compensation ", "Kompensation ", "Kompenzace "}},
    {"LabelDwellTime", {"Dwell time [us]", "Schließzeit [us]", "Doba nabíjení [us]"}},
    {"LabelDwellCor", {"Dwell correction [%]", "Schließzeitkorrektur [%]", "Korekce doby nabíjení [%]"}},
    {"LabelDwellDyn", {"Dwell dynamic addition [%]", "Dynamischer Schließzeitzuschlag [%]",
        "Dynamické prodloužení doby nabíjení [%]"}},
    {"LabelDwellMaxTime", {"Max. dwell time [us]", "Max. Schließzeit [us]", "Max. doba nabíjení [us]"}},
    {"LabelDwellMaxRPMLobe", {"Max rpm for dwell by lobe [rpm]", "Max. Drehzahl für Schließzeit nach Nocken [rpm]",
        "Max. otáčky pro nabíjení podle palce [rpm]"}},
    {"RadioGroupInput1", {"Multifunction input 1 (pin 8)", "Multifunktionseingang 1 (Pin 8)", "Multifunkční vstup 1 (pin 8)"}},
    {"RadioGroupInput2", {"Multifunction input 2 (pin 19)", "Multifunktionseingang 2 (Pin 19)", "Multifunkční vstup 2 (pin 19)"}},
    {"RadioGroupInput3", {"Multifunction input 3", "Multifunktionseingang 3", "Multifunkční vstup 3"}},
    {"RadioGroupInput4", {"Multifunction input 4", "Multifunktionseingang 4", "Multifunkční vstup 4"}},
    {"RadioGroupInput5", {"Multifunction input 5", "Multifunktionseingang 5", "Multifunkční vstup 5"}},
    {"RadioGroupInput6", {"Multifunction input 6", "Multifunktionseingang 6", "Multifunkční vstup 6"}},
    {"CheckBoxInverseInput1", inversePolarity},
    {"CheckBoxInverseInput2", inversePolarity},
    {"CheckBoxInverseInput3", inversePolarity},
    {"CheckBoxInverseInput4", inversePolarity},
    {"CheckBoxInverseInput5", inversePolarity},
    {"CheckBoxInverseInput6", inversePolarity},
    // The monitor replaces these with the live state; until then they read "<text 46> <n>: ---".
    {"LabelMonInput1In", {"Input 1: ---", "Eingang 1: ---", "Vstup 1: ---"}},
    {"LabelMonInput2In", {"Input 2: ---", "Eingang 2: ---", "Vstup 2: ---"}},
    {"LabelMonInput3In", {"Input 3: ---", "Eingang 3: ---", "Vstup 3: ---"}},
    {"LabelMonInput4In", {"Input 4: ---", "Eingang 4: ---", "Vstup 4: ---"}},
    {"LabelMonInput5In", {"Input 5: ---", "Eingang 5: ---", "Vstup 5: ---"}},
    {"LabelMonInput6In", {"Input 6: ---", "Eingang 6: ---", "Vstup 6: ---"}},
    {"GroupBoxPoti", {"Potentiometer", "Potentiometer", "Potenciometr"}},
    {"LabelPotencRozsah", {"Range -/+", "Reichweite -/+", "Rozsah -/+"}},
    {"RadioButtonPoti0", {"Off", "Aus", "Vypnuto"}},
    {"RadioButtonPoti1", {"Advance", "Vorzündung", "Předstih"}},
    {"RadioButtonPoti2", {"Start Limiter", "Startbegrenzer", "Startovací omezovač"}},
    {"RadioButtonPoti3", {"Gear shift light", "Schaltblitz", "Kontrolka řazení"}},
    {"RadioButtonPoti4", {"Acceleration switch of advance", "Umschaltung der Vorzündung bei Beschleunigung",
        "Přepnutí předstihu při zrychlení"}},
    {"CheckBoxFourStrokeIgn", {"Ignition only during compression stroke (Four stroke mode)",
        "Zündung nur im Verdichtungstakt (Viertaktmodus)", "Zapalování jen v kompresním zdvihu (čtyřtaktní režim)"}},
    {"GroupBoxAcc", {"Switching into 2nd advance chart:", "Umschalten auf 2. Vorzündungskennfeld:",
        "Přepnutí na 2. mapu předstihu:"}},
    {"LabelMap2Akcel", {"Acc. thres. [rpm/s]", "Beschl.-Schwelle [rpm/s]", "Práh zrychlení [rpm/s]"}},
    {"RadioGroupCidloLambdaMode", {"Type of lambda sensor", "Typ der Lambdasonde", "Typ lambda sondy"}},
    {"TabSheetBike", {"Bike", "Motorrad", "Motocykl"}},
    {"LabelBike", {"Motorbike type", "Motorradtyp", "Typ motocyklu"}},
    {"GroupBoxRpm", {"Tachometer output", "Drehzahlmesserausgang", "Výstup otáčkoměru"}},
    {"LabelRpmPulsu", {"Pulses per revolution", "Impulse pro Umdrehung", "Pulzů na otáčku"}},
    {"LabelRpmKorekce", {"Correction [%]", "Korrektur [%]", "Korekce [%]"}},
    {"RadioGroupPickup1Polarita", pickupPolarity},
    {"RadioGroupPickup2Polarita", pickupPolarity},
    {"CheckBoxZamenaPickup", {"Pickups interchange (pin 9 and 20)", "Geber vertauschen (Pin 9 und 20)",
        "Záměna snímačů (pin 9 a 20)"}},
    {"CheckBoxNehlidaPalec", {"No polarity check", "Keine Polaritätsprüfung", "Nehlídat polaritu"}},
    {"CheckBoxCrossBlock", {"Interlock input", "Verriegelungseingang", "Blokovací vstup"}},
    {"CheckBoxPredPalec", {"Spark possible before virtual lobe", "Zündfunke vor virtuellem Nocken möglich",
        "Jiskra možná před virtuálním palcem"}},
    {"CheckBoxSpecStart", {"Lower advance by start (next edge)", "Geringere Vorzündung beim Start (nächste Flanke)",
        "Nižší předstih při startu (další hrana)"}},
    {"LabelSpecStartPerc", {"Lower advance by start [%]", "Geringere Vorzündung beim Start [%]",
        "Nižší předstih při startu [%]"}},
    {"CheckBoxSpecDwellByStart", {"Special dwell by start", "Besondere Schließzeit beim Start",
        "Zvláštní doba nabíjení při startu"}},
    {"GroupBoxSpecial", {"Specification of synchronization - Caution - For experienced user only!",
        "Spezifikation der Synchronisierung - Achtung - Nur für Erfahrungsanwender!",
        "Specifikace synchronizace - Pozor - Pouze pro zkušené uživatele!"}},
    {"LabelSynchro", {"Synchronization method", "Synchronisierungsmethode", "Způsob synchronizace"}},
    {"LabelPocPalcu", {"Number of lobe at rotor", "Anzahl der Nocken am Rotor", "Počet palců na rotoru"}},
    {"LabelPocKanalu", {"Number of outputs (coils)", "Anzahl der Ausgänge (Spulen)", "Počet výstupů (cívek)"}},
    {"GroupBoxPalec1", {"Channel1", "Kanal1", "Kanál1"}},
    {"GroupBoxPalec2", {"Channel2", "Kanal2", "Kanál2"}},
    {"GroupBoxPalec3", {"Channel3", "Kanal3", "Kanál3"}},
    {"GroupBoxPalec4", {"Channel4", "Kanal4", "Kanál4"}},
    {"LabelPalec1Zac", maximumAdvance},
    {"LabelPalec2Zac", maximumAdvance},
    {"LabelPalec3Zac", maximumAdvance},
    {"LabelPalec4Zac", maximumAdvance},
    {"LabelPalec1End", startAdvance},
    {"LabelPalec2End", startAdvance},
    {"LabelPalec3End", startAdvance},
    {"LabelPalec4End", startAdvance},
    {"LabelLobe", {"Lobe", "Nocken", "Palec"}},
    {"LabelHrana2", {"2nd Edge", "2. Kante", "2. Hrana"}},
    {"LabelSnimac2", {"2nd Pick-up", "2. Geber", "2. Snímač"}},
    {"TabSheetAdvance", {"Advance Map", "Vorzündung Karte", "Mapa předstihu"}},
    {"LabelBaseAdv", {"Base advance [°]", "Grundvorzündung [°]", "Základní předstih [°]"}},
    {"CheckBoxServoEnable", {"Servo enable", "Servo aktiv", "Servo zapnuto"}},
    {"CheckBoxServoProcenta", {"Percent", "Prozent", "Procenta"}},
    {"LabelServoHyster", {"1/P [mV]", "1/P [mV]", "1/P [mV]"}},
    {"LabelServoNo", {"Off [mV]", "Aus [mV]", "Vypnuto [mV]"}},
    // The power-output page creates its hysteresis labels under these names.
    {"LabelPOutHyster1", poutHysteresis},
    {"LabelPOutHyster2", poutHysteresis},
    {"LabelPOutHyster3", poutHysteresis},
    {"LabelPOutHyster4", poutHysteresis},
    {"TabSheet_Gear", {"Gear", "Gang", "Převody"}},
    {"RadioGroupGearSystem", {"Determining of gear", "Gangerkennung", "Určení převodového stupně"}},
    {"LabelPocetGear", {"Number of gears", "Anzahl der Gänge", "Počet převodových stupňů"}},
    {"GroupBoxNapetiProGear", {"Voltage of gears", "Spannung der Gänge", "Napětí převodových stupňů"}},
    {"GroupBoxRpmSpeedProGear", {"Ratio Rpm/Speed", "Verhältnis Drehzahl/Geschwindigkeit", "Poměr otáčky/rychlost"}},
    {"GroupBoxMonAutoGear", {"Automatic ratio Rpm/Speed", "Automatisches Verhältnis Drehzahl/Geschwindigkeit",
        "Automatický poměr otáčky/rychlost"}},
    {"LabelGearAutoTime", {"Min Time [s]", "Min. Zeit [s]", "Min. čas [s]"}},
    {"LabelGearAutoBand", {"Zone [0.1%]", "Bereich [0.1%]", "Pásmo [0.1%]"}},
    {"LabelRpmSpeed", {"Rpm/Speed", "Drehzahl/Geschwindigkeit", "Otáčky/rychlost"}},
    {"GroupBoxPulsuProSpeed", {"Setting of speedometer", "Einstellung des Tachometers", "Nastavení rychloměru"}},
    {"RadioGroupClutchMode", {"Quickshift mode", "Schaltautomat-Modus", "Režim quickshiftu"}},
    {"GroupBoxClutch", {"Quickshift - various", "Schaltautomat - Verschiedenes", "Quickshift - různé"}},
    {"LabelClutchPause1", {"Quickshift delay #1 [ms]", "Schaltautomat-Verzögerung #1 [ms]", "Zpoždění quickshiftu #1 [ms]"}},
    {"LabelClutchPause2", {"Quickshift delay #2 [ms]", "Schaltautomat-Verzögerung #2 [ms]", "Zpoždění quickshiftu #2 [ms]"}},
    {"LabelClutchMinRpm", {"Min Rpm for quickshift", "Min. Drehzahl für Schaltautomat", "Min. otáčky pro quickshift"}},
    {"LabelClutchAdv", {"Quickshift advance [°]", "Schaltautomat-Vorzündung [°]", "Předstih při quickshiftu [°]"}},
    {"GroupBoxClutchTime", {"Setting according gear", "Einstellung nach Gang", "Nastavení podle převodového stupně"}},
    {"LabelClutchTime", quickshiftTime},
    {"LabelQuickshiftTime", quickshiftTime},
    {"LabelClutchPause", {"Quickshift delay [ms]", "Schaltautomat-Verzögerung [ms]", "Zpoždění quickshiftu [ms]"}},
    {"GroupBoxGearKor", {"Correction according gear", "Korrektur nach Gang", "Korekce podle převodového stupně"}},
    {"LabelGearKorAdv", {"Advance correction [°]", "Vorzündungskorrektur [°]", "Korekce předstihu [°]"}},
    {"LabelGearKorLimiter", {"Limiter correction [rpm]", "Begrenzerkorrektur [rpm]", "Korekce omezovače [rpm]"}},
    {"CheckBoxGas", {"N2O Enabled", "N2O aktiv", "N2O zapnuto"}},
    {"GroupBoxGas", {"N2O", "N2O", "N2O"}},
    {"LabelGas1", {"N2O 1 [%]", "N2O 1 [%]", "N2O 1 [%]"}},
    {"LabelGas2", {"N2O 2 [%]", "N2O 2 [%]", "N2O 2 [%]"}},
    {"LabelGasD", delayMs},
    {"LabelRetardD", delayMs},
    {"LabelGasT", buildUpTime},
    {"LabelRetardT", buildUpTime},
    {"GroupBoxRetard", {"Retard", "Spätzündung", "Snížení předstihu"}},
    {"LabelRetard1", {"Retard 1 [°]", "Spätzündung 1 [°]", "Snížení předstihu 1 [°]"}},
    {"LabelRetard2", {"Retard 2 [°]", "Spätzündung 2 [°]", "Snížení předstihu 2 [°]"}},
    {"LabelN2O_TPSmin", {"TP min [%]", "TP min [%]", "TP min [%]"}},
    {"LabelN2O_Repeat", {"PWM rate [Hz]", "PWM-Frequenz [Hz]", "Frekvence PWM [Hz]"}},
    {"TabSheet_Ladeni", {"Test", "Test", "Ladění"}},
    {"ButtonTestIgn1", {"&Ignition1", "&Zündung1", "&Zapalování1"}},
    {"ButtonTestIgn2", {"&Ignition2", "&Zündung2", "&Zapalování2"}},
    {"ButtonTestIgn3", {"&Ignition3", "&Zündung3", "&Zapalování3"}},
    {"ButtonTestIgn4", {"&Ignition4", "&Zündung4", "&Zapalování4"}},
    {"GroupBoxTestIgn", {"Ignition test", "Zündungstest", "Test zapalování"}},
    {"LabelTestServo", {"Time [ms]", "Zeit [ms]", "Čas [ms]"}},
    {"ButtonTestRpm", {"Tachometer", "Drehzahlmesser", "Otáčkoměr"}},
    {"LabelHourMeter", {"Hour meter", "Betriebstundenzähler", "Počítadlo provozních hodin"}},
    {"GroupBoxLambdaBar", {"Lambda sensor", "Lambdasonde", "Lambda sonda"}},
    {"LabelLambdaBar0", {"Rich", "Fett", "Bohatá"}},
    {"LabelLambdaBar3", {"Lean", "Mager", "Chudá"}},
    {"GroupBoxProprietary", {"Manufacturer settings", "Herstellereinstellungen", "Nastavení výrobce"}},
};
// clang-format on

int resolveLanguage(int language)
{
    if (language == -1)
        language = LanguageIndex;
    return language < 0 || language >= LANG_COUNT ? LANG_ENGLISH : language;
}

bool hasText(const CaptionRow& row) { return row.action != CaptionAction::CheckForLanguage; }

} // namespace

std::span<const CaptionRow> MenuTable() { return menuRows; }
std::span<const CaptionRow> HintTable() { return hintRows; }
std::span<const CaptionRow> CaptionTable() { return captionRows; }

std::span<const CaptionRow> CaptionTableById(CaptionTableId table)
{
    switch (table) {
    case CaptionTableId::Menu:
        return MenuTable();
    case CaptionTableId::Hint:
        return HintTable();
    case CaptionTableId::Caption:
        break;
    }
    return CaptionTable();
}

const char* CaptionFor(CaptionTableId table, std::string_view control, int language)
{
    const int lang = resolveLanguage(language);
    for (const CaptionRow& row : CaptionTableById(table))
        if (hasText(row) && control == row.control)
            return row.text[static_cast<size_t>(lang)];
    return nullptr;
}

void ApplyCaptionTable(std::span<const CaptionRow> table, const CaptionTarget& target, int language)
{
    const int lang = resolveLanguage(language);
    for (const CaptionRow& row : table) {
        switch (row.action) {
        case CaptionAction::CheckForLanguage:
            if (target.setChecked)
                target.setChecked(row.control, row.checkedLanguage == lang);
            break;
        case CaptionAction::SetTextAndShow:
            if (target.setVisible)
                target.setVisible(row.control, true);
            [[fallthrough]];
        case CaptionAction::SetText:
            if (target.setText)
                target.setText(row.control, row.text[static_cast<size_t>(lang)]);
            break;
        }
    }
}
