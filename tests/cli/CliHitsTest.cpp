#include "CliRun.h"
#include "EngineRecording.h"
#include "TempDir.h"
#include "files/IgnWriter.h"
#include "model/ImageDefaults.h"
#include "monitor/IgnlogFile.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

// The start-up settings with a two-dimensional advance map over the TP sensor and speed columns
// every `step` hundred rpm from `step` on.
ParamImage HandMadeImage(int step = 10)
{
    ParamImage img = StartupImage();
    img.Adrb(TPSIAP_SENSOR) = 1;
    img.Adrb(ADV_MAPA) = 1;
    for (int c = 0; c < MAP_DIM; ++c)
        img.Adrb(RPM_ADV + c) = static_cast<uint8_t>(step * (c + 1));
    return img;
}

// Ten records at 3000 rpm and 20 % throttle, two with the engine stopped around them.
std::vector<EngineReading> SteadyRide()
{
    std::vector<EngineReading> ride { { 0, 0 } };
    ride.insert(ride.end(), 10, { 3000, 20 });
    ride.push_back({ 0, 0 });
    return ride;
}

class CliHits : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(WriteEngineRecording(dir.file("ride.ignlog"), SteadyRide(), HandMadeImage())); }
    QString Path(const std::string& name) const { return QString::fromStdString(dir.file(name)); }
    CliRun Hits(const QStringList& args) { return RunProgram(QStringList { "hits" } + args); }
    static QJsonObject Json(const CliRun& run)
    {
        return QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).object();
    }
    static double Sum(const QJsonArray& table)
    {
        double sum = 0;
        for (const QJsonValue& row : table)
            for (const QJsonValue& v : row.toArray())
                sum += v.toDouble();
        return sum;
    }

    ScopedWorkDir dir;
};

TEST_F(CliHits, JsonGivesSharesAndCountsOnTheRecordedAxes)
{
    const CliRun run = Hits({ Path("ride.ignlog"), "--map", "advance", "--json" });
    ASSERT_EQ(run.code, 0) << run.err;
    const QJsonObject o = Json(run);
    EXPECT_EQ(o["map"].toString(), "advance");
    EXPECT_EQ(o["weighting"].toString(), "time");
    EXPECT_EQ(o["records"].toObject()["running"].toInt(), 10);
    EXPECT_EQ(o["records"].toObject()["stopped"].toInt(), 2);
    const QJsonArray columns = o["columns"].toObject()["values"].toArray();
    ASSERT_EQ(columns.size(), MAP_DIM);
    EXPECT_DOUBLE_EQ(columns[0].toDouble(), 1000);
    EXPECT_DOUBLE_EQ(columns[9].toDouble(), 10000);
    EXPECT_EQ(o["rows"].toObject()["name"].toString(), "TP");
    const QJsonArray shares = o["shares"].toArray(), counts = o["counts"].toArray();
    ASSERT_EQ(shares.size(), MAP_DIM);
    EXPECT_DOUBLE_EQ(Sum(shares), 1.0);
    EXPECT_DOUBLE_EQ(shares[4].toArray()[2].toDouble(), 1.0); // 20 % and 3000 rpm
    EXPECT_EQ(counts[4].toArray()[2].toInt(), 10);
    EXPECT_DOUBLE_EQ(Sum(counts), 10);
}

TEST_F(CliHits, TextShowsTheTableInPercent)
{
    const CliRun run = Hits({ Path("ride.ignlog"), "--map", "advance" });
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("TP [%] \\ RPM"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("100.0"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("2 with the engine stopped"), std::string::npos) << run.out;
}

TEST_F(CliHits, SettingsGiveTheAxesARecordingLacks)
{
    // The recording's configuration record turned into a unit record of the same length: the
    // recording no longer says what the maps looked like.
    IgnlogFile log;
    ASSERT_EQ(log.Load(dir.file("ride.ignlog")), "");
    for (int i = 0; i < log.totalCount(); ++i)
        if (log.recordType(i) == ignlog::REC_IMAGE)
            log.area[static_cast<size_t>(log.offset(i)) + ignlog::R_TYPE] = ignlog::REC_MIRROR;
    QFile out(Path("bare.ignlog"));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    const std::vector<uint8_t> bytes = log.serialize();
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    out.close();

    const CliRun bare = Hits({ Path("bare.ignlog"), "--map", "advance" });
    EXPECT_EQ(bare.code, 2);
    EXPECT_NE(bare.err.find("--settings"), std::string::npos) << bare.err;

    // Columns every 500 rpm: 3000 rpm is the sixth.
    ASSERT_TRUE(WriteIgnFile(Path("half.ign"), HandMadeImage(5), {}));
    const CliRun given = Hits({ Path("bare.ignlog"), "--map", "advance", "--settings", Path("half.ign"), "--json" });
    ASSERT_EQ(given.code, 0) << given.err;
    EXPECT_DOUBLE_EQ(Json(given)["shares"].toArray()[4].toArray()[5].toDouble(), 1.0);
}

TEST_F(CliHits, WrongUsageAndBadInputExitWithTwo)
{
    QFile damaged(Path("damaged.ignlog"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("not a recording");
    damaged.close();
    const QStringList cases[] = {
        { Path("ride.ignlog") },
        { Path("ride.ignlog"), "--map", "power1" },
        { Path("ride.ignlog"), "--map" },
        { Path("ride.ignlog"), "--map", "advance", "--bogus" },
        { "--map", "servo" },
        { Path("missing.ignlog"), "--map", "advance" },
        { Path("damaged.ignlog"), "--map", "advance" },
        { Path("ride.ignlog"), "--map", "advance", "--settings", Path("missing.ign") },
    };
    for (const QStringList& args : cases) {
        const CliRun run = Hits(args);
        EXPECT_EQ(run.code, 2) << args.join(' ').toStdString();
        EXPECT_FALSE(run.err.empty()) << args.join(' ').toStdString();
        EXPECT_TRUE(run.out.empty()) << args.join(' ').toStdString();
    }
}

} // namespace
