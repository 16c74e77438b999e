#include "app/WindowHistory.h"
#include "history/HistoryLocation.h"
#include "history/HistoryOutbox.h"
#include "history/HistoryServer.h"
#include "history/ui/HistoryDialog.h"

#include "PgServer.h"
#include "WindowWithUnit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include <set>

namespace {

[[maybe_unused]] testing::Environment* const PG = testing::AddGlobalTestEnvironment(new PgEnvironment);

// The window against a simulated unit, with the history on the test's PostgreSQL server, named by
// VORDAX4_HISTORY_URL as a workshop would set it for every bench.
struct HistoryServerWindow : WindowWithUnit {
    QString url;

    void SetUp() override
    {
        REQUIRE_PG_SERVER();
        static int databases = 0;
        url = PgServer::shared->NewDatabase(QString("window%1").arg(++databases));
        qputenv(HistoryLocation::URL_VARIABLE, url.toUtf8());
        WindowWithUnit::SetUp();
    }
    void TearDown() override
    {
        WindowWithUnit::TearDown();
        qunsetenv(HistoryLocation::URL_VARIABLE);
    }
    WindowHistory& History() { return form->History(); }
    HistoryDialog* Dialog() { return History().Dialog(); }
    QString Settings(const QString& name) const { return QString::fromStdString(dir.file(name.toStdString())); }
    // With VORDAX4_SETTINGS_DIR the settings and the history share one folder.
    QString SettingsFolderFile(const QString& name) { return QFileInfo(History().Path()).dir().filePath(name); }
    QLabel* StatusCount() { return form->findChild<QLabel*>("LabelHistoryWaiting"); }
    std::set<QString> Column(QTableView* table, int column)
    {
        std::set<QString> texts;
        for (int row = 0; row < table->model()->rowCount(); ++row)
            texts.insert(HistoryDialog::CellText(table, row, column));
        return texts;
    }
};

constexpr int BENCH_COLUMN = 5;

TEST_F(HistoryServerWindow, TheDialogListsTheEventsOfEveryBenchWithTheirBench)
{
    Open();
    Connect();
    ASSERT_TRUE(History().WaitWritten(10000));
    // Another bench programmed the same unit.
    HistoryServer far(url, Settings("far/" + QString(HistoryOutbox::FILE_NAME)), "bench-far");
    ASSERT_TRUE(far.Record(HistoryRecord::Make(ConnectionHost::CommandProgram, true, &form->Image(),
        manager().unitInfo, "far.ign")));

    form->findChild<QAction*>("MenuUnitHistory")->trigger();
    ASSERT_NE(Dialog(), nullptr);
    ASSERT_EQ(Dialog()->unitTable()->model()->rowCount(), 1);
    const std::set<QString> benches = Column(Dialog()->eventTable(), BENCH_COLUMN);
    EXPECT_EQ(benches, (std::set<QString> { "bench-far", History().Location().bench }));
    EXPECT_NE(History().Location().bench, "bench-far");
    EXPECT_EQ(Dialog()->serverField()->text(), url);
    EXPECT_TRUE(errors.empty() && boxes.empty()) << testing::PrintToString(boxes);
}

TEST_F(HistoryServerWindow, WhileTheServerIsStoppedTheStatusBarCountsTheWaitingEventsUntilTheyAreSent)
{
    Open();
    ASSERT_NE(StatusCount(), nullptr);
    EXPECT_TRUE(StatusCount()->isHidden());
    {
        struct RestartAtEnd {
            ~RestartAtEnd() { PgServer::shared->Start(); }
        } restart;
        ASSERT_TRUE(PgServer::shared->Stop());
        Connect();
        ASSERT_TRUE(RunUntil([&] { return !StatusCount()->isHidden(); }));
        EXPECT_EQ(StatusCount()->text(), "History: 1 waiting");
        ASSERT_TRUE(PgServer::shared->Start());
    }
    // As the minute's timer does.
    History().Sync();
    ASSERT_TRUE(RunUntil([&] { return StatusCount()->isHidden(); }));
    HistoryServer reader(url, Settings("reader.sqlite"), "reader");
    const std::vector<HistoryUnit> units = reader.Units();
    ASSERT_EQ(units.size(), 1u);
    EXPECT_EQ(units[0].events, 1);
}

TEST_F(HistoryServerWindow, TheServerChosenInTheDialogIsKeptWithoutAPassword)
{
    Open();
    form->findChild<QAction*>("MenuUnitHistory")->trigger();
    ASSERT_NE(Dialog(), nullptr);
    const QString ini = SettingsFolderFile("history.ini");
    QString withPassword = url;
    withPassword.replace("vordax4@", "vordax4:secret@");
    Dialog()->serverField()->setText(withPassword);
    Dialog()->findChild<QPushButton*>("ButtonHistoryServer")->click();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("pgpass"), std::string::npos) << boxes[0];
    EXPECT_FALSE(QFile::exists(ini)) << "nothing is kept";

    // The file of this PC, then the server again.
    for (const QString& choice : { QString(), url + "?sslmode=disable" }) {
        Dialog()->serverField()->setText(choice);
        Dialog()->findChild<QPushButton*>("ButtonHistoryServer")->click();
        EXPECT_EQ(History().Location().serverUrl, choice);
        QFile file(ini);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray kept = file.readAll();
        EXPECT_FALSE(kept.contains("secret"));
        EXPECT_EQ(kept.contains("127.0.0.1"), !choice.isEmpty()) << kept.toStdString();
    }
    EXPECT_EQ(boxes.size(), 1u) << testing::PrintToString(boxes);
}

} // namespace
