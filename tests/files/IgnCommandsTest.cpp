#include "IgnTestSupport.h"
#include "TempDir.h"

#include "files/IgnCommands.h"
#include "files/IgnWriter.h"
#include "model/ImageDefaults.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

} // namespace

TEST(IgnCommands, ConvertUpgradesAVersion80File)
{
    ScopedWorkDir dir;
    std::ofstream(dir.file("old.ign"), std::ios::binary) << "MOTRAVEX_KEY 80\r\nBIKE 5 4 7 2 1 0 0 3 1 0 1 0 0 1 0 0 1 "
                                                            "0 0 1 0 0 1 0 0 1 0 0 0 4 4 4 4\r\nLIMITER 120\r\n"
                                                            "SERVO_MV 100 200 300 400 500 600 700 800 900 1000\r\n";
    std::ostringstream err;
    ASSERT_EQ(IgnCommands::Convert(Q(dir.file("old.ign")), Q(dir.file("new.ign")), err), 0) << err.str();
    EXPECT_NE(err.str().find("note: Older or another version"), std::string::npos);
    const std::string text = ReadWholeFile(dir.file("new.ign"));
    EXPECT_EQ(text.rfind("MOTRAVEX_KEY      93 VORDAX4/VORDAX4\r\n", 0), 0u);

    ParamImage img = StartupImage();
    std::ostringstream err2;
    ASSERT_TRUE(IgnCommands::Open(Q(dir.file("new.ign")), img, err2));
    EXPECT_TRUE(err2.str().empty()) << "a version-93 file needs no note";
    EXPECT_EQ(img.Adrb(BIKE), 5);
    EXPECT_EQ(img.Adrb(LIMITER), 120);
    EXPECT_EQ(img.Adrb(SERVO_MV + 90 + 4), 25);
}

TEST(IgnCommands, RefusedInputsWriteNothing)
{
    ScopedWorkDir dir;
    std::ofstream(dir.file("foreign.ign"), std::ios::binary) << "MOTRAVEX_KEY 92\r\nLIMITER 120 ";
    std::ofstream(dir.file("text.txt"), std::ios::binary) << "hello";
    std::ofstream big(dir.file("big.ign"), std::ios::binary);
    big << std::string(10 * 1024 * 1024 + 1, ' ');
    big.close();
    const std::pair<const char*, const char*> cases[] = {
        { "missing.ign", "cannot open" },
        { "foreign.ign", "not a parameter file of version 93 or 80 (Unmatched version" },
        { "text.txt", "not a parameter file" },
        { "big.ign", "larger than 10 MiB" },
    };
    for (auto [in, message] : cases) {
        std::ostringstream err;
        EXPECT_EQ(IgnCommands::Convert(Q(dir.file(in)), Q(dir.file("out.ign")), err), 2) << in;
        EXPECT_NE(err.str().find(message), std::string::npos) << err.str();
        EXPECT_FALSE(dir.exists("out.ign")) << in;
        std::ostringstream out;
        EXPECT_EQ(IgnCommands::Show(Q(dir.file(in)), out, err), 2);
        EXPECT_TRUE(out.str().empty());
    }
}

TEST(IgnCommands, ShowListsFieldsInUserUnitsAndTheMaps)
{
    ScopedWorkDir dir;
    ParamImage img = StartupImage();
    img.Adrb(ADVANCE + 10 * 2 + 3) = 70;
    ASSERT_TRUE(WriteIgnFile(Q(dir.file("a.ign")), img, {}));
    std::ostringstream out, err;
    ASSERT_EQ(IgnCommands::Show(Q(dir.file("a.ign")), out, err), 0) << err.str();
    const std::string text = out.str();
    for (const char* expected : { "\nLIMITER               11000 rpm\n", "\nBIKE                  20  Yamaha R6\n",
             "\nCORR_ADVANCE          0 0 0 0 deg\n",
             "\nLOBE_START            lobe 1 2nd-edge, lobe 3 2nd-edge, lobe 1, lobe 1\n",
             "\nRPM_PULSES            2 pulses/rev\n", "\nADVANCE (deg; columns rpm, rows load row)\n",
             "\n     3 |     10     24     35    -30     45", "\n     1 |   2000   2100   2200", "\nPOWER_OUT2 cells" })
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
}

TEST(IgnCommands, AFileLackingSettingsIsOpenedWithAWarningOrRefusedWhenStrict)
{
    ScopedWorkDir dir;
    const std::string complete = IgnFileText(StartupImage(), IgnUnitInfo {});
    const size_t servo = complete.find("SERVO_ENABLE");
    ASSERT_NE(servo, std::string::npos);
    std::ofstream(dir.file("complete.ign"), std::ios::binary) << complete;
    std::ofstream(dir.file("cut.ign"), std::ios::binary) << complete.substr(0, servo);
    // Cut inside the advance map, the record before SERVO_ENABLE: a record cut short is missing too.
    const size_t advance = complete.rfind("ADVANCE", servo);
    std::ofstream(dir.file("cutmidrecord.ign"), std::ios::binary) << complete.substr(0, (advance + servo) / 2);
    std::ofstream(dir.file("header.ign"), std::ios::binary) << "MOTRAVEX_KEY 93\r\n";

    auto missing = [&](const char* name, IgnCommands::Completeness completeness, bool* opened) {
        ParamImage img = StartupImage();
        std::ostringstream err;
        *opened = IgnCommands::Open(Q(dir.file(name)), img, err, completeness);
        const std::string text = err.str();
        const size_t at = text.find(" settings are missing from the file; they take the bike's defaults");
        if (at == std::string::npos)
            return 0;
        return std::stoi(text.substr(text.rfind(' ', at - 1) + 1));
    };
    bool opened = false;
    EXPECT_EQ(missing("complete.ign", IgnCommands::Completeness::Strict, &opened), 0);
    EXPECT_TRUE(opened);
    const int cut = missing("cut.ign", IgnCommands::Completeness::Tolerant, &opened);
    EXPECT_TRUE(opened) << "older and shorter files are still read";
    const int cutMid = missing("cutmidrecord.ign", IgnCommands::Completeness::Tolerant, &opened);
    const int header = missing("header.ign", IgnCommands::Completeness::Tolerant, &opened);
    EXPECT_TRUE(opened);
    EXPECT_GT(cut, 0);
    EXPECT_EQ(cutMid, cut + 1) << "the half-read advance map counts as missing";
    EXPECT_GT(header, cut);

    for (const char* name : { "cut.ign", "header.ign" }) {
        std::ostringstream err;
        ParamImage img = StartupImage();
        EXPECT_FALSE(IgnCommands::Open(Q(dir.file(name)), img, err, IgnCommands::Completeness::Strict)) << name;
        EXPECT_NE(err.str().find("--strict refuses it"), std::string::npos) << err.str();
    }

    std::ostringstream out, err;
    EXPECT_EQ(IgnCommands::Show(Q(dir.file("cut.ign")), out, err), 0);
    EXPECT_NE(err.str().find("warning: "), std::string::npos) << err.str();
    EXPECT_EQ(IgnCommands::Convert(Q(dir.file("cut.ign")), Q(dir.file("out.ign")), err), 0);
    EXPECT_NE(err.str().find(std::to_string(cut) + " settings are missing"), std::string::npos) << err.str();
}
