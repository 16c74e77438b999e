#include "IgnTestSupport.h"
#include "TempDir.h"

#include "files/IgnWriter.h"
#include "model/FieldFacts.h"

#include <gtest/gtest.h>

namespace {

const BuildStamp STAMP { "Jan 27 2020", "16:30:07" };

IgnUnitInfo Labels()
{
    IgnUnitInfo unit;
    unit.firmwareDate = "27.01.20";
    unit.firmwareTime = "16:30";
    unit.firmwareVersion = "V93.00";
    return unit;
}

std::string Line(const std::string& text, const std::string& key)
{
    const size_t at = text.find("\r\n" + key);
    if (at == std::string::npos)
        return {};
    const size_t end = text.find("\r\n", at + 2);
    return text.substr(at + 2, end == std::string::npos ? std::string::npos : end - at - 2);
}

} // namespace

TEST(IgnWriter, StartupImageMatchesTheHandWrittenGoldenFileByteForByte)
{
    const std::string expected = GoldenText(std::string(FILES_TEST_DATA) + "/default93.txt");
    const std::string text = IgnFileText(StartupImage(), Labels(), STAMP);
    EXPECT_EQ(text, expected);
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1) << "every line break is CR LF";
    EXPECT_EQ(text.substr(text.size() - 17), "\r\n" + std::string(15, ' ')) << "ends with a continuation line";
}

TEST(IgnWriter, ConnectedUnitAddsTheCalibrationLinesWithoutFinalLineBreak)
{
    IgnUnitInfo unit = Labels();
    unit.connectedPort = 3;
    unit.calibration = { -5, 0, 123456 };
    const std::string base = GoldenText(std::string(FILES_TEST_DATA) + "/default93.txt");
    const std::string text = IgnFileText(StartupImage(), unit, STAMP);
    EXPECT_EQ(text, base + "\r\nMon_Calib_CoefEE     -5\r\nMon_Calib_CoefFLASH  0\r\nMon_Calib_CoefNEW    123456");
}

TEST(IgnWriter, ValueEncodingsAtTheEdges)
{
    ParamImage img = StartupImage();
    img.Adrb(ADVANCE) = 70; // -30 degrees
    img.Adrb(SERVO_MV) = 250; // 5000 mV
    img.Adrb(RPM_ADV + 9) = 250; // 25000 rpm fills the five columns
    img.Adrb(LOBE_START) = 0xC5; // second edge, second pick-up (or lobe bit 6), lobe 5
    img.Adrb(PICKUP_SYSTEM) = 5;
    std::string text = IgnFileText(img, {}, STAMP);
    EXPECT_EQ(Line(text, "ADVANCE").substr(0, 21), "ADVANCE          -30 ");
    EXPECT_EQ(Line(text, "SERVO_MV").substr(0, 21), "SERVO_MV        5000 ");
    EXPECT_EQ(Line(text, "RPM_ADV").substr(69), "25000 ");
    EXPECT_NE(text.find("\r\n                   5     1     1 \r\n"), std::string::npos);

    img.Adrb(PICKUP_SYSTEM) = 14;
    text = IgnFileText(img, {}, STAMP);
    EXPECT_NE(text.find("\r\n                  69     1     0 \r\n"), std::string::npos);
}

TEST(IgnWriter, FieldsOutsideTheFileNeverChangeIt)
{
    const ParamImage img = StartupImage();
    const std::string before = IgnFileText(img, {}, STAMP);
    ParamImage other = img;
    for (int a : { 97, 98, 99, 100, 101, 102, 133, 134, 151, 154, 83, 60, 160, 185 })
        other.Adrb(a) = 77;
    other.Adrb(COMPENSATION + 2) = 99; // bytes 112..114 are not written either
    EXPECT_EQ(IgnFileText(other, {}, STAMP), before);
}

// The facts say which fields the file holds; a comparison of two files relies on it.
TEST(IgnWriter, ExactlyTheFieldsTheFactsMarkAsInTheFileChangeIt)
{
    const ParamImage img = StartupImage();
    const std::string before = IgnFileText(img, {}, STAMP);
    for (const FieldFact& f : FieldFacts::All()) {
        ParamImage other = img;
        other.Adrb(f.FirstByte()) ^= 1;
        EXPECT_EQ(IgnFileText(other, {}, STAMP) != before, f.inFile) << f.name;
    }
}

TEST(IgnWriter, WriteIgnFileSavesAndReportsAFolderThatDoesNotExist)
{
    ScopedWorkDir dir;
    const QString path = QString::fromStdString(dir.file("a.ign"));
    QString error;
    ASSERT_TRUE(WriteIgnFile(path, StartupImage(), Labels(), &error, STAMP)) << error.toStdString();
    EXPECT_EQ(ReadWholeFile(dir.file("a.ign")), IgnFileText(StartupImage(), Labels(), STAMP));

    EXPECT_FALSE(
        WriteIgnFile(QString::fromStdString(dir.file("missing/b.ign")), StartupImage(), Labels(), &error, STAMP));
    EXPECT_FALSE(error.isEmpty());
}

TEST(BuildStamp, DayIsWrittenWithoutPadding)
{
    EXPECT_EQ(BuildStamp::NormalizeDate("Jan  7 2020"), "Jan 7 2020");
    EXPECT_EQ(BuildStamp::NormalizeDate("Dec 24 2026"), "Dec 24 2026");
    EXPECT_EQ(BuildStamp::Program().time.size(), 8u);
}
