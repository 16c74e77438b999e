#include "EngineRecording.h"
#include "MapTestSupport.h"
#include "TempDir.h"

#include "mapedit/MapHits.h"
#include "monitor/IgnlogFile.h"

#include <gtest/gtest.h>

#include <numeric>

namespace {

// The advance map with speed columns 1000 .. 10000 rpm and throttle rows 0 .. 100 %.
class MapHitsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        DefineProgramMap(tab, MapKind::Advance);
        FillSheet(tab, AdvanceRpm, TpPoints);
    }

    MapHits Count(const std::vector<EngineReading>& readings)
    {
        EXPECT_TRUE(WriteEngineRecording("hits.ignlog", readings));
        IgnlogFile log;
        EXPECT_EQ(log.Load("hits.ignlog"), "");
        return MapHits::Count(log, tab.Sheet());
    }

    static double Sum(const MapHits& h)
    {
        double sum = 0;
        for (int r = 0; r < h.Rows(); ++r)
            for (int c = 0; c < h.Columns(); ++c)
                sum += h.Share(c, r);
        return sum;
    }

    ScopedWorkDir dir; // the recordings are written here
    MapModel tab;
};

TEST_F(MapHitsTest, OneSpeedAndLoadPutsAllTheTimeInOneCell)
{
    const MapHits h = Count(std::vector<EngineReading>(12, { 3000, 20 }));
    EXPECT_DOUBLE_EQ(h.Share(2, 4), 1.0);
    EXPECT_EQ(h.Records(2, 4), 12);
    EXPECT_DOUBLE_EQ(Sum(h), 1.0);
    EXPECT_DOUBLE_EQ(h.LargestShare(), 1.0);
    EXPECT_TRUE(h.TimeWeighted());
    EXPECT_DOUBLE_EQ(h.RunningSeconds(), 12 * 0.4);
}

TEST_F(MapHitsTest, ReadingsLandOnTheNearestEntryAsTheLivePointDoes)
{
    struct Case {
        EngineReading reading;
        int column, row;
    };
    const Case cases[] = {
        { { 500, 0 }, 0, 0 }, // below the first column
        { { 1499, 0 }, 0, 0 }, { { 1500, 3 }, 1, 1 }, // halfway goes up, on both axes
        { { 9900, 100 }, 9, 9 }, { { 20000, 250 }, 9, 9 }, // beyond the last entries
    };
    for (const Case& c : cases) {
        const MapHits h = Count({ c.reading });
        EXPECT_EQ(h.Records(c.column, c.row), 1) << c.reading.rpm << " rpm, " << c.reading.load << " %";
        EXPECT_DOUBLE_EQ(Sum(h), 1.0);
    }
}

TEST_F(MapHitsTest, SweepVisitsTheCellsInOrder)
{
    std::vector<EngineReading> sweep;
    for (int rpm = 1000; rpm <= 10000; rpm += 250)
        sweep.push_back({ rpm, 40 });
    const MapHits h = Count(sweep);
    ASSERT_EQ(h.PlacedRecords(), static_cast<int>(sweep.size()));
    int previous = 0;
    for (const MapHits::Point& p : h.Points()) {
        EXPECT_GE(p.column, previous);
        EXPECT_LE(p.column, previous + 1);
        EXPECT_EQ(p.row, 6);
        previous = p.column;
    }
    for (int c = 0; c < h.Columns(); ++c)
        EXPECT_GT(h.Share(c, 6), 0.0) << "column " << c;
    EXPECT_NEAR(Sum(h), 1.0, 1e-12);
}

TEST_F(MapHitsTest, EngineStoppedRecordsAreLeftOut)
{
    const MapHits h = Count({ { 0, 0 }, { 0, 50 }, { 4000, 60 }, { 4000, 60 }, { 0, 60 }, { 4000, 60 } });
    EXPECT_EQ(h.StoppedRecords(), 3);
    EXPECT_EQ(h.PlacedRecords(), 3);
    EXPECT_DOUBLE_EQ(h.Share(3, 7), 1.0);
    EXPECT_DOUBLE_EQ(Sum(h), 1.0);
}

TEST_F(MapHitsTest, SharesWeighTheTimeUntilTheNextRecord)
{
    // One record at 2000 rpm held for 300 ms, then two at 5000 rpm 100 ms apart: the last one
    // counts as long as the one before it.
    const MapHits h = Count({ { 2000, 0 }, { 5000, 0, 1, 300 }, { 5000, 0, 1, 100 } });
    EXPECT_NEAR(h.Share(1, 0), 0.6, 1e-12);
    EXPECT_NEAR(h.Share(4, 0), 0.4, 1e-12);
    EXPECT_EQ(h.Records(1, 0), 1);
    EXPECT_EQ(h.Records(4, 0), 2);
}

TEST_F(MapHitsTest, AGapInTheMonitorDataCountsNoMoreThanTheLongestSpan)
{
    const MapHits h = Count({ { 2000, 0 }, { 5000, 0, 1, 60000 }, { 5000, 0, 1, 500 } });
    EXPECT_DOUBLE_EQ(h.RunningSeconds(), (MapHits::MAX_RECORD_SPAN_MS + 500 + 500) / 1000.0);
}

TEST_F(MapHitsTest, RecordsWithoutUsableTimesWeighTheSame)
{
    const MapHits h = Count({ { 2000, 0 }, { 2000, 0, 1, 0 }, { 5000, 0, 1, 0 }, { 6000, 0, 1, 0 } });
    EXPECT_FALSE(h.TimeWeighted());
    EXPECT_DOUBLE_EQ(h.Share(1, 0), 0.5);
    EXPECT_DOUBLE_EQ(h.Share(4, 0), 0.25);
    EXPECT_DOUBLE_EQ(Sum(h), 1.0);
}

TEST_F(MapHitsTest, ALoadTheAxisDoesNotMeasureLandsNowhere)
{
    const MapHits h = Count({ { 3000, 95, 2 }, { 3000, 20, 1 } });
    EXPECT_EQ(h.UnplacedRecords(), 1);
    EXPECT_EQ(h.Records(2, 4), 1);
    EXPECT_DOUBLE_EQ(Sum(h), 1.0);
}

TEST_F(MapHitsTest, ASwitchedOffLoadAxisTakesEveryLoadOnItsOneRow)
{
    tab.Sheet().axisY.off = 1;
    tab.Sheet().axisY.ResolveOffIndex();
    const int row = tab.Sheet().axisY.offIndex;
    const MapHits h = Count({ { 3000, 95, 2 }, { 3000, 20, 1 }, { 7000, 0, 0 } });
    EXPECT_EQ(h.UnplacedRecords(), 0);
    EXPECT_EQ(h.Records(2, row), 2);
    EXPECT_EQ(h.Records(6, row), 1);
}

TEST_F(MapHitsTest, ARecordingWithoutRunningEngineHasNoShares)
{
    for (const auto& readings : { std::vector<EngineReading> {}, std::vector<EngineReading>(3, { 0, 10 }) }) {
        const MapHits h = Count(readings);
        EXPECT_EQ(h.PlacedRecords(), 0);
        EXPECT_DOUBLE_EQ(Sum(h), 0.0);
        EXPECT_DOUBLE_EQ(h.LargestShare(), 0.0);
    }
}

TEST_F(MapHitsTest, AnEditedAxisMakesTheCountsStale)
{
    const MapHits h = Count({ { 3000, 20 } });
    EXPECT_TRUE(h.CountedOn(tab.Sheet()));
    tab.Sheet().axisX.values[3] += 1;
    EXPECT_FALSE(h.CountedOn(tab.Sheet()));
    tab.Sheet().axisX.values[3] -= 1;
    tab.Sheet().axisY.off = 1;
    EXPECT_FALSE(h.CountedOn(tab.Sheet()));
}

} // namespace
