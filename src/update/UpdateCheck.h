#pragma once

#include "update/HttpGet.h"
#include "update/UpdateCheckHost.h"
#include "update/PatchSettings.h"

#include <atomic>
#include <memory>
#include <optional>
#include <string>

class QThread;

// The once-per-run update check. A worker thread fetches the update information document when
// the user-interface thread asks for it; the user-interface thread's Tick asks, and later
// evaluates the document and offers the update. The state value is the only hand-off: the
// worker writes the document before it sets state 2. Between requests the worker sleeps until it
// is asked or told to stop (a wake count it waits on), so an idle check costs no wake-ups.
class UpdateCheck {
public:
    enum State : int { IDLE = 0, REQUESTED = 1, DOWNLOADED = 2, EVALUATED = 3 };
    static constexpr int REQUEST_AFTER_MS = 2000;
    static constexpr unsigned WORKER_STACK = 128 * 1024;

    // settings stays owned by the window and must outlive the check.
    UpdateCheck(UpdateCheckHost& host, PatchSettings& settings, std::string compileDate);
    ~UpdateCheck();
    UpdateCheck(const UpdateCheck&) = delete;
    UpdateCheck& operator=(const UpdateCheck&) = delete;

    // Resets the state and starts the worker. With noUpdateCheck the worker runs but no request
    // is ever made.
    void Start(bool noUpdateCheck);
    // One step on the user-interface thread, on every main-timer tick.
    void Tick();
    // Tells the worker to end, breaks off a running download and waits for the worker.
    void Stop();

    int state() const { return state_.load(std::memory_order_acquire); }
    bool hasDocument() const { return state() >= DOWNLOADED && document_.has_value(); }
    bool dialogShown() const { return dialogShown_; }

    // Transfer limits (the connect time-out is 2000 ms); tests shorten the idle time-out.
    HttpGetOptions& httpOptions() { return http_; }

private:
    void WorkerLoop();
    // Wakes the worker to look at the stop flag and the state again.
    void WakeWorker();
    void Download();
    void Evaluate();

    UpdateCheckHost& host_;
    PatchSettings& settings_;
    std::string compileDate_;
    std::string address_;
    HttpGetOptions http_;
    bool noUpdateCheck_ = false;
    bool dialogShown_ = false;
    std::atomic<int> state_ { IDLE };
    std::atomic<bool> stop_ { false };
    std::atomic<bool> workerDone_ { false };
    std::atomic<unsigned> wakes_ { 0 };
    std::optional<std::string> document_;
    std::unique_ptr<QThread> worker_;
};
