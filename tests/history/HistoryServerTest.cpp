#include "HistoryFixture.h"
#include "PgServer.h"

#include "history/HistoryOutbox.h"
#include "history/HistoryServer.h"
#include "history/HistoryServerUrl.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTcpServer>
#include <QThread>
#include <QUrl>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <set>

namespace {

[[maybe_unused]] testing::Environment* const PG = testing::AddGlobalTestEnvironment(new PgEnvironment);

using Kind = ConnectionHost::CommandKind;

struct ServerCase {
    const char* url;
    bool usable;
    const char* text; // as kept in the settings; for an unusable one, a word of the reason
};

TEST(HistoryServerUrlTest, AnAddressIsTakenApartAndKeptWithoutAPassword)
{
    const ServerCase cases[] = {
        { "postgresql://ws@db.example:5433/hist?sslmode=require&connect_timeout=3", true,
            "postgresql://ws@db.example:5433/hist?sslmode=require&connect_timeout=3" },
        { "postgres://ws@db/hist", true, "postgresql://ws@db/hist" },
        { "postgresql:///hist?host=%2Ftmp%2Fsock", true, "postgresql:///hist?host=%2Ftmp%2Fsock" },
        { "postgresql://ws:secret@db/hist", false, ".pgpass" },
        { "http://db/hist", false, "no address" },
        { "postgresql://ws@db/hist?options=a;b", false, "options" },
    };
    for (const ServerCase& c : cases) {
        QString error;
        const std::optional<HistoryServerUrl> url = HistoryServerUrl::Parse(c.url, &error);
        ASSERT_EQ(url.has_value(), c.usable) << c.url;
        if (url)
            EXPECT_EQ(url->Text().toStdString(), c.text);
        else {
            EXPECT_TRUE(error.contains(c.text)) << error.toStdString();
            EXPECT_FALSE(error.contains("secret")) << "a password never lands in a message";
        }
    }
}

TEST(HistoryServerUrlTest, LibpqParametersPassThroughAndAConnectionAttemptIsBounded)
{
    QSqlDatabase db = QSqlDatabase::addDatabase("QPSQL", "url-test");
    {
        HistoryServerUrl::Parse("postgresql://ws@db:6000/hist?sslmode=verify-full&application_name=it's", nullptr)
            ->Apply(db);
        EXPECT_EQ(db.hostName(), "db");
        EXPECT_EQ(db.port(), 6000);
        EXPECT_EQ(db.userName(), "ws");
        EXPECT_EQ(db.databaseName(), "hist");
        EXPECT_EQ(db.password(), "");
        EXPECT_EQ(db.connectOptions(), "sslmode='verify-full';application_name='it\\'s';connect_timeout=10");
    }
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase("url-test");
}

// A database of its own on the shared server for every test.
struct HistoryServerTest : testing::Test, HistoryFixture {
    QString url;
    int stores = 0;

    void SetUp() override
    {
        REQUIRE_PG_SERVER();
        static int databases = 0;
        url = PgServer::shared->NewDatabase(QString("history%1").arg(++databases));
    }
    QString OutboxPath(const QString& bench) const
    {
        return QString::fromStdString(dir.file(bench.toStdString() + "/" + HistoryOutbox::FILE_NAME));
    }
    std::unique_ptr<HistoryServer> Store(const QString& bench, const QString& at = {})
    {
        return std::make_unique<HistoryServer>(at.isEmpty() ? url : at, OutboxPath(bench), bench);
    }
    // One number the server answers to statement.
    qint64 Ask(const QString& statement)
    {
        const QString name = QString("ask-%1").arg(stores++);
        qint64 answer = -1;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QPSQL", name);
            HistoryServerUrl::Parse(url, nullptr)->Apply(db);
            EXPECT_TRUE(db.open());
            QSqlQuery q(db);
            if (q.exec(statement) && q.next())
                answer = q.value(0).toLongLong();
        }
        QSqlDatabase::removeDatabase(name);
        return answer;
    }
    static QString ClosedPortUrl()
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        const quint16 port = probe.serverPort();
        probe.close();
        return QString("postgresql://vordax4@127.0.0.1:%1/none").arg(port);
    }
    static bool Mentions(const std::vector<std::string>& messages, const std::string& word)
    {
        return std::any_of(messages.begin(), messages.end(), [&](const std::string& m) { return m.find(word) != std::string::npos; });
    }
};

TEST_F(HistoryServerTest, EveryBenchWritesAndEveryEventIsListedWithItsBench)
{
    const ParamImage image = Image(7);
    auto a = Store("bench-a");
    auto b = Store("bench-b");
    ASSERT_TRUE(a->Record(Record(Unit("111111-111111-11111"), Kind::CommandProgram, true, &image, 1000, "a.ign")));
    ASSERT_TRUE(b->Record(Record(Unit("111111-111111-11111", "VDX04B", 1), Kind::CommandVerify, false, nullptr, 2000)));
    ASSERT_TRUE(b->Record(Record(Unit("222222-222222-22222"), Kind::CommandRead, true, &image, 1500)));
    EXPECT_EQ(a->Waiting(), 0);
    EXPECT_EQ(b->Waiting(), 0);

    const std::vector<HistoryUnit> units = a->Units();
    ASSERT_EQ(units.size(), 2u);
    EXPECT_EQ(units[0].serialNumber, "111111-111111-11111");
    EXPECT_EQ(units[0].name, "VDX04B") << "the latest event names the unit";
    EXPECT_EQ(units[0].events, 2);
    EXPECT_EQ(units[0].firstSeenMs, 1000);
    EXPECT_EQ(units[0].lastSeenMs, 2000);

    const std::vector<HistoryEvent> events = a->Events(units[0].id);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].bench, "bench-b");
    EXPECT_EQ(events[0].kind, HistoryKind::Verify);
    EXPECT_FALSE(events[0].ok);
    EXPECT_FALSE(events[0].hasConfiguration);
    EXPECT_EQ(events[1].bench, "bench-a");
    EXPECT_EQ(events[1].file, "a.ign");
    EXPECT_EQ(events[1].programVersion, HistoryProgramVersion());
    ParamImage stored;
    int64_t owner = 0;
    ASSERT_TRUE(a->Configuration(events[1].id, stored, &owner));
    EXPECT_EQ(stored, image);
    EXPECT_EQ(owner, units[0].id);
    EXPECT_FALSE(a->Configuration(events[0].id, stored));

    ASSERT_TRUE(b->FindUnit("222222-222222-22222"));
    EXPECT_EQ(b->FindUnit(std::to_string(units[0].id))->serialNumber, "111111-111111-11111");
    EXPECT_FALSE(b->FindUnit("333333-333333-33333"));
    EXPECT_TRUE(a->TakeMessages().empty());
}

TEST_F(HistoryServerTest, WhileTheServerIsAwayEventsWaitAndAreSentExactlyOnce)
{
    auto away = Store("bench", ClosedPortUrl());
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(away->Record(Record(Unit("444444-444444-44444"), Kind::CommandRead, true, nullptr, 100 + i)))
            << "the command goes on";
    EXPECT_EQ(away->Waiting(), 3);
    EXPECT_FALSE(away->Sync());
    EXPECT_TRUE(Mentions(away->TakeMessages(), "cannot be reached"));
    const std::vector<HistoryRecord> waiting = HistoryOutbox(OutboxPath("bench")).Oldest(10);
    away.reset();

    auto back = Store("bench");
    EXPECT_TRUE(back->Sync());
    EXPECT_EQ(back->Waiting(), 0);
    EXPECT_EQ(Ask("SELECT count(*) FROM events"), 3);
    // Sent again, as after a bench that stopped between sending and removing: kept once.
    HistoryOutbox outbox(OutboxPath("bench"));
    for (const HistoryRecord& r : waiting)
        ASSERT_TRUE(outbox.Add(r));
    EXPECT_TRUE(back->Sync());
    EXPECT_EQ(Ask("SELECT count(*) FROM events"), 3);
    EXPECT_EQ(Ask("SELECT count(DISTINCT bench) FROM events WHERE bench = 'bench'"), 1);
}

TEST_F(HistoryServerTest, ForgettingAUnitRemovesItOnTheServerAndFromTheOutbox)
{
    auto store = Store("bench");
    ASSERT_TRUE(store->Record(Record(Unit("555555-555555-55555"), Kind::CommandRead, true, nullptr, 100)));
    {
        HistoryOutbox outbox(OutboxPath("bench"));
        ASSERT_TRUE(outbox.Add(Record(Unit("555555-555555-55555"), Kind::CommandProgram, true, nullptr, 200)));
        ASSERT_TRUE(outbox.Add(Record(Unit("666666-666666-66666"), Kind::CommandProgram, true, nullptr, 300)));
    }
    ASSERT_EQ(store->Waiting(), 2);
    const std::optional<HistoryUnit> unit = store->FindUnit("555555-555555-55555");
    ASSERT_TRUE(unit);
    ASSERT_TRUE(store->ForgetUnit(unit->id));
    EXPECT_EQ(store->Waiting(), 1) << "the other unit's event still waits";
    ASSERT_TRUE(store->Sync());
    const std::vector<HistoryUnit> units = store->Units();
    ASSERT_EQ(units.size(), 1u) << "the forgotten unit does not come back with the outbox";
    EXPECT_EQ(units[0].serialNumber, "666666-666666-66666");
    EXPECT_EQ(Ask("SELECT count(*) FROM events"), 1);
}

TEST_F(HistoryServerTest, TheSchemaCarriesItsVersionAndANewerOneIsReadButNeverWritten)
{
    auto store = Store("bench");
    ASSERT_TRUE(store->Open());
    EXPECT_EQ(Ask("SELECT version FROM vordax4_schema"), HistoryServer::SCHEMA_VERSION);
    ASSERT_TRUE(store->Record(Record(Unit("777777-777777-77777"), Kind::CommandRead, true, nullptr, 100)));
    store.reset();

    Ask("UPDATE vordax4_schema SET version = 99 RETURNING version");
    auto older = Store("bench");
    EXPECT_TRUE(older->Record(Record(Unit("777777-777777-77777"), Kind::CommandRead, true, nullptr, 200)));
    EXPECT_EQ(older->Waiting(), 1) << "kept on the bench until the program is updated";
    EXPECT_EQ(Ask("SELECT count(*) FROM events"), 1);
    EXPECT_EQ(older->Units().size(), 1u);
    EXPECT_TRUE(Mentions(older->TakeMessages(), "newer version"));
    EXPECT_EQ(Ask("SELECT version FROM vordax4_schema"), 99);
}

TEST_F(HistoryServerTest, BenchesWritingAtOnceLoseNothing)
{
    constexpr int BENCHES = 4;
    constexpr int EVENTS = 60;
    std::vector<std::unique_ptr<QThread>> threads;
    std::atomic<int> refused { 0 };
    for (int b = 0; b < BENCHES; ++b) {
        threads.emplace_back(QThread::create([this, b, &refused] {
            auto store = Store(QString("bench-%1").arg(b));
            // Every bench programs the same three units, so that their rows are wanted at once.
            for (int i = 0; i < EVENTS; ++i)
                refused += !store->Record(Record(Unit(std::string("88888") + char('0' + i % 3) + "-888888-88888"),
                    Kind::CommandProgram, true, nullptr, 1000 + i));
            refused += store->Waiting();
        }));
        threads.back()->start();
    }
    for (auto& t : threads)
        ASSERT_TRUE(t->wait(QDeadlineTimer(120000)));
    EXPECT_EQ(refused.load(), 0);
    EXPECT_EQ(Ask("SELECT count(*) FROM events"), BENCHES * EVENTS);
    EXPECT_EQ(Ask("SELECT count(DISTINCT uid) FROM events"), BENCHES * EVENTS);
    EXPECT_EQ(Ask("SELECT count(*) FROM units"), 3);
}

TEST_F(HistoryServerTest, TheAddressCanNameTheServersSocketFolderAndItsParametersReachLibpq)
{
    const QString database = url.section('/', -1);
    const QString socket = "postgresql://vordax4@/" + database + "?host="
        + QString::fromUtf8(QUrl::toPercentEncoding(PgServer::shared->socketFolder()))
        + "&port=" + QString::number(PgServer::shared->port());
    auto store = Store("bench", socket);
    ASSERT_TRUE(store->Record(Record(Unit("999999-999999-99999"), Kind::CommandRead, true, nullptr, 100)));
    EXPECT_EQ(store->Units().size(), 1u) << testing::PrintToString(store->TakeMessages());

    auto refused = Store("other", url + "?sslmode=require");
    EXPECT_FALSE(refused->Open()) << "the test server offers no SSL, and libpq was told to insist on it";
    EXPECT_TRUE(Mentions(refused->TakeMessages(), "SSL"));
}

} // namespace
