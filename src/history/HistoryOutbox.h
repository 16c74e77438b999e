#pragma once

#include "history/HistoryRecord.h"

#include <QString>

#include <string>
#include <vector>

// The events of this bench that wait for the history server, in an SQLite file beside the local
// history: a command whose server is away records here, and the events are sent when it answers
// again. Several programs of the bench may use the file at once; an event leaves it only after the
// server has kept it, and is known on the server by its unique id, so that one sent twice (by two
// programs at once, or again after the bench stopped between sending and removing) is kept once.
class HistoryOutbox {
public:
    static constexpr const char* FILE_NAME = "history-outbox.sqlite";

    explicit HistoryOutbox(const QString& path);
    ~HistoryOutbox();
    HistoryOutbox(const HistoryOutbox&) = delete;
    HistoryOutbox& operator=(const HistoryOutbox&) = delete;

    bool Add(const HistoryRecord& record);
    // The events that wait; 0 without a file.
    int Count();
    // The longest waiting events, at most limit of them, oldest first.
    std::vector<HistoryRecord> Oldest(int limit);
    // Removes the events (by their unique ids) once the server has them.
    bool Remove(const std::vector<HistoryRecord>& sent);
    // Removes every event of the unit (its identity, HistoryUnit::Identity).
    bool ForgetUnit(const std::string& identity);

    const QString& path() const { return path_; }
    // What went wrong since the last call, in the current language.
    std::vector<std::string> TakeMessages();

private:
    bool Open(bool create);
    bool Exec(const QString& statement);
    bool Fail(const QString& reason);

    QString path_;
    QString connection_;
    bool open_ = false;
    std::vector<std::string> messages_;
};
