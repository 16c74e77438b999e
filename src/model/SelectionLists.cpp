#include "model/SelectionLists.h"

namespace {

constexpr CodedItem kSynchroMethods[] = {
    {0, "###1 lobe, 1 or 2 pick-up##1 Leitstück, 1 oder 2 Geber##1 výstupek, 1 nebo 2 snimače"},
    {1, "###Short gap between lobes (inserted lobe)##Kurz Abstand zwischen Leitstücken (eingeschiebe Leitstück)##Krátká mezera mezi výstupky (vsunutý výstupek)"},
    {2, "###Wide lobe##Längere Leitstück##Široký výstupek"},
    {3, "###Long gap between lobes (missing lobe)##Lang Abstand zwischen Leitstücken (ausgelassene Leitstück)##Dlouhá mezera mezi výstupky (vynechaný výstupek)"},
    {4, "###2 pick-ups, missing lobe##2 Geber, ausgelassene Leitstück##2 snímače vynechané výstupky"},
    {5, "###2 Short gaps between lobes (inserted lobe)##2 Kurze Abstände zwischen Leitstücken (eingeschiebe Leitstück)##2 krátké mezery mezi výstupky (vsunutý výstupek)"},
    {6, "###Cam (CMPS)##Steuernocken (CMPS)##Vačka (CMPS)"},
    {7, "Harley"},
    {8, "###Long gap between lobes - more lobes (48-2)##Lang Abstand zwischen Leitstücken - mehr Leitstücke (48-2)##Dlouhá mezera mezi výstupky - více výstupků (48-2)"},
    {9, "###Special for more pickups##Spezial für mehr Geber##Speciál pro více snimačů"},
    {10, "###Inserted lobe - kick start##Eingeschiebe Leitstück - Kickstarter##Vsunutý výstupek - kick start - start našlápnutím"},
    {11, "###Honda Cam (CMPS)##Honda Steuernocken (CMPS)##Vačka Honda (CMPS)"},
    {12, "###Long gap between lobes + Cam (CMPS)##Lang Abstand zwischen Leitstücken + Steuernocken(CMPS)##Dlouhá mezera mezi výstupky + Vačka (CMPS)"},
    {13, "###Keihin 18 lobes##Keihin 18 Leitstücken##Keihin 18 palců"},
    {14, "###Long gap between lobes - more lobes (60-2) + Cam##Lang Abstand zwischen Leitstücken - mehr Leitstücke (60-2) + Steuernocken##Dlouhá mezera mezi výstupky - více výstupků (60-2) + Vačka"},
    {15, "###Narrow lobe##Engen Leitstück##Úzký výstupek"},
    {16, "Distributor"},
    {17, "Honda NSR 250 MC18 -"},
};

constexpr CodedItem kGeberModes[] = {
    {1, "###1 ignition per revolution##1 Zündung pro Umdrehung##1 zápal za otáčku"},
    {2, "###2 ignitions per revolution##2 Zündungen pro Umdrehung##2 zápaly za otáčku"},
    {3, "###3 ignitions per revolution##3 Zündungen pro Umdrehung##3 zápaly za otáčku"},
    {4, "###4 ignitions per revolution##4 Zündungen pro Umdrehung##4 zápaly za otáčku"},
    {0, "###1 ignition per 2 revolutions (camshaft)##1 Zündung pro 2 Umdrehungen (Nockenwelle)##1 zápal za 2 otáčky (vačkový hřídel)"},
};

constexpr CodedItem kPickupPolarities[] = {{0, "Plus"}, {1, "Minus"}, {2, "Auto"}};

constexpr CodedItem kLoadSensors[] = {{0, "###No##Kein##Žádný"}, {1, "TP"}, {2, "IAP"}};

constexpr CodedItem kTachoSources[] = {{-1, "pickup 1"}, {-2, "pickup 2"}};

constexpr CodedItem kOnOff[] = {{0, "###Off##Aus##Vypnuto"}, {1, "###On##Ein##Zapnuto"}};

constexpr CodedItem kPowerOutModes[] = {
    {0, "###Off##Aus##Vypnuto"},
    {1, "###Fuel pump##Kraftstoffpumpe##Palivová pumpa"},
    {2, "###Gear shift light##Schaltblitz##Kontrolka řazení"},
    {3, "###Special##Spezial##Speciál"},
};

constexpr InputFunction kInputFunctions[] = {
    {0, 0, "###Off##Aus##Vypnut"},
    {1, 1, "###Kill switch##Not Aus##Kill switch"},
    {2, 2, "###Blocking##Blockierung##Blokování"},
    {11, 3, "Tacho/Lambda"},
    {3, 4, "###Quickshift##Schaltautomat##Quickshift"},
    {4, 5, "###Quickshift inv.##Schaltautomat inv.##Quickshift inv."},
    {5, 6, "###Retard##Spätzündung##Snížení předstihu"},
    {6, 7, "###Start limiter##Startbegrenzer##Startovací omezovač"},
    {7, 8, "###2nd advance chart##2.Vorzündung mappe##2. mapa předstihu"},
    {10, 9, "N2O"},
    {8, 10, "###Gear##Gang##Převodový stupeň"},
    {9, 11, "###Speed##Tempo##Rychloměr"},
};

constexpr auto kInputFunctionItems = CodedItemsOf(kInputFunctions, &InputFunction::text);

constexpr int DISPLAY_POSITIONS = 20;

} // namespace

const char* const PowerOutGroupCaptions[2] = {
    "###Power out 1 (pin 3)##Leistungsausgang 1 (Pin 3)##Výkonový výstup 1 (pin 3)",
    "###Power out 2 (pin 12)##Leistungsausgang 2 (Pin 12)##Výkonový výstup 2 (pin 12)",
};

const unsigned InputAllowedCodes[MULTIFUNCTION_INPUTS] = {127, 127, 0, 0, 0, 0};

std::span<const CodedItem> SynchroMethodList() { return kSynchroMethods; }
std::span<const CodedItem> GeberModeList() { return kGeberModes; }
std::span<const CodedItem> PickupPolarityList() { return kPickupPolarities; }
std::span<const CodedItem> LoadSensorList() { return kLoadSensors; }
std::span<const CodedItem> TachoSourceList() { return kTachoSources; }
std::span<const CodedItem> OnOffList() { return kOnOff; }
std::span<const CodedItem> PowerOutModeList() { return kPowerOutModes; }
std::span<const InputFunction> InputFunctionTable() { return kInputFunctions; }
std::span<const CodedItem> InputFunctionList() { return kInputFunctionItems; }

std::vector<CodedItem> InputItems(int input)
{
    std::vector<CodedItem> items;
    if (input < 0 || input >= MULTIFUNCTION_INPUTS)
        return items;
    for (int position = 0; position < DISPLAY_POSITIONS; ++position)
        for (const InputFunction& f : kInputFunctions)
            if (f.position == position && f.code < 32 && (InputAllowedCodes[input] >> f.code & 1u))
                items.push_back({f.code, f.text});
    return items;
}
