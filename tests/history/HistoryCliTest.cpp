#include "HistoryCliFixture.h"
#include "CliRun.h"
#include "CliTestSupport.h"
#include "TempDir.h"
#include "history/HistoryDatabase.h"
#include "unitsim/UnitSim.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST_F(HistoryCli, ReadProgramAndVerifyAreRecordedAndAPastConfigurationIsExported)
{
    UnitSim& unit = StartUnit(10);
    const auto original = unit.Configuration();
    const ParamImage other = FileImage(40, dir);
    const QString file = WriteFile("other.ign", other);
    ASSERT_EQ(Run({ "read", "-o", QString::fromStdString(dir.file("read.ign")) }, unit).code, 0);
    ASSERT_EQ(Run({ "program", file }, unit).code, 0);
    ASSERT_EQ(Run({ "verify", file }, unit).code, 0);

    const QJsonArray events = Events(Serial(unit));
    struct Expected {
        const char* kind;
        QString file;
    };
    const Expected expected[]
        = { { "verify", file }, { "program", file }, { "read", QString::fromStdString(dir.file("read.ign")) } };
    ASSERT_EQ(events.size(), qsizetype(std::size(expected)));
    for (qsizetype i = 0; i < events.size(); ++i) {
        SCOPED_TRACE(i);
        const QJsonObject e = events[i].toObject();
        EXPECT_EQ(e["kind"].toString(), expected[i].kind);
        EXPECT_TRUE(e["ok"].toBool());
        EXPECT_EQ(e["file"].toString(), expected[i].file);
    }

    const QString past = QString::fromStdString(dir.file("past.ign"));
    const QString readEvent = QString::number(events[2].toObject()["event"].toInt());
    const CliRun exported = History({ "--export", Serial(unit), "--event", readEvent, "-o", past });
    ASSERT_EQ(exported.code, 0) << exported.err;
    std::ostringstream err;
    ParamImage opened;
    ASSERT_TRUE(IgnCommands::Open(past, opened, err)) << err.str();
    EXPECT_EQ(opened.bytes(), original) << "what the unit held when it was read";

    const CliRun list = History({});
    ASSERT_EQ(list.code, 0) << list.err;
    EXPECT_TRUE(Has(list.out, Serial(unit).toStdString() + "\tVORDAX4 SIM")) << list.out;
}

TEST_F(HistoryCli, TwoProcessesProgrammingAtOnceBothRecordTheirEvents)
{
    UnitSim& first = StartUnit(20);
    UnitSim& second = StartUnit(30);
    const QString fileA = WriteFile("a.ign", FileImage(50, dir)), fileB = WriteFile("b.ign", FileImage(60, dir));
    ProgramAtOnce(first, fileA, second, fileB);
    for (const auto& [unit, file] : { std::pair { &first, fileA }, std::pair { &second, fileB } }) {
        const QJsonArray events = Events(Serial(*unit));
        ASSERT_EQ(events.size(), 1);
        EXPECT_EQ(events[0].toObject()["kind"].toString(), "program");
        EXPECT_TRUE(events[0].toObject()["ok"].toBool());
        EXPECT_EQ(events[0].toObject()["file"].toString(), file);
    }
}

TEST_F(HistoryCli, AFailedProgramIsRecordedAsFailedAndNoHistoryLeavesNothing)
{
    UnitSimOptions options;
    options.ignoreWrites = true;
    UnitSim& unit = StartUnit(70, options);
    const QString file = WriteFile("a.ign", FileImage(80, dir));
    EXPECT_EQ(RunProgram(QStringList { "program", file, "--no-history" } << PortArgs(unit)).code, 1);
    EXPECT_FALSE(QFile::exists(history)) << "--no-history opens no history";
    EXPECT_FALSE(QDir(QString::fromStdString(dir.path())).exists("Motravex")) << "nor the settings folder's";

    EXPECT_EQ(Run({ "program", file }, unit).code, 1);
    const QJsonArray events = Events(Serial(unit));
    ASSERT_EQ(events.size(), 1);
    EXPECT_EQ(events[0].toObject()["kind"].toString(), "program");
    EXPECT_FALSE(events[0].toObject()["ok"].toBool());
    EXPECT_FALSE(events[0].toObject()["configuration"].toBool());
}

TEST_F(HistoryCli, ADamagedHistoryIsMovedAsideAndTheProgramStillSucceedsAndRecords)
{
    UnitSim& unit = StartUnit(90);
    {
        QFile damaged(history);
        ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
        damaged.write(QByteArray(20000, 'x'));
    }
    const ParamImage image = FileImage(100, dir);
    const CliRun r = Run({ "program", WriteFile("a.ign", image) }, unit);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(unit.Configuration(), image.bytes());
    EXPECT_TRUE(Has(r.err, "moved aside")) << r.err;
    EXPECT_EQ(QDir(QString::fromStdString(dir.path())).entryList({ "h-damaged-*.sqlite" }).size(), 1);
    const QJsonArray events = Events(Serial(unit));
    ASSERT_EQ(events.size(), 1);
    EXPECT_TRUE(events[0].toObject()["ok"].toBool());
}

TEST_F(HistoryCli, WrongUsesOfTheHistoryCommandAreRefused)
{
    struct Case {
        QStringList args;
        int code;
    };
    const Case cases[] = {
        { { "--export", "1" }, 2 }, // no event, no output
        { { "--export", "1", "--event", "1" }, 2 }, { { "--unit", "1", "--forget", "1" }, 2 },
        { { "--forget", "1", "--json" }, 2 }, { { "extra" }, 2 }, { { "--unit", "1" }, 1 }, // no history yet
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        EXPECT_EQ(History(c.args).code, c.code);
    }
    EXPECT_EQ(RunProgram({ "history", "--history" }).code, 2);
    EXPECT_EQ(RunProgram({ "read", "-o", "x.ign", "--history" }).code, 2);
}

} // namespace
