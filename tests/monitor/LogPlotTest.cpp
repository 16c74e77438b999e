#include "monitor/LogPlot.h"

#include "LogRecording.h"
#include "TempDir.h"
#include "lang/LangString.h"
#include "monitor/LogTrace.h"
#include "monitor/MonitorCsv.h"
#include "monitor/MonitorField.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <sstream>

namespace {

std::vector<std::string> SplitCsv(const std::string& line)
{
    std::vector<std::string> cells;
    std::stringstream in(line);
    std::string cell;
    while (std::getline(in, cell, ','))
        cells.push_back(cell);
    if (!line.empty() && line.back() == ',')
        cells.emplace_back();
    return cells;
}

// The CSV column of a trace's field element.
size_t ColumnOf(const LogTrace& t)
{
    const std::vector<std::string> header = SplitCsv(MonitorCsv::Header());
    const MonitorField* f = MonitorField::Find(t.field);
    const std::string name = std::string(t.field) + (f->count > 1 ? std::to_string(t.element + 1) : "");
    for (size_t c = 0; c < header.size(); ++c)
        if (header[c] == name || header[c].rfind(name + " [", 0) == 0)
            return c;
    ADD_FAILURE() << "no column for " << t.key;
    return 0;
}

struct LogPlotFixture : testing::Test {
    ScopedWorkDir dir;
    std::string path = dir.file("ride.ignlog");
    LogPlot plot;
};

} // namespace

TEST_F(LogPlotFixture, TracesHoldTheValuesOfTheCsvExport)
{
    ASSERT_TRUE(WriteLogRecording(path, 120));
    ASSERT_EQ(plot.Load(path), "");
    ASSERT_EQ(plot.samples(), 120);

    IgnlogFile log;
    QFile f(QString::fromStdString(path));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray raw = f.readAll();
    ASSERT_EQ(log.parse(std::vector<uint8_t>(raw.begin(), raw.end())), IgnlogFile::ParseError::None);
    int sample = 0;
    for (int i = log.snapshotCount(); i < log.totalCount(); ++i, ++sample) {
        MonitorImage m;
        std::copy_n(log.record(i) + ignlog::R_PAYLOAD, MONITOR_BLOCK_LEN, m.bytes().begin());
        const std::vector<std::string> row = SplitCsv(MonitorCsv::Row(log.recordTime(i) / 1000.0, m));
        EXPECT_EQ(std::stod(row[0]), plot.times()[static_cast<size_t>(sample)]);
        for (size_t t = 0; t < LogTrace::All().size(); ++t) {
            const LogTrace& trace = LogTrace::All()[t];
            const std::string& cell = row[ColumnOf(trace)];
            const double value = plot.values(static_cast<int>(t))[static_cast<size_t>(sample)];
            if (cell.empty()) {
                EXPECT_TRUE(std::isnan(value)) << trace.key << " at sample " << sample;
                continue;
            }
            const double expected = !trace.onOff() ? std::stod(cell)
                : trace.bit >= 8                    ? (std::stol(cell) != 0)
                                                    : ((std::stol(cell) >> trace.bit) & 1);
            EXPECT_EQ(value, expected) << trace.key << " at sample " << sample;
        }
    }
    EXPECT_EQ(plot.values(LogTrace::Find("rpm"))[10], 1500.0);
    EXPECT_EQ(plot.values(LogTrace::Find("supply"))[1], 12.037);
    EXPECT_TRUE(std::isnan(plot.values(LogTrace::Find("adv2"))[0]));
}

TEST_F(LogPlotFixture, CursorTimeSelectsThePlayerPositionOfThatRecord)
{
    ASSERT_TRUE(WriteLogRecording(path, 30));
    ASSERT_EQ(plot.Load(path), "");
    std::vector<int> replayedRpm;
    MonitorPlayer::Hooks h;
    h.clockMs = [] { return int64_t{0}; };
    h.replayMonitor = [&](const uint8_t* m) { replayedRpm.push_back(m[2 * MON_RPM] | (m[2 * MON_RPM + 1] << 8)); };
    MonitorPlayer player(h);
    ASSERT_TRUE(player.StartPlaying(path));

    const int rpm = LogTrace::Find("rpm");
    for (double seconds : { 0.0, 0.1, 0.25, 1.0, 1.449, 2.95, 99.0 }) {
        const int sample = plot.SampleAt(seconds);
        player.SetPosition(plot.PositionOf(sample));
        ASSERT_FALSE(replayedRpm.empty());
        EXPECT_EQ(replayedRpm.back(), plot.values(rpm)[static_cast<size_t>(sample)]) << seconds;
        EXPECT_LE(plot.times()[static_cast<size_t>(sample)], std::max(seconds, plot.start())) << seconds;
        EXPECT_EQ(plot.SampleOfPosition(player.position()), sample) << seconds;
    }
    EXPECT_EQ(plot.SampleAt(1.0), 9) << "the record at 1.0 s is the tenth";
    EXPECT_EQ(plot.SampleOfPosition(0), -1) << "position 0 is the snapshot, before any monitor record";
}

TEST_F(LogPlotFixture, DamagedRecordingIsRefusedWithThePlayersMessage)
{
    ASSERT_TRUE(WriteLogRecording(path, 10));
    ASSERT_EQ(plot.Load(path), "");
    QFile f(QString::fromStdString(path));
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.resize(f.size() - 30);
    f.close();

    EXPECT_EQ(plot.Load(path), MonitorPlayer::DamagedText());
    EXPECT_TRUE(plot.empty());
    EXPECT_EQ(plot.SampleAt(1.0), -1);
    EXPECT_NE(plot.Load(dir.file("missing.ignlog")), "");
    EXPECT_TRUE(plot.empty());
}

TEST(LogTraceTable, KeysAreUniqueAndEveryFieldExists)
{
    std::set<std::string> keys;
    std::set<unsigned> colours;
    for (const LogTrace& t : LogTrace::All()) {
        EXPECT_TRUE(keys.insert(t.key).second) << t.key;
        EXPECT_TRUE(colours.insert(t.rgb).second) << t.key;
        ASSERT_NE(MonitorField::Find(t.field), nullptr) << t.key;
        EXPECT_LT(t.element, MonitorField::Find(t.field)->count) << t.key;
        EXPECT_EQ(LangText(t.title, LANG_CZECH) == std::string(t.title), false) << t.key;
    }
    EXPECT_EQ(LogTrace::Find("tp"), LogTrace::Find("load"));
    EXPECT_EQ(LogTrace::Find("iap"), LogTrace::Find("load"));
    EXPECT_EQ(LogTrace::Find("nope"), -1);
}
