#include "IgnTestSupport.h"
#include "TempDir.h"

#include "files/IgnOpen.h"
#include "files/ServiceFiles.h"

#include <QDir>

#include <gtest/gtest.h>

#include <fstream>

TEST(ServiceFiles, FileNameFormatter)
{
    const std::pair<const char*, const char*> cases[] = {
        { "3 Zylinder   1 Geber", "3 Zylinder (1 Geber)" },
        { "Honda CBR 7P", "Honda CBR 7P" },
        { "  5x ", "(5x)" },
        { "a  b  ", "a b " },
        { "A  1 B  2", "A (1 B (2)" },
        { "", "" },
    };
    for (auto [in, out] : cases)
        EXPECT_EQ(ServiceFiles::FileName(in), out) << in;
}

TEST(ServiceFiles, SaveAllNewWritesADefaultFilePerBikeAndCompareFindsChanges)
{
    ScopedWorkDir dir;
    const QString base = QString::fromStdString(dir.path());
    std::vector<std::string> messages;
    const auto sink = [&](const std::string& m) { messages.push_back(m); };
    const BuildStamp stamp { "Jan 1 2020", "00:00:00" };
    EXPECT_EQ(ServiceFiles::SaveAllNew(base, {}, stamp, ServiceFiles::DefaultBikeText, sink), 43);
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(dir.exists("new_ign/Yamaha R6.ign"));
    EXPECT_TRUE(dir.exists("new_ign/41.ign"));

    // The R6 file opens to the start-up image.
    ParamImage img;
    IgnReader reader(img);
    ASSERT_TRUE(OpenIgnTwoPass(reader, base + "/new_ign/Yamaha R6.ign", PAGE_ALL).accepted());
    EXPECT_EQ(img, StartupImage());

    QDir().mkpath(base + "/new_ign_old");
    std::string old = ReadWholeFile(dir.file("new_ign/Yamaha R6.ign"));
    old.replace(old.find("LIMITER          110"), 20, "LIMITER          111");
    old.replace(old.find("EXE  Jan 1 2020"), 15, "EXE  Feb 2 2021");
    std::ofstream(dir.file("new_ign_old/Yamaha R6.ign"), std::ios::binary) << old;

    ASSERT_TRUE(ServiceFiles::CompareAllNew(base, ServiceFiles::DefaultBikeText, sink));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("Results in file", 0), 0u);
    const std::string result = ReadWholeFile(dir.file("new_ign/compare_all_new.txt"));
    EXPECT_NE(result.find("------------------------------------------------------   Yamaha R6\n....line:24\n"
                          "                   1 \nLIMITER          110 \n"),
        std::string::npos)
        << result;
    EXPECT_EQ(result.find("EXE"), std::string::npos) << "build stamps are not compared";
    EXPECT_NE(result.find("------------------------------------------------------   Kawasaki ZX\n"
                          "!!!!!!!!!soubor \"old\" se nepodarilo otevrit \n"),
        std::string::npos);
}
