#include "model/BikePresets.h"
#include "model/ImageDefaults.h"
#include "model/SelectionLists.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// Preset bytes copied from the bike table: code, then 84, 85, 86, 118..125 (-1 = not written).
struct Expected {
    int code;
    int trigger[11];
};

constexpr Expected kExpected[] = {
    {23, {1, 4, 3, 1, 2, 3, -1, 65, 66, 67, -1}}, {34, {10, 4, 3, 2, 3, 4, -1, 66, 67, 68, -1}},
    {37, {12, 46, 4, 91, 103, 80, 68, 94, 106, 83, 71}}, {36, {12, 44, 4, 90, 102, 80, 68, 93, 105, 83, 71}},
    {40, {16, 1, 1, 1, -1, -1, -1, 65, -1, -1, -1}}, {39, {14, 116, 4, 198, 106, 228, 76, 205, 113, 235, 83}},
    {32, {8, 46, 2, 82, 100, -1, -1, 87, 105, -1, -1}}, {35, {9, 4, 3, 1, 129, 131, -1, 2, 130, 132, -1}},
    {0, {1, 3, 2, 1, 2, -1, -1, 65, 66, -1, -1}}, {27, {2, 4, 4, 4, 2, 2, 4, 1, 3, 3, 1}},
    {38, {13, 18, 1, 79, -1, -1, -1, 91, -1, -1, -1}}, {31, {7, 2, 2, 1, 2, -1, -1, 65, 66, -1, -1}},
    {1, {4, 7, 2, 2, 6, -1, -1, 67, 71, -1, -1}}, {2, {3, 9, 2, 1, 7, -1, -1, 67, 73, -1, -1}},
    {3, {3, 9, 2, 6, 8, -1, -1, 7, 9, -1, -1}}, {4, {4, 7, 2, 4, 6, -1, -1, 5, 7, -1, -1}},
    {24, {4, 11, 4, 68, 71, 74, 65, 69, 72, 75, 66}}, {5, {4, 7, 2, 65, 197, -1, -1, 66, 198, -1, -1}},
    {6, {4, 7, 2, 3, 4, -1, -1, 68, 69, -1, -1}}, {7, {0, 1, 2, 1, 129, 129, 1, 65, 193, 193, 65}},
    {28, {0, 1, 2, 1, 129, 129, 1, 65, 193, 193, 65}}, {29, {0, 1, 1, 1, 129, 129, 1, 65, 193, 193, 65}},
    {30, {0, 1, 2, 1, 129, 129, 1, 65, 193, 193, 65}}, {33, {9, 2, 3, 1, 129, 130, -1, 65, 193, 194, -1}},
    {8, {3, 4, 2, 1, 3, -1, -1, 2, 4, -1, -1}}, {9, {2, 6, 2, 1, 4, -1, -1, 2, 5, -1, -1}},
    {10, {2, 6, 2, 2, 5, -1, -1, 3, 6, -1, -1}}, {11, {2, 4, 2, 4, 2, -1, -1, 1, 3, -1, -1}},
    {12, {2, 4, 2, 4, 1, -1, -1, 1, 2, -1, -1}}, {13, {3, 4, 2, 2, 3, -1, -1, 3, 4, -1, -1}},
    {14, {2, 4, 2, 3, 2, -1, -1, 4, 3, -1, -1}}, {15, {2, 4, 2, 3, 4, -1, -1, 4, 1, -1, -1}},
    {26, {5, 7, 3, 2, 4, 6, -1, 3, 5, 1, -1}}, {16, {3, 2, 2, 1, 2, -1, -1, 65, 66, -1, -1}},
    {17, {4, 2, 2, 2, 193, -1, -1, 193, 194, -1, -1}}, {18, {2, 8, 2, 3, 7, -1, -1, 4, 8, -1, -1}},
    {19, {2, 4, 2, 3, 1, -1, -1, 4, 2, -1, -1}}, {20, {1, 5, 2, 65, 67, -1, -1, 66, 68, -1, -1}},
    {21, {2, 4, 1, 4, 2, -1, -1, 1, 3, -1, -1}}, {25, {1, 7, 4, 65, 66, 68, 69, 66, 67, 69, 70}},
    {41, {17, 4, 2, 66, 194, -1, -1, 67, 195, -1, -1}}, {42, {18, 6, 1, 66, 194, -1, -1, 67, 195, -1, -1}},
};

constexpr int kAddresses[11] = {84, 85, 86, 118, 119, 120, 121, 122, 123, 124, 125};

ParamImage applied(int code, const LoadGroups& groups, uint8_t fill = 0xEE)
{
    ParamImage img;
    img.bytes().fill(fill);
    img.Adrb(BIKE) = static_cast<uint8_t>(code);
    ApplyBikePreset(img, groups);
    return img;
}

} // namespace

TEST(BikePresets, EveryPresetWritesExactlyItsBytes)
{
    for (const Expected& e : kExpected) {
        const ParamImage img = applied(e.code, LoadGroups::All(), 0xEE);
        for (int i = 0; i < 11; ++i) {
            const int want = e.trigger[i] < 0 ? 0xEE : e.trigger[i];
            EXPECT_EQ(img.Adrb(kAddresses[i]), i == 2 && want > 4 ? 4 : want) << "bike " << e.code << " byte " << kAddresses[i];
        }
    }
}

TEST(BikePresets, ExtraBytes)
{
    const struct {
        int code, address, value;
    } extras[] = {{37, 87, 0}, {37, 129, 1}, {36, 87, 0}, {36, 129, 1}, {40, 87, 2}, {40, 88, 1}, {39, 87, 0},
        {32, 87, 0}, {31, 87, 0}, {31, 88, 1}, {28, 87, 2}, {29, 87, 3}, {30, 87, 0}, {19, 103, 1}, {21, 132, 1},
        {41, 87, 1}, {41, 130, 0}, {42, 87, 1}, {42, 130, 0}};
    for (const auto& x : extras)
        EXPECT_EQ(applied(x.code, LoadGroups::All()).Adrb(x.address), x.value) << "bike " << x.code;
}

TEST(BikePresets, ListOrderAndEntries)
{
    std::vector<int> listed;
    for (const BikePreset& b : BikePresetTable())
        if (b.listText)
            listed.push_back(b.code);
    const std::vector<int> order{23, 34, 37, 36, 40, 39, 32, 35, 0, 27, 38, 31, 1, 2, 3, 4, 24, 5, 6, 7, 28, 29, 30,
        33, 8, 9, 10, 11, 12, 13, 14, 15, 26, 16, 17, 18, 19, 20, 21, 25, 22};
    EXPECT_EQ(listed, order);
    EXPECT_EQ(FindBikePreset(22), nullptr);
    EXPECT_EQ(FindBikePreset(43), nullptr);
    ASSERT_NE(FindBikePreset(41), nullptr);
    EXPECT_EQ(FindBikePreset(41)->listText, nullptr);
}

TEST(BikePresets, OnlyTheBikeGroupWritesPresetsExceptCodes36And37)
{
    const ParamImage untouched = applied(20, LoadGroups(PAGE_ADVANCE));
    EXPECT_EQ(untouched.Adrb(PICKUP_SYSTEM), 0xEE);
    EXPECT_EQ(untouched.Adrb(CHANNEL_COUNT), 0xEE) << "channel count is only repaired with the bike group";

    for (int code : {36, 37}) {
        const ParamImage img = applied(code, LoadGroups(PAGE_ADVANCE));
        EXPECT_EQ(img.Adrb(PICKUP_SYSTEM), 12);
        EXPECT_EQ(img.Adrb(PICKUPS_INTERCHANGE), 1);
    }
}

TEST(BikePresets, ServoOfBike19NeedsTheServoGroup)
{
    EXPECT_EQ(applied(19, LoadGroups(PAGE_BIKE)).Adrb(SERVO_ENABLE), 0xEE);
    EXPECT_EQ(applied(19, LoadGroups(PAGE_SERVO)).Adrb(SERVO_ENABLE), 1);
}

TEST(BikePresets, SpecialSettingWritesNothing)
{
    ParamImage img;
    img.bytes().fill(0x55);
    img.Adrb(BIKE) = BIKE_SPECIAL_SETTING;
    const ParamImage before = img;
    ApplyBikePreset(img, LoadGroups(PAGE_ADVANCE));
    EXPECT_EQ(img, before);
}

TEST(SelectionLists, InputGroupsOfferTheFamilyFunctionsInDisplayOrder)
{
    std::vector<int> codes;
    for (const CodedItem& item : InputItems(0))
        codes.push_back(item.code);
    EXPECT_EQ(codes, (std::vector<int>{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(InputItems(1).size(), 7u);
    EXPECT_TRUE(InputItems(2).empty());
    EXPECT_TRUE(InputItems(6).empty());
}

TEST(SelectionLists, CodesInListOrder)
{
    auto codes = [](std::span<const CodedItem> list) {
        std::vector<int> v;
        for (const CodedItem& i : list)
            v.push_back(i.code);
        return v;
    };
    EXPECT_EQ(codes(GeberModeList()), (std::vector<int>{1, 2, 3, 4, 0}));
    EXPECT_EQ(SynchroMethodList().size(), 18u);
    EXPECT_EQ(SynchroMethodList()[17].code, 17);
    EXPECT_EQ(codes(PowerOutModeList()), (std::vector<int>{0, 1, 2, 3}));
}
