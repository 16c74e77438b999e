#include "HistoryFixture.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include <sys/stat.h>

namespace {

using Kind = ConnectionHost::CommandKind;

struct HistoryDatabaseTest : testing::Test, HistoryFixture {
    QStringList AsideFiles() const
    {
        return QDir(QString::fromStdString(dir.path())).entryList({ "history-damaged-*.sqlite" }, QDir::Files);
    }
};

TEST_F(HistoryDatabaseTest, EventsComeBackNewestFirstWithTheirConfigurations)
{
    const ParamImage a = Image(1), b = Image(2), c = Image(3);
    {
        HistoryDatabase db(path);
        ASSERT_TRUE(db.Open());
        const UnitInfo bike = Unit("010203-040506-00708");
        ASSERT_TRUE(db.Record(Record(bike, Kind::CommandConnect, true, &a, 1000)));
        ASSERT_TRUE(db.Record(Record(bike, Kind::CommandProgram, true, &b, 2000, "/w/b.ign")));
        ASSERT_TRUE(db.Record(Record(bike, Kind::CommandProgram, false, nullptr, 3000, "/w/c.ign")));
        ASSERT_TRUE(db.Record(Record(Unit("990000-000000-00001"), Kind::CommandRead, true, &c, 1500)));
    }
    HistoryDatabase db(path);
    const std::vector<HistoryUnit> units = db.Units();
    ASSERT_EQ(units.size(), 2u);
    EXPECT_EQ(units[0].serialNumber, "010203-040506-00708") << "the unit seen last comes first";
    EXPECT_EQ(units[0].firstSeenMs, 1000);
    EXPECT_EQ(units[0].lastSeenMs, 3000);
    EXPECT_EQ(units[0].firmware, "93.00 7. 8.2019 14:05");
    EXPECT_EQ(units[0].events, 3);

    const std::vector<HistoryEvent> events = db.Events(units[0].id);
    ASSERT_EQ(events.size(), 3u);
    struct Expected {
        HistoryKind kind;
        bool ok;
        const char* file;
        const ParamImage* config;
    };
    const Expected expected[] = {
        { HistoryKind::Program, false, "/w/c.ign", nullptr },
        { HistoryKind::Program, true, "/w/b.ign", &b },
        { HistoryKind::Connect, true, "", &a },
    };
    for (size_t i = 0; i < events.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(events[i].kind, expected[i].kind);
        EXPECT_EQ(events[i].ok, expected[i].ok);
        EXPECT_EQ(events[i].file, expected[i].file);
        EXPECT_EQ(events[i].programVersion, HistoryProgramVersion());
        ParamImage stored;
        EXPECT_EQ(db.Configuration(events[i].id, stored), expected[i].config != nullptr);
        if (expected[i].config) {
            EXPECT_EQ(stored, *expected[i].config);
        }
    }
}

TEST_F(HistoryDatabaseTest, AUnitIsKnownByItsSerialNumberOrWithoutOneByNameAndFirmware)
{
    struct Case {
        UnitInfo unit;
        const char* serialText;
    };
    // "none SN" and a unit that reports no serial at all are both units without one.
    const Case cases[] = {
        { Unit("010203-040506-00708", "VDX04"), "010203-040506-00708" },
        { Unit("010203-040506-00708", "RENAMED"), "010203-040506-00708" }, // the same unit, renamed
        { Unit("none SN", "VDX04"), "none SN" },
        { Unit("", "VDX04"), "none SN" }, // the same as the one before: same name and firmware
        { Unit("none SN", "VDX04", 1), "none SN" }, // other firmware: another unit
        { Unit("none SN", "OTHER"), "none SN" },
    };
    HistoryDatabase db(path);
    int64_t t = 1000;
    for (const Case& c : cases)
        ASSERT_TRUE(db.Record(Record(c.unit, Kind::CommandRead, true, nullptr, t += 1000)));
    const std::vector<HistoryUnit> units = db.Units();
    ASSERT_EQ(units.size(), 4u);
    // Newest first: OTHER, VDX04 93.01, VDX04 without serial (two events), the serial unit (two events).
    EXPECT_EQ(units[0].name, "OTHER");
    EXPECT_EQ(units[1].firmware, "93.01 7. 8.2019 14:05");
    EXPECT_TRUE(units[2].noSerialNumber());
    EXPECT_EQ(units[2].events, 2);
    EXPECT_EQ(units[2].SerialText(), "none SN");
    EXPECT_EQ(units[3].serialNumber, "010203-040506-00708");
    EXPECT_EQ(units[3].name, "RENAMED") << "the name the unit reported last";
    EXPECT_EQ(units[3].events, 2);
    EXPECT_EQ(db.FindUnit("010203-040506-00708")->id, units[3].id);
    EXPECT_EQ(db.FindUnit(std::to_string(units[2].id))->name, "VDX04") << "a unit without a serial by its number";
    EXPECT_FALSE(db.FindUnit("none SN"));
}

TEST_F(HistoryDatabaseTest, ForgettingAUnitRemovesItsEventsAndTheirBytesFromTheFile)
{
    ParamImage secret;
    for (int a = 0; a < RS_LEN_EXE; ++a)
        secret.Adrb(a) = uint8_t(0xA0 + a % 16);
    const QByteArray pattern(reinterpret_cast<const char*>(secret.data()), 64);
    int64_t forgotten = 0;
    {
        HistoryDatabase db(path);
        ASSERT_TRUE(db.Record(Record(Unit("111111-111111-11111"), Kind::CommandRead, true, &secret, 1000)));
        const ParamImage other = Image(5);
        ASSERT_TRUE(db.Record(Record(Unit("222222-222222-22222"), Kind::CommandRead, true, &other, 2000)));
        forgotten = db.FindUnit("111111-111111-11111")->id;
        ASSERT_TRUE(db.ForgetUnit(forgotten));
        EXPECT_FALSE(db.FindUnit("111111-111111-11111"));
        EXPECT_TRUE(db.Events(forgotten).empty());
        ASSERT_EQ(db.Units().size(), 1u);
    }
    // Closed: the log is folded into the file, and the forgotten bytes must not be in either.
    EXPECT_FALSE(Bytes(path).contains(pattern));
    EXPECT_FALSE(Bytes(path + "-wal").contains(pattern));
}

TEST_F(HistoryDatabaseTest, ADamagedFileIsMovedAsideAndTheEventGoesToANewOne)
{
    // A file of an earlier run whose pages past the first were overwritten.
    const auto damagedPages = [this] {
        {
            HistoryDatabase db(path);
            for (int i = 0; i < 40; ++i) {
                const ParamImage image = Image(i);
                db.Record(Record(Unit("33333" + std::to_string(i)), Kind::CommandRead, true, &image, 1000 + i));
            }
        }
        QByteArray bytes = Bytes(path);
        for (qsizetype i = 4096; i < bytes.size(); ++i)
            bytes[i] = char(i * 7);
        return bytes;
    };
    struct Case {
        const char* what;
        QByteArray content;
    };
    const Case cases[] = {
        { "random bytes", QByteArray(30000, 'x') },
        { "zeros", QByteArray(100, '\0') },
        { "a database with damaged pages", damagedPages() },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const QString& f : AsideFiles())
            QFile::remove(QString::fromStdString(dir.file(f.toStdString())));
        QFile::remove(path);
        WriteBytes(path, c.content);
        HistoryDatabase db(path);
        const ParamImage image = Image(9);
        ASSERT_TRUE(db.Record(Record(Unit("444444-444444-44444"), Kind::CommandProgram, true, &image, 5000)));
        const std::vector<HistoryUnit> units = db.Units();
        ASSERT_EQ(units.size(), 1u);
        EXPECT_EQ(units[0].serialNumber, "444444-444444-44444");
        const QStringList aside = AsideFiles();
        ASSERT_EQ(aside.size(), 1);
        EXPECT_EQ(Bytes(QString::fromStdString(dir.file(aside[0].toStdString()))), c.content)
            << "the damaged file is kept as it was";
        const std::vector<std::string> messages = db.TakeMessages();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_NE(messages[0].find(aside[0].toStdString()), std::string::npos) << messages[0];
    }
}

TEST_F(HistoryDatabaseTest, AFolderThatCannotHoldTheFileCostsAMessage)
{
    WriteBytes(QString::fromStdString(dir.file("plain")), "not a folder");
    HistoryDatabase db(QString::fromStdString(dir.file("plain/history.sqlite")));
    EXPECT_FALSE(db.Record(Record(Unit("555555-555555-55555"), Kind::CommandRead, true, nullptr, 1000)));
    EXPECT_TRUE(db.Units().empty());
    const std::vector<std::string> messages = db.TakeMessages();
    ASSERT_FALSE(messages.empty());
    EXPECT_NE(messages[0].find("plain"), std::string::npos) << messages[0];
}

TEST_F(HistoryDatabaseTest, AStoredConfigurationOfAnotherSizeIsNotUsed)
{
    const ParamImage image = Image(1);
    HistoryDatabase db(path);
    ASSERT_TRUE(db.Record(Record(Unit("666666-666666-66666"), Kind::CommandRead, true, &image, 1000)));
    const int64_t event = db.Events(db.Units()[0].id)[0].id;
    {
        QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "outside");
        other.setDatabaseName(path);
        ASSERT_TRUE(other.open());
        QSqlQuery q(other);
        ASSERT_TRUE(q.exec("UPDATE events SET configuration = x'0102' "));
        other.close();
    }
    QSqlDatabase::removeDatabase("outside");
    ParamImage stored = Image(7);
    EXPECT_FALSE(db.Configuration(event, stored));
    EXPECT_EQ(stored, Image(7)) << "nothing of the short record is taken";
}

// Two programs that find no history yet both create it at the same moment; neither may lose its
// first event to the other's schema being written meanwhile.
TEST_F(HistoryDatabaseTest, TwoProgramsCreatingTheHistoryAtOnceBothRecord)
{
    for (int round = 0; round < 40; ++round) {
        const QString fresh = QString::fromStdString(dir.file("fresh-" + std::to_string(round) + ".sqlite"));
        std::atomic<int> ready { 0 };
        const auto recordOne = [&](const std::string& serial) {
            HistoryDatabase db(fresh);
            ready.fetch_add(1);
            while (ready.load() < 2) { }
            const ParamImage image = Image(round);
            const bool recorded = db.Record(Record(Unit(serial), Kind::CommandProgram, true, &image, 1000 + round));
            const std::vector<std::string> messages = db.TakeMessages();
            EXPECT_TRUE(recorded) << "round " << round << ": " << (messages.empty() ? "" : messages.back());
        };
        std::thread first(recordOne, "777777-777777-77777");
        std::thread second(recordOne, "888888-888888-88888");
        first.join();
        second.join();
        HistoryDatabase db(fresh);
        EXPECT_EQ(db.Units().size(), 2u) << "round " << round;
    }
}

TEST_F(HistoryDatabaseTest, TwoConnectionsWritingAtOnceLoseNoEvent)
{
    constexpr int PER_THREAD = 60;
    const auto writeMany = [this](const std::string& serial) {
        HistoryDatabase db(path);
        for (int i = 0; i < PER_THREAD; ++i) {
            const ParamImage image = Image(i);
            EXPECT_TRUE(db.Record(Record(Unit(serial), Kind::CommandVerify, true, &image, 1000 + i)));
        }
    };
    std::thread first(writeMany, "777777-777777-77777");
    std::thread second(writeMany, "888888-888888-88888");
    first.join();
    second.join();
    HistoryDatabase db(path);
    for (const HistoryUnit& u : db.Units())
        EXPECT_EQ(u.events, PER_THREAD) << u.serialNumber;
    EXPECT_EQ(db.Units().size(), 2u);
}

} // namespace

namespace {

mode_t ModeOf(const QString& path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

bool HasText(const QByteArray& bytes, const char* text) { return bytes.contains(QByteArray(text)); }

} // namespace

TEST_F(HistoryDatabaseTest, TheHistoryIsTheUsersAloneAndOlderFilesAreTightened)
{
    const mode_t umask = ::umask(022);
    const QString folder = QString::fromStdString(dir.file("settings"));
    const QString file = folder + "/history.sqlite";
    for (int run = 0; run < 2; ++run) {
        {
            HistoryDatabase db(file);
            ASSERT_TRUE(db.Record(Record(Unit("111111-111111-11111"), Kind::CommandRead, true, nullptr, 1000 + run)));
            EXPECT_EQ(ModeOf(folder), 0700u) << run;
            for (const QString& f : { file, file + "-wal", file + "-shm" })
                EXPECT_EQ(ModeOf(f), 0600u) << f.toStdString() << " " << run;
        }
        // As an earlier version left them: open to everybody's reading.
        ::chmod(QFile::encodeName(folder).constData(), 0755);
        ::chmod(QFile::encodeName(file).constData(), 0644);
    }
    ::umask(umask);
}

TEST_F(HistoryDatabaseTest, ListingReadsWithoutWaitingForAWriterAndNeverMakesTheFile)
{
    {
        HistoryDatabase lister(path, HistoryDatabase::Access::ReadOnly);
        EXPECT_TRUE(lister.Units().empty());
        EXPECT_TRUE(lister.TakeMessages().empty());
        EXPECT_FALSE(QFile::exists(path)) << "a listing makes no history";
    }
    HistoryDatabase writer(path);
    ASSERT_TRUE(writer.Record(Record(Unit("111111-111111-11111"), Kind::CommandRead, true, nullptr, 1000)));
    // Another program in the middle of writing.
    QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "busy-writer");
    other.setDatabaseName(path);
    ASSERT_TRUE(other.open());
    {
        QSqlQuery q(other);
        ASSERT_TRUE(q.exec("BEGIN IMMEDIATE"));
        ASSERT_TRUE(q.exec("UPDATE units SET name = 'changing'"));
        HistoryDatabase lister(path, HistoryDatabase::Access::ReadOnly);
        const std::vector<HistoryUnit> units = lister.Units();
        ASSERT_EQ(units.size(), 1u);
        EXPECT_EQ(units[0].name, "VDX04") << "the last committed state";
        EXPECT_TRUE(lister.TakeMessages().empty());
        ASSERT_TRUE(q.exec("ROLLBACK"));
    }
    other.close();
    other = QSqlDatabase();
    QSqlDatabase::removeDatabase("busy-writer");
}

TEST_F(HistoryDatabaseTest, ForgetWaitsForAReaderAndSaysSoWhenItDoesNotEnd)
{
    {
        HistoryDatabase db(path);
        ASSERT_TRUE(db.Record(Record(Unit("111111-111111-11111"), Kind::CommandRead, true, nullptr, 1000)));
        ASSERT_TRUE(db.Record(Record(Unit("222222-222222-22222"), Kind::CommandRead, true, nullptr, 2000)));
    }
    QSqlDatabase reader = QSqlDatabase::addDatabase("QSQLITE", "slow-reader");
    reader.setDatabaseName(path);
    ASSERT_TRUE(reader.open());
    {
        // A read of another program that keeps the pages as they were.
        QSqlQuery q(reader);
        ASSERT_TRUE(q.exec("BEGIN"));
        ASSERT_TRUE(q.exec("SELECT count(*) FROM units") && q.next());
        HistoryDatabase db(path);
        EXPECT_FALSE(db.ForgetUnit(db.FindUnit("111111-111111-11111")->id)) << "not done while it is still in the file";
        const std::vector<std::string> messages = db.TakeMessages();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_NE(messages[0].find("another program is still reading"), std::string::npos) << messages[0];
        EXPECT_FALSE(db.FindUnit("111111-111111-11111"));
        ASSERT_TRUE(q.exec("COMMIT"));
    }
    reader.close();
    reader = QSqlDatabase();
    QSqlDatabase::removeDatabase("slow-reader");
    // The next program that opens the history for writing erases what the reader kept.
    HistoryDatabase next(path);
    ASSERT_TRUE(next.Open());
    EXPECT_FALSE(HasText(Bytes(path), "111111-111111-11111"));
    EXPECT_FALSE(HasText(Bytes(path + "-wal"), "111111-111111-11111"));
    EXPECT_TRUE(HasText(Bytes(path) + Bytes(path + "-wal"), "222222-222222-22222"));
}

TEST_F(HistoryDatabaseTest, ForgetErasesTheUnitFromSetAsideCopiesOrNamesThem)
{
    {
        HistoryDatabase db(path);
        ASSERT_TRUE(db.Record(Record(Unit("111111-111111-11111"), Kind::CommandRead, true, nullptr, 1000)));
        ASSERT_TRUE(db.Record(Record(Unit("222222-222222-22222"), Kind::CommandRead, true, nullptr, 2000)));
    }
    // A sound copy set aside by an earlier run, and one too damaged to change.
    const QString sound = QString::fromStdString(dir.file("history-damaged-20260101-000000.sqlite"));
    const QString broken = QString::fromStdString(dir.file("history-damaged-20260102-000000.sqlite"));
    ASSERT_TRUE(QFile::copy(path, sound));
    {
        QFile f(broken);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a database; sn:111111-111111-11111 was here");
    }
    HistoryDatabase db(path);
    ASSERT_TRUE(db.ForgetUnit(db.FindUnit("111111-111111-11111")->id));
    EXPECT_FALSE(HasText(Bytes(sound) + Bytes(sound + "-wal"), "111111-111111-11111"));
    EXPECT_TRUE(HasText(Bytes(sound) + Bytes(sound + "-wal"), "222222-222222-22222")) << "the other unit stays";
    const std::vector<std::string> messages = db.TakeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("history-damaged-20260102-000000.sqlite"), std::string::npos) << messages[0];
    EXPECT_EQ(messages[0].find("20260101"), std::string::npos) << messages[0];
}
