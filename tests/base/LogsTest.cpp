#include "base/MathErrors.h"
#include "base/Trace.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <regex>

TEST(Trace, WritesNothingWhileClosed)
{
    ScopedWorkDir dir;
    Trace::Close();
    TraceLine("Open LOG");
    TraceLinef("T%03i", 1);
    EXPECT_FALSE(Trace::IsOpen());
    EXPECT_TRUE(QDir(QString::fromStdString(dir.path())).entryList(QDir::Files).isEmpty());
}

TEST(Trace, LineFormat)
{
    ScopedWorkDir dir;
    ASSERT_TRUE(Trace::Open(dir.file("trace.txt")));
    Trace::SetOrigin();
    Trace::LoopCounter = 17;
    TraceLine("FORM Initialised");
    TraceLinef("T%03i", 7);
    Trace::Close();
    Trace::LoopCounter = 0;
    const std::string text = dir.read("trace.txt");
    const std::regex line(R"(\d\d:\d\d:\d\d\.\d\d:   \(17\) FORM Initialised\n\d\d:\d\d:\d\d\.\d\d:   \(17\) T007\n)");
    EXPECT_TRUE(std::regex_match(text, line)) << text;
}

TEST(MathErrors, SquareRootOfMinusFourYieldsOneAndLogsOnce)
{
    ScopedWorkDir dir;
    EXPECT_DOUBLE_EQ(CheckedSqrt(-4.0), 1.0);
    const std::string log = dir.read("IGN.err");
    const std::regex line(R"(<LOG TIME=\d+\.\d+\.\d{4} \d+:\d+:\d+ NORVIK_v93: MATHERR sqrt>\n)");
    EXPECT_TRUE(std::regex_match(log, line)) << log;
}

TEST(MathErrors, ValidArgumentsAreNotLogged)
{
    ScopedWorkDir dir;
    EXPECT_DOUBLE_EQ(CheckedSqrt(16.0), 4.0);
    EXPECT_DOUBLE_EQ(CheckedPow(2.0, 10.0), 1024.0);
    EXPECT_NEAR(CheckedAcos(0.0), 1.5707963, 1e-6);
    EXPECT_FALSE(dir.exists("IGN.err"));
}

TEST(MathErrors, OtherDomainErrorsAreLoggedButNotReplaced)
{
    ScopedWorkDir dir;
    EXPECT_TRUE(std::isnan(CheckedAcos(2.0)));
    EXPECT_TRUE(std::isnan(CheckedLog(-1.0)));
    const std::string log = dir.read("IGN.err");
    EXPECT_NE(log.find("MATHERR acos>\n"), std::string::npos);
    EXPECT_NE(log.find("MATHERR log>\n"), std::string::npos);
}
