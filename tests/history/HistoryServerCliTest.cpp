#include "HistoryCliFixture.h"
#include "PgServer.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <set>

namespace {

[[maybe_unused]] testing::Environment* const PG = testing::AddGlobalTestEnvironment(new PgEnvironment);

// The real vordax4-cli of several benches (settings folders) against simulated units, with the
// history on the test's PostgreSQL server.
struct HistoryServerCli : HistoryCli {
    void SetUp() override
    {
        REQUIRE_PG_SERVER();
        static int databases = 0;
        history = PgServer::shared->NewDatabase(QString("cli%1").arg(++databases));
    }
    // A bench of its own: its settings folder (and so its outbox) below the scratch folder.
    QProcessEnvironment Bench(const QString& name) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("VORDAX4_SETTINGS_DIR", QString::fromStdString(dir.file(name.toStdString())));
        return env;
    }
    QString ReadFile() const { return QString::fromStdString(dir.file("read.ign")); }
    static bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
};

// Starts the server again at the end of a test that stopped it, also when the test failed.
struct RestartAtEnd {
    ~RestartAtEnd() { PgServer::shared->Start(); }
};

TEST_F(HistoryServerCli, TwoBenchesProgrammingTwoUnitsAtOnceBothRecordOnTheServer)
{
    UnitSim& first = StartUnit(20);
    UnitSim& second = StartUnit(30);
    const QString fileA = WriteFile("a.ign", FileImage(50, dir)), fileB = WriteFile("b.ign", FileImage(60, dir));
    ProgramAtOnce(first, fileA, second, fileB, Bench("bench-a"), Bench("bench-b"));
    std::set<QString> benches;
    for (const auto& [unit, file] : { std::pair { &first, fileA }, std::pair { &second, fileB } }) {
        const QJsonArray events = Events(Serial(*unit));
        ASSERT_EQ(events.size(), 1);
        const QJsonObject e = events[0].toObject();
        EXPECT_EQ(e["kind"].toString(), "program");
        EXPECT_TRUE(e["ok"].toBool());
        EXPECT_EQ(e["file"].toString(), file);
        benches.insert(e["bench"].toString());
    }
    EXPECT_EQ(benches.size(), 2u) << "each event names its bench";
    EXPECT_EQ(benches.count(""), 0u);
}

TEST_F(HistoryServerCli, WhileTheServerIsStoppedCommandsSucceedAndTheirEventsAreSentOnceItIsBack)
{
    UnitSim& unit = StartUnit(40);
    const QProcessEnvironment bench = Bench("bench");
    const QStringList read = QStringList { "read", "-o", ReadFile() } << PortArgs(unit) << "--history" << history;
    const QStringList sync { "history", "--sync", "--history", history };
    ASSERT_EQ(RunProgram(read, bench).code, 0);
    {
        RestartAtEnd restart;
        ASSERT_TRUE(PgServer::shared->Stop()) << PgServer::shared->error().toStdString();
        const CliRun away = RunProgram(read, bench);
        EXPECT_EQ(away.code, 0) << away.err;
        EXPECT_TRUE(Has(away.err, "1 events of this bench wait")) << away.err;
        const CliRun stillAway = RunProgram(sync, bench);
        EXPECT_EQ(stillAway.code, 1) << "--sync fails while the server is away";
        EXPECT_TRUE(Has(stillAway.err, "cannot be reached")) << stillAway.err;
        ASSERT_TRUE(PgServer::shared->Start()) << PgServer::shared->error().toStdString();
    }
    const CliRun next = RunProgram(read, bench);
    ASSERT_EQ(next.code, 0) << next.err;
    EXPECT_FALSE(Has(next.err, "wait")) << next.err;

    const QJsonArray events = Events(Serial(unit));
    ASSERT_EQ(events.size(), 3) << "the waiting event arrived once, beside the two made while the server answered";
    for (const QJsonValue& e : events)
        EXPECT_EQ(e.toObject()["kind"].toString(), "read");
    const CliRun done = RunProgram(sync, bench);
    EXPECT_EQ(done.code, 0) << done.err;
    EXPECT_EQ(Events(Serial(unit)).size(), 3);
}

TEST_F(HistoryServerCli, TheEnvironmentNamesTheServerAndAPasswordInTheAddressIsRefused)
{
    UnitSim& unit = StartUnit(50);
    QProcessEnvironment env = Bench("bench");
    env.insert("VORDAX4_HISTORY_URL", history);
    ASSERT_EQ(RunProgram(QStringList { "read", "-o", ReadFile() } << PortArgs(unit), env).code, 0);
    const CliRun listed = RunProgram({ "history", "--unit", Serial(unit), "--json" }, env);
    ASSERT_EQ(listed.code, 0) << listed.err;
    const QJsonObject json = QJsonDocument::fromJson(QByteArray::fromStdString(listed.out)).object();
    EXPECT_EQ(json["events"].toArray().size(), 1);
    EXPECT_EQ(json["waiting"].toInt(), 0);

    QString withPassword = history;
    withPassword.replace("vordax4@", "vordax4:secret@");
    const CliRun refused = RunProgram(QStringList { "read", "-o", ReadFile() } << PortArgs(unit) << "--history" << withPassword, env);
    EXPECT_EQ(refused.code, 2);
    EXPECT_TRUE(Has(refused.err, "pgpass")) << refused.err;
    EXPECT_FALSE(Has(refused.err, "secret"));

    // The same address in the environment costs the command nothing: the event waits.
    env.insert("VORDAX4_HISTORY_URL", withPassword);
    const CliRun waits = RunProgram(QStringList { "read", "-o", ReadFile() } << PortArgs(unit), env);
    EXPECT_EQ(waits.code, 0) << waits.err;
    EXPECT_TRUE(Has(waits.err, "pgpass")) << waits.err;
    EXPECT_TRUE(Has(waits.err, "1 events of this bench wait")) << waits.err;
    EXPECT_FALSE(Has(waits.err, "secret"));
    ASSERT_EQ(RunProgram({ "history", "--sync", "--history", history }, env).code, 0);
    EXPECT_EQ(Events(Serial(unit)).size(), 2);
}

} // namespace
