#pragma once

#include "history/HistoryOutbox.h"
#include "history/HistoryServerUrl.h"
#include "history/HistoryStore.h"

#include <QString>

#include <map>

class QSqlError;
class QSqlQuery;

// The workshop history on a PostgreSQL server that every bench of the workshop writes to, through
// Qt's QPSQL driver. An event goes to the bench's outbox first and is sent from there, so that a
// command never fails or waits because the server is away: what could not be sent waits and goes
// with the next event or Sync. The tables are made on first use under an advisory lock, so that
// benches starting together make them once, and carry a schema version that later versions migrate.
class HistoryServer : public HistoryStore {
public:
    // The schema this version writes; a server with a newer one is read but never written.
    static constexpr int SCHEMA_VERSION = 1;
    // Events sent in one transaction.
    static constexpr int BATCH = 500;

    // outboxPath: the bench's outbox; bench: the name its events carry.
    HistoryServer(const QString& url, const QString& outboxPath, const QString& bench);
    ~HistoryServer() override;
    HistoryServer(const HistoryServer&) = delete;
    HistoryServer& operator=(const HistoryServer&) = delete;

    bool Open() override;
    bool Record(const HistoryRecord& record) override;
    std::vector<HistoryUnit> Units() override;
    std::optional<HistoryUnit> FindUnit(const std::string& text) override;
    std::vector<HistoryEvent> Events(int64_t unitId) override;
    bool Configuration(int64_t eventId, ParamImage& image, int64_t* unitId = nullptr) override;
    // Removes the unit on the server and its events waiting in the outbox.
    bool ForgetUnit(int64_t unitId) override;
    bool Sync() override;
    int Waiting() override { return outbox_.Count(); }
    std::vector<std::string> TakeMessages() override;
    QString Location() const override;

private:
    bool Connect();
    bool Migrate();
    int SchemaVersion();
    bool SendBatch(const std::vector<HistoryRecord>& batch);
    bool UnitIds(const std::vector<HistoryRecord>& batch, std::map<std::string, qint64>& ids);
    bool Exec(QSqlQuery& query);
    bool Exec(const QString& statement);
    bool Rollback();
    // Notes a failure; one of the connection closes it, so that the next use connects again.
    bool Fail(const QSqlError& error);
    void Note(const char* langString, const QString& reason);

    std::optional<HistoryServerUrl> url_;
    QString text_;
    QString bench_;
    HistoryOutbox outbox_;
    QString connection_;
    bool migrated_ = false;
    bool writable_ = true;
    std::vector<std::string> messages_;
};
