#pragma once

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

// A PostgreSQL server of the test binary's own: initdb into a temporary folder, started with
// pg_ctl on a free port of 127.0.0.1 and a Unix socket in the folder, stopped and removed at the
// end. The server refuses to run as root, so under root it runs as the user nobody. The binaries
// come from Debian's postgresql package (/usr/lib/postgresql/<version>/bin).
class PgServer {
public:
    PgServer();
    ~PgServer();
    PgServer(const PgServer&) = delete;
    PgServer& operator=(const PgServer&) = delete;

    // Makes the cluster and starts it; false with the reason in error().
    bool Init();
    bool Start();
    bool Stop();
    bool running() const { return running_; }
    const QString& error() const { return error_; }

    int port() const { return port_; }
    QString socketFolder() const;
    // A new, empty database; its address for the history (user "vordax4", no password: trust).
    QString NewDatabase(const QString& name);
    QString Url(const QString& database) const;
    // The binaries, or empty when the server is not installed.
    static QString BinFolder();

    // The one server of the test binary, started by PgEnvironment.
    static PgServer* shared;

private:
    bool Run(const QString& program, const QStringList& args, int timeoutMs);

    std::unique_ptr<QTemporaryDir> dir_;
    QString bin_;
    int port_ = 0;
    bool running_ = false;
    bool asNobody_ = false;
    QString error_;
};

// Starts the shared server once for the whole test binary and stops it at the end, also after
// failed tests. Register it with testing::AddGlobalTestEnvironment.
class PgEnvironment : public testing::Environment {
public:
    void SetUp() override;
    void TearDown() override;

private:
    std::unique_ptr<PgServer> server_;
};

// Skips the test where the server is not installed; fails it where it is but could not be started.
#define REQUIRE_PG_SERVER()                                                                                     \
    do {                                                                                                        \
        if (PgServer::BinFolder().isEmpty())                                                                    \
            GTEST_SKIP() << "the PostgreSQL server is not installed (scripts/install-deps.sh installs it)";    \
        ASSERT_TRUE(PgServer::shared && PgServer::shared->running())                                            \
            << (PgServer::shared ? PgServer::shared->error().toStdString() : std::string("not started"));       \
    } while (0)
