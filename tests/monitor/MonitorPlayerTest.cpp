#include "monitor/MonitorPlayer.h"

#include "FileSizeLimit.h"
#include "TempDir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace ignlog;

namespace {

// A player wired to a fake clock and recording sinks, as the window wires it to itself.
struct PlayerFixture : testing::Test {
    ScopedWorkDir dir;
    int64_t clock = 10000;
    ParamImage image;
    ParamImage mirror;
    bool mirrorValid = false;
    PageRecord pages;
    std::vector<std::string> messages;
    std::vector<int> replayed; // record types in replay order
    std::vector<int> replayedRpm;
    ParamImage lastImage;
    std::unique_ptr<MonitorPlayer> player;

    void SetUp() override
    {
        MonitorPlayer::Hooks h;
        h.clockMs = [this] { return clock; };
        h.wallSeconds = [] { return int64_t{1700000000}; };
        h.connectedPort = [] { return 7; };
        h.unitPanelText = [] { return std::string("VORDAX4 v93"); };
        h.image = [this] { return image; };
        h.unitMirror = [this]() -> const ParamImage* { return mirrorValid ? &mirror : nullptr; };
        h.pages = [this] { return pages; };
        h.replayImage = [this](const ParamImage& img) {
            replayed.push_back(REC_IMAGE);
            lastImage = img;
        };
        h.replayMirror = [this](const ParamImage&) { replayed.push_back(REC_MIRROR); };
        h.replayMonitor = [this](const uint8_t* m) {
            replayed.push_back(REC_MONITOR);
            replayedRpm.push_back(m[2] | (m[3] << 8));
        };
        h.replayPages = [this](const PageRecord&) { replayed.push_back(REC_PAGES); };
        h.message = [this](const std::string& text, const std::string&) { messages.push_back(text); };
        player = std::make_unique<MonitorPlayer>(h);
    }

    void monitorAt(int64_t t, int rpm)
    {
        clock = t;
        uint8_t block[100] = {};
        block[2] = static_cast<uint8_t>(rpm);
        block[3] = static_cast<uint8_t>(rpm >> 8);
        player->LogMonitor(block);
    }

    std::vector<uint8_t> fileBytes(const std::string& name)
    {
        QFile f(QString::fromStdString(dir.file(name)));
        f.open(QIODevice::ReadOnly);
        const QByteArray b = f.readAll();
        return {b.begin(), b.end()};
    }
};

} // namespace

TEST_F(PlayerFixture, SnapshotWithoutUnitHasThreeRecords)
{
    ASSERT_TRUE(player->StartRecording(dir.file("a.ignlog"), {}));
    ASSERT_TRUE(player->Stop());
    IgnlogFile log;
    ASSERT_EQ(log.parse(fileBytes("a.ignlog")), IgnlogFile::ParseError::None);
    EXPECT_EQ(log.snapshotCount(), 3);
    EXPECT_EQ(log.totalCount(), 3);
    EXPECT_EQ(log.recordType(0), REC_UNIT);
    EXPECT_EQ(log.recordType(1), REC_IMAGE);
    EXPECT_EQ(log.recordType(2), REC_PAGES);
    EXPECT_EQ(log.rsKey(), 93);
    EXPECT_EQ(get16(&log.header[0]), 256 + 2 * 3);
    EXPECT_EQ(log.record(0)[8], 7);
    EXPECT_STREQ(reinterpret_cast<const char*>(log.record(0) + 9), "VORDAX4 v93");
    EXPECT_EQ(get32(&log.header[H_AREA_LENGTH]), 84u + 408 + 92);
    EXPECT_EQ(fileBytes("a.ignlog").size(), 262u + 84 + 408 + 92);
}

TEST_F(PlayerFixture, SnapshotWithValidMirrorHasFourRecords)
{
    mirrorValid = true;
    player->StartRecording(dir.file("a.ignlog"), {});
    player->Stop();
    IgnlogFile log;
    ASSERT_EQ(log.parse(fileBytes("a.ignlog")), IgnlogFile::ParseError::None);
    EXPECT_EQ(log.snapshotCount(), 4);
    EXPECT_EQ(log.recordType(2), REC_MIRROR);
}

TEST_F(PlayerFixture, RepeatedPageRecordIsWrittenOnce)
{
    player->StartRecording(dir.file("a.ignlog"), {});
    pages.page = 3;
    player->LogPages(pages);
    pages.page = 0;
    player->LogPages(pages);
    player->LogPages(pages);
    EXPECT_EQ(player->file().totalCount(), 5);
}

TEST_F(PlayerFixture, PausedTimeIsNotCounted)
{
    player->StartRecording(dir.file("a.ignlog"), {});
    monitorAt(11000, 1000);
    player->Pause();
    clock = 21000;
    monitorAt(21000, 1); // dropped while paused
    player->ResumeRecording();
    monitorAt(21500, 2000);
    const IgnlogFile& log = player->file();
    ASSERT_EQ(log.totalCount(), 5);
    EXPECT_EQ(log.recordTime(3), 1000u);
    EXPECT_EQ(log.recordTime(4), 1500u);
}

TEST_F(PlayerFixture, PlaybackFollowsTheRecordedTiming)
{
    image.Adrb(RETARD) = 9;
    player->StartRecording(dir.file("r.ignlog"), {});
    monitorAt(11000, 1000);
    monitorAt(12500, 2000);
    player->Stop();

    clock = 50000;
    ASSERT_TRUE(player->StartPlaying(dir.file("r.ignlog")));
    EXPECT_EQ(replayed, (std::vector<int>{REC_IMAGE, REC_PAGES})) << "the snapshot is replayed first";
    EXPECT_EQ(lastImage.Adrb(RETARD), 9);
    EXPECT_TRUE(player->replaying());
    EXPECT_EQ(player->length(), 3);

    clock = 51000;
    player->PlaybackTick(); // the first monitor record is 1000 ms after the snapshot's start
    EXPECT_EQ(replayedRpm, (std::vector<int>{1000}));
    clock = 52499;
    player->PlaybackTick();
    EXPECT_EQ(replayedRpm.size(), 1u) << "1500 ms have not passed since the last step";
    clock = 52500;
    player->PlaybackTick();
    EXPECT_EQ(replayedRpm, (std::vector<int>{1000, 2000}));
    EXPECT_EQ(player->state(), MonitorPlayer::PlayingPaused) << "end of the records";

    replayed.clear();
    player->ResumePlaying();
    EXPECT_EQ(player->position(), 0);
    EXPECT_TRUE(replayed.empty()) << "restart does not replay the snapshot";
    clock = 53500;
    player->PlaybackTick();
    EXPECT_EQ(replayedRpm.back(), 1000);
}

TEST_F(PlayerFixture, ScrollBarReplaysOneRecord)
{
    player->StartRecording(dir.file("r.ignlog"), {});
    monitorAt(11000, 1000);
    monitorAt(12000, 2000);
    player->Stop();
    player->StartPlaying(dir.file("r.ignlog"));
    player->SetPosition(2);
    EXPECT_EQ(replayedRpm.back(), 2000);
    replayed.clear();
    player->SetPosition(0);
    EXPECT_EQ(replayed, (std::vector<int>{REC_IMAGE, REC_PAGES}));
}

TEST_F(PlayerFixture, OtherRsKeyIsRefused)
{
    player->StartRecording(dir.file("r.ignlog"), {});
    player->Stop();
    std::vector<uint8_t> bytes = fileBytes("r.ignlog");
    put16(&bytes[H_RS_KEY], 92);
    QFile f(QString::fromStdString(dir.file("k.ignlog")));
    f.open(QIODevice::WriteOnly);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    f.close();
    EXPECT_FALSE(player->StartPlaying(dir.file("k.ignlog")));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "RS keys are not equal (92!=93)");
    EXPECT_EQ(player->state(), MonitorPlayer::Idle);
}

TEST_F(PlayerFixture, DamagedFilesAreRefusedWithoutCrash)
{
    player->StartRecording(dir.file("r.ignlog"), {});
    monitorAt(11000, 1000);
    player->Stop();
    const std::vector<uint8_t> good = fileBytes("r.ignlog");
    using Error = IgnlogFile::ParseError;
    const int total = get16(&good[H_TOTAL_COUNT]);
    const uint32_t area = get32(&good[H_AREA_LENGTH]);
    ASSERT_EQ(get16(&good[H_LENGTH]), HEADER_BASE + 2 * total);
    // Each case below the first eight is refused by one check alone: the other checks pass it.
    struct Damage {
        const char* what;
        Error error;
        std::function<void(std::vector<uint8_t>&)> apply;
    } damages[] = {
        {"truncated area", Error::Truncated, [](auto& b) { b.resize(b.size() - 10); }},
        {"short header", Error::TooShort, [](auto& b) { b.resize(100); }},
        {"count beyond table", Error::BadCounts, [](auto& b) { put16(&b[H_TOTAL_COUNT], 50); }},
        {"negative header length", Error::BadHeaderLength, [](auto& b) { put16(&b[H_LENGTH], 0x8000); }},
        {"offset outside area", Error::BadRecord, [](auto& b) { put16(&b[H_OFFSETS + 2], 30000); }},
        {"record length", Error::BadRecord, [&](auto& b) { put16(&b[get16(&b[0]) + 84], 5); }},
        {"unknown type", Error::BadRecord, [&](auto& b) { b[get16(&b[0]) + 84 + 2] = 9; }},
        {"huge area length", Error::Truncated, [](auto& b) { put32(&b[H_AREA_LENGTH], 0xFFFFFFF0u); }},
        {"header length below its fixed part", Error::BadHeaderLength, [](auto& b) { put16(&b[H_LENGTH], HEADER_BASE - 2); }},
        {"odd header length", Error::BadHeaderLength, [&](auto& b) { put16(&b[H_LENGTH], HEADER_BASE + 2 * total + 1); }},
        {"header longer than the file", Error::BadHeaderLength,
            [](auto& b) { put16(&b[H_LENGTH], static_cast<uint16_t>((b.size() + 2) & ~size_t(1))); }},
        {"header longer than the offset table holds", Error::BadHeaderLength, [](auto& b) {
             b.resize(MAX_HEADER + 100);
             put16(&b[H_LENGTH], MAX_HEADER + 2);
         }},
        {"more snapshots than records", Error::BadCounts, [&](auto& b) { put16(&b[H_SNAPSHOT_COUNT], total + 1); }},
        {"area longer than a recording", Error::Truncated, [&](auto& b) {
             b.resize(HEADER_BASE + 2 * total + MAX_AREA + 2);
             put32(&b[H_AREA_LENGTH], MAX_AREA + 2);
         }},
        {"record head past the end of the area", Error::BadRecord,
            [&](auto& b) { put16(&b[H_OFFSETS], static_cast<uint16_t>(area - RECORD_HEAD + 1)); }},
        {"last record cut short", Error::BadRecord, [&](auto& b) {
             b.resize(b.size() - 1);
             put32(&b[H_AREA_LENGTH], area - 1);
         }},
    };
    for (const Damage& d : damages) {
        std::vector<uint8_t> bytes = good;
        d.apply(bytes);
        IgnlogFile log;
        EXPECT_EQ(log.parse(bytes), d.error) << d.what;
        EXPECT_TRUE(log.header.empty() && log.area.empty()) << d.what;
    }
}

TEST_F(PlayerFixture, FullLogEndsTheRecordingCleanly)
{
    player->StartRecording(dir.file("full.ignlog"), {});
    int written = 0;
    for (int i = 0; player->state() == MonitorPlayer::Recording && i < 1000; ++i, ++written)
        monitorAt(11000 + i, i);
    EXPECT_EQ(player->state(), MonitorPlayer::Idle);
    ASSERT_EQ(messages.size(), 1u);
    IgnlogFile log;
    ASSERT_EQ(log.parse(fileBytes("full.ignlog")), IgnlogFile::ParseError::None) << "what was recorded is readable";
    for (int i = 0; i < log.totalCount(); ++i)
        EXPECT_GE(log.offset(i), 0);
    EXPECT_GT(log.totalCount(), 250);
}

TEST_F(PlayerFixture, DisplayByState)
{
    EXPECT_TRUE(player->Display().recordEnabled);
    EXPECT_FALSE(player->Display().stopEnabled);
    player->StartRecording(dir.file("d.ignlog"), {});
    clock += 3000;
    PlayerDisplay d = player->Display();
    EXPECT_FALSE(d.recordEnabled);
    EXPECT_TRUE(d.stopEnabled);
    EXPECT_EQ(d.posText, "Recording (3) 3 seconds");
    EXPECT_TRUE(d.pauseEnabled) << "a recording can be paused";
    player->Pause();
    EXPECT_EQ(player->Display().posText, "Recording (3) - pause");
    EXPECT_TRUE(player->Display().recordEnabled) << "and goes on with Record";
    player->Stop();
    player->StartPlaying(dir.file("d.ignlog"));
    d = player->Display();
    EXPECT_TRUE(d.scrollVisible);
    EXPECT_EQ(d.scrollMax, 0);
    EXPECT_EQ(d.posText.rfind("Play (0) ", 0), 0u) << d.posText;
}

// The recording is saved every two seconds while it runs, so a full disk or a crash costs at most
// the last two seconds, and what was saved stays a readable recording.
TEST_F(PlayerFixture, ARecordingMeetingAFullDiskStopsWithItsMessageAndKeepsWhatWasSaved)
{
    ASSERT_TRUE(player->StartRecording(dir.file("ride.ignlog"), {}));
    for (int i = 1; i <= 5; ++i)
        monitorAt(10000 + i * 500, 1000 + i); // the record at 12000 ms is saved with the others
    IgnlogFile saved;
    ASSERT_EQ(saved.parse(fileBytes("ride.ignlog")), IgnlogFile::ParseError::None) << "readable while it runs";
    const int savedRecords = saved.totalCount();
    EXPECT_EQ(savedRecords, saved.snapshotCount() + 4);
    {
        FileSizeLimit full(fileBytes("ride.ignlog").size() + 50);
        for (int i = 6; i <= 10 && player->state() == MonitorPlayer::Recording; ++i)
            monitorAt(10000 + i * 500, 1000 + i);
    }
    EXPECT_EQ(player->state(), MonitorPlayer::Idle) << "the recording stopped";
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "The monitor log could not be written.");
    IgnlogFile kept;
    ASSERT_EQ(kept.parse(fileBytes("ride.ignlog")), IgnlogFile::ParseError::None);
    EXPECT_EQ(kept.totalCount(), savedRecords);
    EXPECT_EQ(kept.header, saved.header);
    EXPECT_TRUE(player->Stop()) << "nothing is left to write";
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(QDir(QString::fromStdString(dir.path())).entryList(QDir::Files), QStringList { "ride.ignlog" })
        << "no temporary file is left";
}

TEST_F(PlayerFixture, ARecordingThatCannotBeStartedOnAFullDiskKeepsThePreviousFile)
{
    {
        QFile previous(QString::fromStdString(dir.file("old.ignlog")));
        ASSERT_TRUE(previous.open(QIODevice::WriteOnly));
        previous.write("previous recording");
    }
    {
        FileSizeLimit full(64);
        EXPECT_FALSE(player->StartRecording(dir.file("old.ignlog"), {}));
    }
    EXPECT_EQ(player->state(), MonitorPlayer::Idle);
    const std::vector<uint8_t> bytes = fileBytes("old.ignlog");
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "previous recording");
    EXPECT_FALSE(player->StartRecording(dir.file("no-such-folder/a.ignlog"), {}));
}

