#include "model/BikePresets.h"

#include <algorithm>

namespace {

// clang-format off
constexpr BikePreset kBikes[] = {
    {23, "###3 Cylinder, 1 pickup##3 Zylinder   1 Geber##3 válce 1 snimač", false, {1, 4, 3, 1, 2, 3, -1, 65, 66, 67, -1}, {}},
    {34, "###3 Cylinder, 1 pickup - kick start##3 Zylinder   1 Geber - Kickstarter##3 válce 1 snimač - start našlápnutím", false, {10, 4, 3, 2, 3, 4, -1, 66, 67, 68, -1}, {}},
    {37, "24-1 4 cyl, cam", true, {12, 46, 4, 91, 103, 80, 68, 94, 106, 83, 71}, {{87, 0, PAGE_BIKE}, {129, 1, PAGE_BIKE}}},
    {36, "24-2 4 cyl, cam", true, {12, 44, 4, 90, 102, 80, 68, 93, 105, 83, 71}, {{87, 0, PAGE_BIKE}, {129, 1, PAGE_BIKE}}},
    {40, "Distributor 4cyl", false, {16, 1, 1, 1, -1, -1, -1, 65, -1, -1, -1}, {{87, 2, PAGE_BIKE}, {88, 1, PAGE_BIKE}}},
    {39, "BMW S1000RR", false, {14, 116, 4, 198, 106, 228, 76, 205, 113, 235, 83}, {{87, 0, PAGE_BIKE}}},
    {32, "Ducati inj. 48-2", false, {8, 46, 2, 82, 100, -1, -1, 87, 105, -1, -1}, {{87, 0, PAGE_BIKE}}},
    {35, "Kawasaki KZ 1300", false, {9, 4, 3, 1, 129, 131, -1, 2, 130, 132, -1}, {}},
    {0, "Kawasaki ZX", false, {1, 3, 2, 1, 2, -1, -1, 65, 66, -1, -1}, {}},
    {27, "Kawasaki ZX9R 00", false, {2, 4, 4, 4, 2, 2, 4, 1, 3, 3, 1}, {}},
    {38, "KTM 690", false, {13, 18, 1, 79, -1, -1, -1, 91, -1, -1, -1}, {}},
    {31, "Harley", false, {7, 2, 2, 1, 2, -1, -1, 65, 66, -1, -1}, {{87, 0, PAGE_BIKE}, {88, 1, PAGE_BIKE}}},
    {1, "Honda CBR 7P", false, {4, 7, 2, 2, 6, -1, -1, 67, 71, -1, -1}, {}},
    {2, "Honda CBR 9P", false, {3, 9, 2, 1, 7, -1, -1, 67, 73, -1, -1}, {}},
    {3, "Honda Shadow", false, {3, 9, 2, 6, 8, -1, -1, 7, 9, -1, -1}, {}},
    {4, "Honda VFR 400", false, {4, 7, 2, 4, 6, -1, -1, 5, 7, -1, -1}, {}},
    {24, "Honda VFR 750", false, {4, 11, 4, 68, 71, 74, 65, 69, 72, 75, 66}, {}},
    {5, "Honda VT 600 Shadow", false, {4, 7, 2, 65, 197, -1, -1, 66, 198, -1, -1}, {}},
    {6, "Honda VT 1100", false, {4, 7, 2, 3, 4, -1, -1, 68, 69, -1, -1}, {}},
    {7, "###Classic (1 lobe per revolution, 1-2 pick-ups)##Klassisch (1 Leitst. pro Umdreh. 1-2 Geber)##Klasika (1 výstupek za otáčku, 1-2 snimače)", false, {0, 1, 2, 1, 129, 129, 1, 65, 193, 193, 65}, {}},
    {28, "###Classic (2 lobe per revolution, 1-2 pick-ups)##Klassisch (2 Leitst. pro Umdreh. 1-2 Geber)##Klasika (2 výstupky za otáčku, 1-2 snimače)", false, {0, 1, 2, 1, 129, 129, 1, 65, 193, 193, 65}, {{87, 2, PAGE_BIKE}}},
    {29, "###Classic (3 lobe per revolution, 1 pick-up)##Klassisch (3 Leitst. pro Umdreh. 1 Geber)##Klasika (3 výstupky za otáčku, 1 snimač)", false, {0, 1, 1, 1, 129, 129, 1, 65, 193, 193, 65}, {{87, 3, PAGE_BIKE}}},
    {30, "###Classic (1 lobe per 2 revolutions (CMPS), 1-2 pick-ups)##Klassisch (1 Leist. pro 2 Umdreh. (CMPS) 1-2 Geber)##Klasika (1 výstupek za 2 otáčky (vačka), 1-2 snimače)", false, {0, 1, 2, 1, 129, 129, 1, 65, 193, 193, 65}, {{87, 0, PAGE_BIKE}}},
    {33, "Laverda 3x120", false, {9, 2, 3, 1, 129, 130, -1, 65, 193, 194, -1}, {}},
    {8, "Suzuki 800", false, {3, 4, 2, 1, 3, -1, -1, 2, 4, -1, -1}, {}},
    {9, "Suzuki GSF 400 A", false, {2, 6, 2, 1, 4, -1, -1, 2, 5, -1, -1}, {}},
    {10, "Suzuki GSF 400 B", false, {2, 6, 2, 2, 5, -1, -1, 3, 6, -1, -1}, {}},
    {11, "Suzuki GSX", false, {2, 4, 2, 4, 2, -1, -1, 1, 3, -1, -1}, {}},
    {12, "Suzuki SV 650", false, {2, 4, 2, 4, 1, -1, -1, 1, 2, -1, -1}, {}},
    {13, "Suzuki Tci 125", false, {3, 4, 2, 2, 3, -1, -1, 3, 4, -1, -1}, {}},
    {14, "Suzuki VS 800", false, {2, 4, 2, 3, 2, -1, -1, 4, 3, -1, -1}, {}},
    {15, "TDM 850", false, {2, 4, 2, 3, 4, -1, -1, 4, 1, -1, -1}, {}},
    {26, "Triumph Tigra", false, {5, 7, 3, 2, 4, 6, -1, 3, 5, 1, -1}, {}},
    {16, "Virago XV", false, {3, 2, 2, 1, 2, -1, -1, 65, 66, -1, -1}, {}},
    {17, "Yamaha 125 SR", false, {4, 2, 2, 2, 193, -1, -1, 193, 194, -1, -1}, {}},
    {18, "Yamaha Fz 750", false, {2, 8, 2, 3, 7, -1, -1, 4, 8, -1, -1}, {}},
    {19, "Yamaha R1", false, {2, 4, 2, 3, 1, -1, -1, 4, 2, -1, -1}, {{103, 1, PAGE_SERVO}}},
    {20, "Yamaha R6", false, {1, 5, 2, 65, 67, -1, -1, 66, 68, -1, -1}, {}},
    {21, "Yamaha XT600E", false, {2, 4, 1, 4, 2, -1, -1, 1, 3, -1, -1}, {{132, 1, PAGE_BIKE}}},
    {25, "Yamaha XVZ 1300", false, {1, 7, 4, 65, 66, 68, 69, 66, 67, 69, 70}, {}},
    {22, "###Special setting##Sonderstellung##Speciální nastavení", false, {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1}, {}},
    {41, nullptr, false, {17, 4, 2, 66, 194, -1, -1, 67, 195, -1, -1}, {{87, 1, PAGE_BIKE}, {130, 0, PAGE_BIKE}}},
    {42, nullptr, false, {18, 6, 1, 66, 194, -1, -1, 67, 195, -1, -1}, {{87, 1, PAGE_BIKE}, {130, 0, PAGE_BIKE}}},
};
// clang-format on

constexpr auto kBikeItems = CodedItemsOf(kBikes, &BikePreset::listText);

} // namespace

std::span<const BikePreset> BikePresetTable() { return kBikes; }

std::span<const CodedItem> BikeList() { return kBikeItems; }

const BikePreset* FindBikePreset(int code)
{
    if (code == BIKE_SPECIAL_SETTING)
        return nullptr;
    const auto it = std::find_if(std::begin(kBikes), std::end(kBikes), [code](const BikePreset& b) { return b.code == code; });
    return it == std::end(kBikes) ? nullptr : &*it;
}

void ApplyBikePreset(ParamImage& img, const LoadGroups& groups)
{
    if (const BikePreset* preset = FindBikePreset(img.Adrb(BIKE))) {
        if (preset->writtenAlways || groups[PAGE_BIKE]) {
            for (size_t i = 0; i < std::size(preset->trigger); ++i)
                if (preset->trigger[i] >= 0)
                    img.Adrb(BikePreset::TRIGGER_ADDRESSES[i]) = static_cast<uint8_t>(preset->trigger[i]);
        }
        for (const PresetByte& extra : preset->extra)
            if (extra.address >= 0 && (preset->writtenAlways || groups[extra.group]))
                img.Adrb(extra.address) = extra.value;
    }
    if (groups[PAGE_BIKE])
        img.Adrb(CHANNEL_COUNT) = std::clamp<uint8_t>(img.Adrb(CHANNEL_COUNT), 1, 4);
}
