#include "history/HistoryWriter.h"

#include "history/HistoryStore.h"

#include <QThread>

#include <chrono>

HistoryWriter::HistoryWriter(const QString& path)
    : HistoryWriter(HistoryLocation { path, {}, {} })
{
}

HistoryWriter::HistoryWriter(const HistoryLocation& location)
    : location_(location)
{
    thread_.reset(QThread::create([this] { Loop(); }));
    thread_->start();
}

HistoryWriter::~HistoryWriter()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_->wait();
}

void HistoryWriter::Record(const HistoryRecord& record)
{
    Run([record](HistoryStore& store) { store.Record(record); });
}

void HistoryWriter::Sync()
{
    Run([](HistoryStore& store) { store.Sync(); });
}

void HistoryWriter::Run(std::function<void(HistoryStore&)> job)
{
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(job));
    }
    wake_.notify_all();
}

bool HistoryWriter::WaitIdle(int timeoutMs)
{
    std::unique_lock lock(mutex_);
    return idle_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return jobs_.empty() && !busy_; });
}

std::vector<std::string> HistoryWriter::TakeMessages()
{
    std::lock_guard lock(mutex_);
    std::vector<std::string> taken;
    taken.swap(messages_);
    return taken;
}

void HistoryWriter::Keep(const std::vector<std::string>& messages)
{
    bool added = false;
    {
        std::lock_guard lock(mutex_);
        for (const std::string& m : messages) {
            // A file that keeps failing says so once, not with every event.
            if (m == lastMessage_)
                continue;
            lastMessage_ = m;
            messages_.push_back(m);
            added = true;
        }
    }
    if (added && notice_)
        notice_();
}

void HistoryWriter::Loop()
{
    // The connection is made on this thread and used only here.
    const std::unique_ptr<HistoryStore> store = location_.NewStore();
    for (;;) {
        std::function<void(HistoryStore&)> job;
        {
            std::unique_lock lock(mutex_);
            busy_ = false;
            idle_.notify_all();
            wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (jobs_.empty())
                return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
            busy_ = true;
        }
        job(*store);
        Keep(store->TakeMessages());
        Count(*store);
    }
}

void HistoryWriter::Count(HistoryStore& store)
{
    const int waiting = store.Waiting();
    if (waiting_.exchange(waiting) != waiting && waitingNotice_)
        waitingNotice_(waiting);
}
