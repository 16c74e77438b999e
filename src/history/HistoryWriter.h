#pragma once

#include "history/HistoryRecord.h"

#include <QString>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class HistoryDatabase;
class QThread;

// Writes the workshop history on a thread of its own, with its own database connection, so that a
// command is never held up or failed by the history: Record only queues. What goes wrong costs a
// message, collected for the owner to show.
class HistoryWriter {
public:
    explicit HistoryWriter(const QString& path);
    // Writes what is still queued, then stops.
    ~HistoryWriter();
    HistoryWriter(const HistoryWriter&) = delete;
    HistoryWriter& operator=(const HistoryWriter&) = delete;

    void Record(const HistoryRecord& record);
    // Any other work on the database, in order with the records.
    void Run(std::function<void(HistoryDatabase&)> job);
    // Waits until everything queued has been written; false when timeoutMs passed first.
    bool WaitIdle(int timeoutMs);

    // The messages of failures and repairs since the last call, oldest first.
    std::vector<std::string> TakeMessages();
    // Called on the writer's thread whenever a message is waiting (set it before the first record).
    void SetMessageNotice(std::function<void()> notice) { notice_ = std::move(notice); }
    const QString& path() const { return path_; }

private:
    void Loop();
    void Keep(const std::vector<std::string>& messages);

    QString path_;
    std::mutex mutex_;
    std::condition_variable wake_, idle_;
    std::deque<std::function<void(HistoryDatabase&)>> jobs_;
    bool busy_ = false;
    bool stopping_ = false;
    std::vector<std::string> messages_;
    std::string lastMessage_;
    std::function<void()> notice_;
    std::unique_ptr<QThread> thread_;
};
