#include "IgnTestSupport.h"
#include "TempDir.h"

#include "files/IgnOpen.h"
#include "files/IgnReader.h"
#include "files/IgnRecordTable.h"
#include "files/IgnScanner.h"
#include "files/IgnWriter.h"
#include "model/BikePresets.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

struct Messages {
    std::vector<std::string> shown;
    IgnMessageSink sink()
    {
        return [this](const std::string& t) { shown.push_back(t); };
    }
};

std::string V93(const std::string& body) { return "MOTRAVEX_KEY   93 VORDAX4/VORDAX4\r\n" + body; }

// Addresses the writer leaves out (or writes only through byte 111) and a read cannot restore.
bool NotInFile(int a)
{
    return (a >= 60 && a <= 80) || a == 83 || (a >= 97 && a <= 102) || (a >= 112 && a <= 114) || a == 128 || a == 133
        || a == 134 || a == 151 || a == 154 || (a >= 156 && a <= 169) || (a >= 180 && a <= 189);
}

// A validated image far from the defaults in every written field.
ParamImage BusyImage()
{
    ParamImage img = StartupImage();
    img.Adrb(BIKE) = 39;
    img.Adrb(PICKUP_SYSTEM) = 14;
    img.Adrb(LOBE_COUNT) = 116;
    img.Adrb(CHANNEL_COUNT) = 3;
    for (int i = 0; i < 2 * CHANNELS; ++i)
        img.Adrb(LOBE_START + i) = static_cast<uint8_t>(0x80 | 0x40 | (10 + i)); // lobes 74.. with 2nd edge
    for (int a = ADRB_FIRST; a < ADRB_FIELDS_END; ++a)
        if (!NotInFile(a) && a != BIKE && a != PICKUP_SYSTEM && a != LOBE_COUNT && a != CHANNEL_COUNT
            && (a < LOBE_START || a >= LOBE_END + CHANNELS))
            img.Adrb(a) = static_cast<uint8_t>(1 + a % 3);
    img.Adrb(LIMITER) = 123;
    img.Adrb(START_LIM) = 45;
    img.Adrb(COMPENSATION) = 9;
    img.Adrb(RPM_PULSES) = 255; // -1: follow pick-up 1
    img.Adrb(TPSIAP_SENSOR) = 2;
    for (int w = 0; w < ADRW_END; ++w)
        img.Adrw(w) = static_cast<uint16_t>(20 + 7 * w);
    for (int i = 0; i < MAP_DIM * MAP_DIM; ++i) {
        img.Adrb(ADVANCE + i) = static_cast<uint8_t>(70 + i % 91);
        img.Adrb(SERVO_MV + i) = static_cast<uint8_t>(i * 2 % 251);
    }
    for (int c = 0; c < MAP_DIM; ++c) {
        img.Adrb(RPM_ADV + c) = static_cast<uint8_t>(11 + 23 * c);
        img.Adrb(SERVO_RPM + c) = static_cast<uint8_t>(5 + 20 * c);
    }
    ValidateImage(img);
    return img;
}

} // namespace

TEST(IgnReader, WriteThenTwoPassOpenRestoresEveryWrittenField)
{
    ParamImage source = BusyImage();
    source.Adrb(COMPENSATION + 1) = 1; // 112..114 differ from 111 in the source
    source.Adrb(INPUT3) = 7;
    const std::string text = IgnFileText(source, {}, { "Jan 1 2020", "00:00:00" });

    ParamImage target = StartupImage();
    target.Adrb(INPUT3) = 0;
    IgnReader reader(target);
    const IgnOpenResult r = ReadIgnTwoPass(reader, text, PAGE_ALL);
    EXPECT_TRUE(r.accepted());
    EXPECT_EQ(r.fileVersion, 93);
    for (int a = 0; a < RS_LEN_EXE; ++a) {
        if (!NotInFile(a)) {
            EXPECT_EQ(target.Adrb(a), source.Adrb(a)) << "byte " << a;
        }
    }
    for (int a = 112; a <= 114; ++a)
        EXPECT_EQ(target.Adrb(a), 9) << "byte " << a;
    EXPECT_EQ(target.Adrb(INPUT3), 0) << "byte 128 is not read";
}

struct EdgeCase {
    const char* name;
    std::string body;
    int address;
    int expected;
};

TEST(IgnReader, EdgeCasesOfTheTokenAndNumberRules)
{
    const EdgeCase cases[] = {
        { "value above byte range stores 0", "LIMITER 300\r\n", LIMITER, 0 },
        { "negative value stores 0", "LIMITER -5\r\n", LIMITER, 0 },
        { "integer division", "START_LIM_DELAY 250\r\n", START_LIM_DELAY, 2 },
        { "leading zero is octal", "LIMITER 010\r\n", LIMITER, 8 },
        { "octal stops at 8", "LIMITER 019\r\n", LIMITER, 1 },
        { "LF alone", "LIMITER\n120\n", LIMITER, 120 },
        { "CR LF", "LIMITER\r\n120\r\n", LIMITER, 120 },
        { "tab separated", "LIMITER\t120\t", LIMITER, 120 },
        { "advance -100", "ADVANCE -100 200", ADVANCE, 0 },
        { "advance 200 wraps", "ADVANCE -100 200 ", ADVANCE + 1, 44 },
        { "key at the very end is not seen", "LIMITER", LIMITER, 110 },
        { "key without number keeps the field", "LIMITER ", LIMITER, 110 },
        { "lone minus is no number", "LIMITER - ", LIMITER, 110 },
        { "too few values take the next key's digits", "RPM 4\r\nPOWER_OUT1     3 ", RPM_CORR, 101 },
        { "the key that lent its digits is not read", "RPM 4\r\nPOWER_OUT1     3 ", POWER_OUT_MODE, 1 },
        { "NUL ends the text", std::string("LIMITER 120\r\n\0START_LIM 50\r\n", 27), START_LIM, 100 },
        { "text before the NUL is read", std::string("LIMITER 120\r\n\0START_LIM 50\r\n", 27), LIMITER, 120 },
        { "extra values are ignored", "LIMITER 120 130 140\r\nSTART_LIM 50 ", START_LIM, 50 },
        { "last occurrence wins", "LIMITER 120 LIMITER 130 ", LIMITER, 130 },
        { "keys are case-sensitive", "limiter 120 ", LIMITER, 110 },
        { "word keeps low 16 bits", "TPS 70000 ", 0, 70000 & 0xFF },
        { "older key", "SPEC_START 1 ", SPECIAL_START, 1 },
        { "old servo misc", "SERRVO_MISC 1 1 2 100 ", SERVO_HYSTER, 20 },
        { "tps map selects the TP sensor", "TPS_MAPA 5 ", TPSIAP_SENSOR, 1 },
        { "tps map clamps the map kind", "TPS_MAPA 5 ", ADV_MAPA, 1 },
        { "pilot light", "PILOT_LIGHT 5000 1 ", POWER_OUT_RPM + 3, 50 },
        { "dwell", "DWELL 1 2 3 4 5 6 ", DWELL + 4, 6 },
        { "power-out cells", "POWER_OUT2 2 9000 12500 14000 100 75 90 1 0 0 1 0 0 0 0 1 1 1 1 ", POWER_OUT_CELLS + 3,
            9 },
        { "over-long token is cut safely", std::string(5000, 'X') + " LIMITER 77 ", LIMITER, 77 },
    };
    for (const EdgeCase& c : cases) {
        ParamImage img = StartupImage();
        IgnReader reader(img);
        reader.ReadIgnText(PAGE_ALL, false, V93(c.body));
        EXPECT_EQ(reader.FileVersion(), 93) << c.name;
        EXPECT_EQ(img.Adrb(c.address), c.expected) << c.name;
    }
}

// An older name of a key reads the same numbers into the same fields as the current name; the
// keys of dropped functions and the words of a file that are no keys change nothing.
TEST(IgnRecordTable, OlderNamesReadLikeTheCurrentOnes)
{
    std::string numbers;
    for (int i = 1; i <= 110; ++i)
        numbers.append(" ").append(std::to_string(i % 9 == 0 ? 0 : 10 * i));
    const ParamImage start = StartupImage();
    const auto read = [&](const char* key) {
        ParamImage img = start;
        IgnReader reader(img);
        reader.ReadIgnText(PAGE_ALL, false, V93(std::string(key).append(numbers).append(" ")));
        return img;
    };
    const std::pair<const char*, const char*> sameAs[] = { { "INV_PICKUP", "PICKUP_POLARITY" },
        { "SPEC_START", "SPECIAL_START" }, { "SENSOR_TPS_IAP", "TPSIAP_SENSOR" }, { "SENSOR_TPS", "TPS" },
        { "SENSOR_IAP", "IAP_SENSOR" }, { "ADV_MAP", "ADV_MAPA" }, { "IAP", "ADV_IAP" },
        { "ADVANCE_RPM1", "RPM_ADV" }, { "ADVANCE1", "ADVANCE" }, { "SERVO_MAP", "SERVO_MAPA" } };
    for (const auto& [older, current] : sameAs) {
        const ParamImage image = read(current);
        EXPECT_NE(image, start) << current;
        EXPECT_EQ(read(older), image) << older << " reads unlike " << current;
    }
    for (const char* word : { "INPUT_NEUTRAL_SS", "POWER_OUT3", "POWER_OUT4", "POWER_OUT1_PWM", "POWER_OUT4_PWM",
             "VERSIONS", "HEX", "EXE", "Mon_Calib_CoefEE", "POWER_OUT", "bike" })
        EXPECT_EQ(read(word), start) << word;
}

TEST(IgnReader, LobeNumbersDependOnTheTriggerSystem)
{
    for (int system : { 14, 5 }) {
        ParamImage img = StartupImage();
        IgnReader reader(img);
        const std::string lobe = system == 14 ? " 69 1 0" : " 5 1 1";
        std::string body = "BIKE 20 " + std::to_string(system) + " 120 4";
        for (int i = 0; i < 8; ++i)
            body += lobe;
        reader.ReadIgnText(PAGE_ALL, false, V93(body + " 1 6 6 6 6 "));
        EXPECT_TRUE(reader.BikeRecordSeen());
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(img.Adrb(LOBE_START + i), 0xC5) << "system " << system;
    }
}

TEST(IgnReader, BikeRecordOnlyWhenAllPagesAreSelected)
{
    ParamImage img = StartupImage();
    IgnReader reader(img);
    reader.ReadIgnText(PAGE_BIKE, false, V93("BIKE 7 0 1 1 "));
    EXPECT_EQ(img.Adrb(BIKE), 20);
    EXPECT_FALSE(reader.BikeRecordSeen());
    reader.ReadIgnText(PAGE_ADVANCE, false, V93("LIMITER 77 BASE_ADV 20 "));
    EXPECT_EQ(img.Adrb(LIMITER), 110) << "group 0 not selected";
    EXPECT_EQ(img.Adrb(BASE_ADV), 20);
}

TEST(IgnReader, ForeignVersionOrNoKeyLeavesTheImageUntouched)
{
    for (const std::string& text : { std::string("MOTRAVEX_KEY   92 X\r\nLIMITER 50 "), std::string("LIMITER 50 "),
             std::string("MOTRAVEX_KEY\r\n93 LIMITER 50 "), std::string("MOTRAVEX_KEY ") }) {
        ParamImage img = StartupImage();
        const ParamImage before = img;
        Messages m;
        IgnReader reader(img, m.sink());
        reader.ReadIgnText(PAGE_ALL, false, text);
        EXPECT_TRUE(m.shown.empty());
        reader.ReadIgnText(PAGE_ALL, true, text);
        EXPECT_EQ(reader.FileVersion(), 0);
        EXPECT_EQ(img, before);
        ASSERT_EQ(m.shown.size(), 1u) << text;
        EXPECT_EQ(m.shown[0], "Unmatched version of *.ign file!");
    }
}

TEST(IgnReader, Version80IsConvertedAndItsServoRowFillsTheWholeMap)
{
    ParamImage img = StartupImage();
    img.Adrb(NO_LOBE_CHECK) = 1;
    img.Adrb(SERVO_NO) = 9;
    img.Adrb(SERVO_MAPA) = 2;
    img.Adrb(LIMITER) = 200;
    Messages m;
    IgnReader reader(img, m.sink());
    const std::string text = "MOTRAVEX_KEY 80\r\nSERVO_MV 100 200 300 400 500 600 700 800 900 1000\r\nRETARD 9 ";
    const IgnOpenResult r = ReadIgnTwoPass(reader, text, PAGE_ALL);
    EXPECT_TRUE(r.accepted());
    EXPECT_EQ(r.fileVersion, 80);
    ASSERT_EQ(m.shown.size(), 1u) << "the older-version message appears once";
    EXPECT_EQ(m.shown[0].rfind("Older or another version of *.ign file!\n\nSome parameters", 0), 0u);
    for (int r = 0; r < MAP_DIM; ++r)
        for (int c = 0; c < MAP_DIM; ++c)
            EXPECT_EQ(img.Adrb(SERVO_MV + 10 * r + c), 5 * (c + 1));
    EXPECT_EQ(img.Adrb(SERVO_MAPA), 0);
    EXPECT_EQ(img.Adrb(RETARD), 9);
    EXPECT_EQ(img.Adrb(NO_LOBE_CHECK), 0);
    EXPECT_EQ(img.Adrb(SERVO_NO), 0);
    EXPECT_EQ(img.Adrb(LIMITER), 110) << "defaults of all groups";
    EXPECT_EQ(img.Adrb(POWER_OUT_MODE), 1);
    EXPECT_EQ(img.Adrb(POWER_OUT_MODE + 1), 2);
}

TEST(IgnReader, Version80KeepsTheLobesOfAnUnpresetBike)
{
    ParamImage img = StartupImage();
    img.Adrb(BIKE) = BIKE_SPECIAL_SETTING;
    img.Adrb(LOBE_END + 3) = 0x43;
    img.Adrb(GEBER_MODE) = 3;
    IgnReader reader(img);
    reader.ReadIgnText(PAGE_ALL, false, "MOTRAVEX_KEY 80 ");
    EXPECT_EQ(img.Adrb(LOBE_END + 3), 0x43);
    EXPECT_EQ(img.Adrb(GEBER_MODE), 3);
}

TEST(IgnOpen, OpenForActualPageResetsOnlyThatPagesMissingFields)
{
    ParamImage img = StartupImage();
    img.Adrb(LIMITER) = 200; // page 0
    img.Adrb(BASE_ADV) = 30; // page 3
    IgnReader reader(img);
    const IgnOpenResult r = ReadIgnTwoPass(reader, V93("BIKE 20 1 5 2 "), PAGE_ADVANCE);
    EXPECT_TRUE(r.accepted());
    EXPECT_EQ(img.Adrb(LIMITER), 200);
    EXPECT_EQ(img.Adrb(BASE_ADV), 10);
}

TEST(IgnOpen, CompleteFileGivesTheSameImageForAnyPage)
{
    const std::string text = IgnFileText(BusyImage(), {}, { "Jan 1 2020", "00:00:00" });
    ParamImage all = StartupImage(), page = StartupImage();
    IgnReader a(all), p(page);
    ReadIgnTwoPass(a, text, PAGE_ALL);
    ReadIgnTwoPass(p, text, PAGE_SERVO);
    EXPECT_EQ(all, page);
}

TEST(IgnOpen, FilesThatCannotBeReadLeaveTheImageUntouched)
{
    ScopedWorkDir dir;
    ParamImage img = StartupImage();
    const ParamImage before = img;
    IgnReader reader(img);
    EXPECT_EQ(OpenIgnTwoPass(reader, QString::fromStdString(dir.file("none.ign")), PAGE_ALL).status,
        IgnLoadStatus::CannotOpen);

    std::string big = V93("LIMITER 50 ");
    big.resize(IgnReader::MAX_FILE_SIZE + 1, ' ');
    std::ofstream(dir.file("big.ign"), std::ios::binary) << big;
    const IgnOpenResult r = OpenIgnTwoPass(reader, QString::fromStdString(dir.file("big.ign")), PAGE_ALL);
    EXPECT_EQ(r.status, IgnLoadStatus::TooLarge);
    EXPECT_FALSE(r.accepted());
    EXPECT_EQ(img, before);

    big.resize(IgnReader::MAX_FILE_SIZE);
    std::ofstream(dir.file("limit.ign"), std::ios::binary) << big;
    EXPECT_TRUE(OpenIgnTwoPass(reader, QString::fromStdString(dir.file("limit.ign")), PAGE_ALL).accepted());
    EXPECT_EQ(img.Adrb(LIMITER), 50);
}

TEST(IgnScanner, TokensAndNumbers)
{
    IgnScanner s("ab\tcd\n-12x007 - 99999999999 end");
    std::string t;
    ASSERT_TRUE(s.NextToken(t));
    EXPECT_EQ(t, "ab");
    ASSERT_TRUE(s.NextToken(t));
    EXPECT_EQ(t, "cd");
    EXPECT_EQ(s.NextNumber(), -12);
    EXPECT_EQ(s.NextNumber(), 7);
    EXPECT_EQ(s.NextNumber(), std::nullopt) << "lone minus";
    EXPECT_EQ(s.NextNumber(), 2147483647) << "saturates";
    EXPECT_EQ(s.NextNumber(), std::nullopt);
    EXPECT_FALSE(s.NextToken(t)) << "a token cut off by the end is not used";

    const std::string longText = std::string(300, 'y') + " ";
    IgnScanner longToken(longText);
    ASSERT_TRUE(longToken.NextToken(t));
    EXPECT_EQ(t.size(), IgnScanner::TOKEN_BUFFER - 1);
}
