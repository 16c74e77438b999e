#include "HistoryFixture.h"

#include "history/HistoryWriter.h"

#include <QSqlDatabase>
#include <QSqlQuery>

#include <gtest/gtest.h>

#include <atomic>

namespace {

using Kind = ConnectionHost::CommandKind;

struct HistoryWriterTest : testing::Test, HistoryFixture { };

TEST_F(HistoryWriterTest, RecordOnlyQueuesWhileAnotherProgramHoldsTheFile)
{
    HistoryDatabase(path).Open();
    QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "holder");
    other.setDatabaseName(path);
    ASSERT_TRUE(other.open());
    QSqlQuery hold(other);
    ASSERT_TRUE(hold.exec("BEGIN EXCLUSIVE"));
    {
        HistoryWriter writer(path);
        const ParamImage image = Image(4);
        writer.Record(Record(Unit("121212-121212-12121"), Kind::CommandProgram, true, &image, 1000));
        EXPECT_FALSE(writer.WaitIdle(200)) << "the event waits for the file, the caller does not";
        ASSERT_TRUE(hold.exec("COMMIT"));
        ASSERT_TRUE(writer.WaitIdle(10000));
        EXPECT_TRUE(writer.TakeMessages().empty());
    }
    hold.finish();
    other.close();
    other = QSqlDatabase();
    QSqlDatabase::removeDatabase("holder");
    HistoryDatabase db(path);
    ASSERT_EQ(db.Units().size(), 1u);
    ParamImage stored;
    ASSERT_TRUE(db.Configuration(db.Events(db.Units()[0].id)[0].id, stored));
    EXPECT_EQ(stored, Image(4));
}

TEST_F(HistoryWriterTest, AnUnusableFileIsReportedOnceAndNoticed)
{
    WriteBytes(QString::fromStdString(dir.file("plain")), "not a folder");
    std::atomic<int> notices { 0 };
    HistoryWriter writer(QString::fromStdString(dir.file("plain/history.sqlite")));
    writer.SetMessageNotice([&] { ++notices; });
    for (int i = 0; i < 3; ++i)
        writer.Record(Record(Unit("131313-131313-13131"), Kind::CommandRead, true, nullptr, 1000 + i));
    ASSERT_TRUE(writer.WaitIdle(10000));
    EXPECT_EQ(writer.TakeMessages().size(), 1u) << "one message, not one per event";
    EXPECT_EQ(notices.load(), 1);
}

TEST_F(HistoryWriterTest, WhatIsQueuedIsWrittenBeforeTheWriterStops)
{
    {
        HistoryWriter writer(path);
        for (int i = 0; i < 25; ++i)
            writer.Record(Record(Unit("141414-141414-14141"), Kind::CommandVerify, i % 2 == 0, nullptr, 1000 + i));
        writer.Run([](HistoryStore& db) {
            db.Record(Record(Unit("151515-151515-15151"), Kind::CommandRead, true, nullptr, 5000));
        });
    }
    HistoryDatabase db(path);
    const std::vector<HistoryUnit> units = db.Units();
    ASSERT_EQ(units.size(), 2u);
    EXPECT_EQ(units[0].serialNumber, "151515-151515-15151");
    EXPECT_EQ(units[1].events, 25);
}

} // namespace
