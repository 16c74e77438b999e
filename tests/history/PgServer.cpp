#include "PgServer.h"

#include <QDir>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTcpServer>

#include <algorithm>

#include <pwd.h>
#include <unistd.h>

PgServer* PgServer::shared = nullptr;

namespace {

constexpr int INIT_TIMEOUT_MS = 120000;
constexpr int CTL_TIMEOUT_MS = 60000;
constexpr const char* USER = "vordax4";

int FreePort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
}

} // namespace

PgServer::PgServer()
    : bin_(BinFolder())
{
}

PgServer::~PgServer() { Stop(); }

QString PgServer::BinFolder()
{
    // The newest version installed.
    QStringList versions = QDir("/usr/lib/postgresql").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(versions.begin(), versions.end(), [](const QString& a, const QString& b) { return a.toInt() < b.toInt(); });
    for (auto it = versions.rbegin(); it != versions.rend(); ++it) {
        const QString bin = "/usr/lib/postgresql/" + *it + "/bin";
        if (QFile::exists(bin + "/initdb") && QFile::exists(bin + "/pg_ctl"))
            return bin;
    }
    return {};
}

QString PgServer::socketFolder() const { return dir_ ? dir_->path() : QString(); }

bool PgServer::Run(const QString& program, const QStringList& args, int timeoutMs)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    // The server's user may not enter the test's own scratch folder.
    p.setWorkingDirectory(dir_->path());
    if (asNobody_)
        p.start("runuser", QStringList { "-u", "nobody", "--", bin_ + "/" + program } + args);
    else
        p.start(bin_ + "/" + program, args);
    if (!p.waitForFinished(timeoutMs) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        p.kill();
        p.waitForFinished();
        error_ = program + " failed: " + QString::fromLocal8Bit(p.readAll()).trimmed();
        return false;
    }
    return true;
}

bool PgServer::Init()
{
    if (bin_.isEmpty()) {
        error_ = "the postgresql package is not installed (no /usr/lib/postgresql/*/bin/initdb)";
        return false;
    }
    // Short: the socket's path must fit into sockaddr_un.
    dir_ = std::make_unique<QTemporaryDir>("/tmp/vdx4pg-XXXXXX");
    if (!dir_->isValid()) {
        error_ = "no temporary folder";
        return false;
    }
    asNobody_ = ::geteuid() == 0;
    if (asNobody_) {
        const passwd* nobody = ::getpwnam("nobody");
        if (!nobody || ::chown(QFile::encodeName(dir_->path()).constData(), nobody->pw_uid, nobody->pw_gid) != 0) {
            error_ = "cannot hand the temporary folder to the user nobody";
            return false;
        }
    }
    return Run("initdb", { "-D", dir_->filePath("data"), "-U", USER, "--auth=trust", "-E", "UTF8", "--no-sync",
                             "--no-instructions" },
               INIT_TIMEOUT_MS)
        && Start();
}

bool PgServer::Start()
{
    if (running_)
        return true;
    port_ = port_ ? port_ : FreePort();
    const QString options = QString("-p %1 -k %2 -c listen_addresses=127.0.0.1 -c fsync=off -c max_connections=60")
                                .arg(port_)
                                .arg(dir_->path());
    running_ = Run("pg_ctl",
        { "-D", dir_->filePath("data"), "-l", dir_->filePath("server.log"), "-o", options, "-w", "start" },
        CTL_TIMEOUT_MS);
    return running_;
}

bool PgServer::Stop()
{
    if (!running_)
        return true;
    running_ = !Run("pg_ctl", { "-D", dir_->filePath("data"), "-m", "fast", "-w", "stop" }, CTL_TIMEOUT_MS);
    return !running_;
}

QString PgServer::Url(const QString& database) const
{
    return QString("postgresql://%1@127.0.0.1:%2/%3").arg(USER).arg(port_).arg(database);
}

QString PgServer::NewDatabase(const QString& name)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QPSQL", "pg-test-admin");
        db.setHostName("127.0.0.1");
        db.setPort(port_);
        db.setUserName(USER);
        db.setDatabaseName("postgres");
        EXPECT_TRUE(db.open()) << db.lastError().text().toStdString();
        QSqlQuery q(db);
        EXPECT_TRUE(q.exec("CREATE DATABASE " + name)) << q.lastError().text().toStdString();
        db.close();
    }
    QSqlDatabase::removeDatabase("pg-test-admin");
    return Url(name);
}

void PgEnvironment::SetUp()
{
    server_ = std::make_unique<PgServer>();
    PgServer::shared = server_.get();
    if (!server_->Init())
        std::fprintf(stderr, "PostgreSQL server not started: %s\n", qPrintable(server_->error()));
}

void PgEnvironment::TearDown()
{
    PgServer::shared = nullptr;
    server_.reset();
}
