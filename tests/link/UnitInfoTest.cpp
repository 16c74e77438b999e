#include "link/UnitInfo.h"

#include <gtest/gtest.h>

namespace {

ReferenceBlock block()
{
    ReferenceBlock b{};
    b[0] = 'V';
    b[1] = 'D';
    b[2] = 'X';
    b[3] = 4;
    b[4] = 7;
    b[5] = 29;
    b[6] = 19;
    b[7] = 14;
    b[8] = 5;
    b[10] = 93;
    return b;
}

} // namespace

TEST(UnitInfo, NameDateAndTime)
{
    const UnitInfo u = BuildUnitInfo(block());
    EXPECT_EQ(u.name, "VDX04");
    EXPECT_EQ(u.firmwareDate, " 7. 8.2019");
    EXPECT_EQ(u.firmwareTime, "14:05");
    EXPECT_TRUE(u.programmedBy.empty());
    EXPECT_TRUE(u.serialNumber.empty());
    EXPECT_TRUE(u.lastUpdate.empty());
    EXPECT_EQ(u.versionMajor, 93);
}

TEST(UnitInfo, MonthCodes)
{
    const int codes[] = {25, 13, 32, 35, 39, 45, 43, 29, 40, 38, 51, 12};
    for (int m = 0; m < 12; ++m)
        EXPECT_EQ(FirmwareMonth(static_cast<uint8_t>(codes[m])), m + 1);
    ReferenceBlock b = block();
    b[5] = 99;
    b[4] = 23;
    EXPECT_EQ(BuildUnitInfo(b).firmwareDate, "23.00.2019");
}

TEST(UnitInfo, NameFromTheBlockAndProgrammedBy)
{
    ReferenceBlock b = block();
    const char name[] = "Race unit 7";
    std::copy(name, name + sizeof name - 1, b.begin() + 16);
    b[31] = 'K' | 0x80;
    b[32] = 3;
    b[33] = 12;
    b[34] = 24;
    UnitInfo u = BuildUnitInfo(b);
    EXPECT_EQ(u.name, "Race unit 7");
    EXPECT_EQ(u.programmedBy, "241203K+Race unit 7");
    b[31] = 'K';
    EXPECT_EQ(BuildUnitInfo(b).programmedBy, "241203K_Race unit 7");
    b[34] = 255;
    EXPECT_TRUE(BuildUnitInfo(b).programmedBy.empty());
}

TEST(UnitInfo, SerialNumber)
{
    ReferenceBlock b = block();
    const uint8_t sn[8] = {0xAB, 123, 6, 5, 4, 3, 2, 1}; // bytes 39..46
    std::copy(sn, sn + 8, b.begin() + 39);
    EXPECT_EQ(BuildUnitInfo(b).serialNumber, "010203-040506-123ab");
    b[46] = 255;
    EXPECT_EQ(BuildUnitInfo(b).serialNumber, "none SN");
}

TEST(UnitInfo, LastUpdateInLocalTime)
{
    ReferenceBlock b = block();
    const uint32_t stamp = 1700000001; // low byte 0x81
    for (int i = 0; i < 4; ++i)
        b[35 + i] = static_cast<uint8_t>(stamp >> (8 * i));
    const std::string text = BuildUnitInfo(b).lastUpdate;
    EXPECT_EQ(text.rfind("(last update: ", 0), 0u);
    EXPECT_NE(text.find(".2023-"), std::string::npos) << text;
    std::fill_n(b.begin() + 35, 4, 0xFF);
    EXPECT_TRUE(BuildUnitInfo(b).lastUpdate.empty());
}

TEST(UnitInfo, PanelText)
{
    ReferenceBlock b = block();
    UnitInfo u = BuildUnitInfo(b);
    EXPECT_EQ(UnitPanelText(0, "RSKEY=93.00", u), "not connected");
    EXPECT_EQ(UnitPanelText(1, "mismatch", u), "mismatch");
    EXPECT_EQ(UnitPanelText(2, "RSKEY=93.00", u), "VDX04   RSKEY=93.00    7. 8.2019   14:05");
    u.programmedBy = "241203K+VDX04";
    u.serialNumber = "none SN";
    EXPECT_EQ(UnitPanelText(2, "RSKEY=93.00", u), "241203K+VDX04   RSKEY=93.00   (none SN)   ");
}
