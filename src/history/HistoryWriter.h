#pragma once

#include "history/HistoryLocation.h"
#include "history/HistoryRecord.h"

#include <QString>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class HistoryStore;
class QThread;

// Writes the workshop history on a thread of its own, with its own database connection, so that a
// command is never held up or failed by the history: Record only queues. What goes wrong costs a
// message, collected for the owner to show. With a history server the events go through the
// bench's outbox, and the writer keeps count of those still waiting.
class HistoryWriter {
public:
    explicit HistoryWriter(const QString& path);
    explicit HistoryWriter(const HistoryLocation& location);
    // Writes what is still queued, then stops.
    ~HistoryWriter();
    HistoryWriter(const HistoryWriter&) = delete;
    HistoryWriter& operator=(const HistoryWriter&) = delete;

    void Record(const HistoryRecord& record);
    // Any other work on the history, in order with the records.
    void Run(std::function<void(HistoryStore&)> job);
    // Sends the events that wait for the server.
    void Sync();
    // Waits until everything queued has been written; false when timeoutMs passed first.
    bool WaitIdle(int timeoutMs);

    // The messages of failures and repairs since the last call, oldest first.
    std::vector<std::string> TakeMessages();
    // Called on the writer's thread whenever a message is waiting (set it before the first record).
    void SetMessageNotice(std::function<void()> notice) { notice_ = std::move(notice); }
    // Called on the writer's thread when the count of events waiting for the server changed.
    void SetWaitingNotice(std::function<void(int)> notice) { waitingNotice_ = std::move(notice); }
    // The events waiting for the server after the last job.
    int Waiting() const { return waiting_; }
    const QString& path() const { return location_.file; }
    const HistoryLocation& location() const { return location_; }

private:
    void Loop();
    void Keep(const std::vector<std::string>& messages);
    void Count(HistoryStore& store);

    HistoryLocation location_;
    std::mutex mutex_;
    std::condition_variable wake_, idle_;
    std::deque<std::function<void(HistoryStore&)>> jobs_;
    bool busy_ = false;
    bool stopping_ = false;
    std::vector<std::string> messages_;
    std::string lastMessage_;
    std::function<void()> notice_;
    std::function<void(int)> waitingNotice_;
    std::atomic<int> waiting_ { 0 };
    std::unique_ptr<QThread> thread_;
};
