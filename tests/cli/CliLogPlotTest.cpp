#include "../monitor/LogRecording.h"
#include "CliRun.h"
#include "TempDir.h"
#include "lang/LangString.h"
#include "monitor/LogTrace.h"

#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

namespace {

class CliLogPlot : public ::testing::Test {
protected:
    CliRun Plot(QStringList args) { return RunProgram(QStringList { "log-plot", File("ride.ignlog") } + args); }
    QString File(const char* name) const { return QString::fromStdString(dir.file(name)); }
    QImage Picture(const char* name) const { return QImage(File(name)); }
    ScopedWorkDir dir;
};

// The highest row holding the trace's colour in each column, -1 where it has none.
std::vector<int> TopRows(const QImage& image, unsigned rgb)
{
    std::vector<int> rows(static_cast<size_t>(image.width()), -1);
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height() && rows[static_cast<size_t>(x)] < 0; ++y)
            if ((image.pixel(x, y) & 0xFFFFFF) == rgb)
                rows[static_cast<size_t>(x)] = y;
    return rows;
}

double MeanRow(const std::vector<int>& rows, size_t from, size_t to)
{
    double sum = 0;
    int n = 0;
    for (size_t x = from; x < to; ++x)
        if (rows[x] >= 0)
            sum += rows[x], ++n;
    return n ? sum / n : -1;
}

} // namespace

TEST_F(CliLogPlot, EngineSpeedTraceRisesWhereTheRecordingsSpeedRises)
{
    ASSERT_TRUE(WriteLogRecording(dir.file("ride.ignlog"), 60));
    const CliRun r = Plot({ "-o", File("rpm.png"), "--traces", "rpm", "--size", "600x300" });
    ASSERT_EQ(r.code, 0) << r.err;
    const QImage picture = Picture("rpm.png");
    ASSERT_EQ(picture.size(), QSize(600, 300));
    const unsigned red = LogTrace::All()[static_cast<size_t>(LogTrace::Find("rpm"))].rgb;
    const std::vector<int> rows = TopRows(picture, red);
    const long columns = std::count_if(rows.begin(), rows.end(), [](int y) { return y >= 0; });
    EXPECT_GT(columns, 400) << "the trace spans the plot";
    const double left = MeanRow(rows, 0, 200), right = MeanRow(rows, 400, 600);
    ASSERT_GT(left, 0);
    ASSERT_GT(right, 0);
    EXPECT_GT(left - right, 100) << "higher speed is drawn higher up";
}

TEST_F(CliLogPlot, DefaultTracesAndOnOffLanesAreDrawn)
{
    ASSERT_TRUE(WriteLogRecording(dir.file("ride.ignlog"), 200));
    const CliRun r = Plot({ "-o", File("all.png"), "--traces", "rpm,tp,adv1,adv2,supply,limiter,kill,pout1" });
    ASSERT_EQ(r.code, 0) << r.err;
    const QImage picture = Picture("all.png");
    ASSERT_EQ(picture.size(), QSize(1200, 800));
    for (const char* key : { "rpm", "load", "adv1", "adv2", "supply", "limiter", "kill", "pout1" }) {
        const unsigned rgb = LogTrace::All()[static_cast<size_t>(LogTrace::Find(key))].rgb;
        const std::vector<int> rows = TopRows(picture, rgb);
        EXPECT_GT(std::count_if(rows.begin(), rows.end(), [](int y) { return y >= 0; }), 50) << key;
    }
    EXPECT_EQ(Plot({ "-o", File("default.png") }).code, 0);
    EXPECT_FALSE(Picture("default.png").isNull());
}

TEST_F(CliLogPlot, BadInputIsRefused)
{
    ASSERT_TRUE(WriteLogRecording(dir.file("ride.ignlog"), 10));
    struct Case {
        QStringList args;
        int code;
        const char* message;
    };
    const Case cases[] = {
        { { "-o", File("x.png"), "--traces", "rpm,nope" }, 2, "unknown trace \"nope\"" },
        { { "--traces", "rpm" }, 2, "usage:" },
        { { "-o", File("x.png"), "--size", "3x3" }, 2, "WxH" },
        { { "-o", QString::fromStdString(dir.file("no/such/dir/x.png")) }, 1, "cannot write" },
    };
    for (const Case& c : cases) {
        const CliRun r = Plot(c.args);
        EXPECT_EQ(r.code, c.code) << c.message;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }

    QFile damaged(File("ride.ignlog"));
    ASSERT_TRUE(damaged.open(QIODevice::ReadWrite));
    damaged.resize(damaged.size() - 30);
    damaged.close();
    const CliRun r = Plot({ "-o", File("x.png") });
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find(LangText(MonitorPlayer::DamagedText(), LANG_ENGLISH)), std::string::npos) << r.err;
    EXPECT_FALSE(QFile::exists(File("x.png"))) << "no picture of a damaged recording";
}
