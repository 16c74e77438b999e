#pragma once

#include <QString>

#include <optional>
#include <utility>
#include <vector>

class QSqlDatabase;

// The address of a PostgreSQL history server, postgresql://USER@HOST:PORT/DB?key=value&…, as libpq
// reads it: the parameters of the query (sslmode, connect_timeout, host for a socket folder, …)
// pass through to libpq. A password is refused: libpq takes it from ~/.pgpass or PGPASSWORD, so
// it never lands in the settings, a command line or a message.
struct HistoryServerUrl {
    QString user;
    QString host;
    int port = 0; // 0: libpq's default
    QString database;
    std::vector<std::pair<QString, QString>> parameters;

    // How long a connection attempt may take when the address does not say (seconds): a bench
    // whose server is away goes on with its work after this.
    static constexpr int CONNECT_TIMEOUT_S = 10;

    static bool IsServerUrl(const QString& text);
    // The address, or nothing with the reason (in the current language) in error.
    static std::optional<HistoryServerUrl> Parse(const QString& text, QString* error);
    // The address written back, without a password: as the settings keep it and messages name it.
    QString Text() const;
    // Hands the address to a QPSQL connection.
    void Apply(QSqlDatabase& db) const;
};
