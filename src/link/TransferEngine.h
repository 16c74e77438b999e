#pragma once

#include "link/Doorbell.h"
#include "link/PortTable.h"
#include "link/UnitSearch.h"

#include <atomic>
#include <bitset>
#include <cstdint>
#include <thread>

// EngineState of the transfer engine.
enum EngineState : int32_t {
    ENGINE_DOWN = 0,
    ENGINE_READY = 1,
    ENGINE_SENDING = 2,
    ENGINE_AWAITING = 3,
    ENGINE_ATTEMPT_FAILED = 4
};

// Job codes and end codes.
enum JobCode : int32_t {
    JobNone = 0,
    JobWrite = 17,
    JobRead = 18,
    JobMonitor = 35,
    JobCommand = 65,
    JobReference = 66,
    JobFailed = 132,
    JobDone = 136,
};

// StartJob flags.
enum JobFlag : int { JOB_FLAG_SEND_ALL = 1, JOB_FLAG_CLEAR_DATA = 2, JOB_FLAG_ONE_ATTEMPT = 4 };

constexpr int JOB_AREA_LEN = 8000;
constexpr int32_t ANSWER_TIMEOUT_MS = 400;

// The link object the main window owns: the transfer engine with its port table and unit search.
// The window calls LinkTick on every connection-manager pass (every second main-timer tick),
// starts jobs with StartJob, polls job() for JobDone / JobFailed, reads jobRxData after the end
// and sets the job code back with ClearJob. The TransferWorker thread carries the jobs out frame
// by frame over the port the search connected.
class TransferEngine {
public:
    TransferEngine();
    ~TransferEngine();
    TransferEngine(const TransferEngine&) = delete;
    TransferEngine& operator=(const TransferEngine&) = delete;

    PortTable& Ports() { return ports_; }
    const PortTable& Ports() const { return ports_; }
    UnitSearch& Search() { return search_; }
    const UnitSearch& Search() const { return search_; }

    // Starts a job unless one is set (including an uncollected end code); returns whether it started.
    bool StartJob(int32_t jobCode, int32_t start, int32_t length, int flags);
    void LinkTick();
    void Disconnect();
    // The user-interface thread takes the result of an ended job: the code goes back to 0.
    void ClearJob() { job_.store(JobNone, std::memory_order_release); }
    // A bootloader hand-over message: returns what the window still has to do.
    enum HandOver { HANDOVER_NONE, HANDOVER_RELEASED, HANDOVER_RESET_REQUESTED, HANDOVER_RETURNED };
    HandOver BootloaderHandOver(int port, uint32_t code);

    int32_t job() const { return job_.load(std::memory_order_acquire); }
    int32_t lastJob() const { return lastJob_.load(std::memory_order_acquire); }
    int32_t state() const { return state_.load(std::memory_order_acquire); }
    int32_t jobPos() const { return jobPos_.load(std::memory_order_acquire); }
    int32_t jobEnd() const { return jobEnd_; }
    int32_t DataBytesPerFrame() const;
    // Frames sent by the worker (first attempts and repeats), for tests and benchmarks.
    int32_t FramesSent() const { return framesSent_.load(std::memory_order_relaxed); }

    // Job areas, indexed by the unit's memory address. The user-interface thread writes jobData
    // and jobToSend before StartJob and reads jobRxData and jobRxFlags after the job has ended.
    // The padding keeps a last block that runs past the end inside the arrays.
    uint8_t jobData[JOB_AREA_LEN + WCOM_MAX_DATA] = {};
    uint8_t jobToSend[JOB_AREA_LEN + WCOM_MAX_DATA] = {};
    uint8_t jobRxData[JOB_AREA_LEN + WCOM_MAX_DATA] = {};
    uint8_t jobRxFlags[JOB_AREA_LEN + WCOM_MAX_DATA] = {};
    int32_t rawCommand = 0;
    int32_t rawLength = 0;

private:
    void TransferWorker();
    // One pass over the running job; returns whether it moved the engine on (state, block, job
    // code, or bytes taken from the ring), in which case the worker passes again at once.
    bool WorkerPass(int32_t job);
    void WorkerSteps(int32_t job);
    // Sleeps until there may be work: a job started, bytes arrived on or left the connected port,
    // an attempt timed out, or the link stops.
    void WaitForWork(bool idle);
    // The record of the connected port, read as the worker reads it (the search stores the port
    // with release once the connected unit is set).
    PortRecord& ConnectedRecord() { return ports_.Port(search_.connectedPort.load(std::memory_order_acquire)); }
    void ListenTo(int port);
    void HandleAttemptFailed(int32_t job);
    void HandleAnswer(int32_t job);
    bool HandleIgnAnswer(int32_t job, FrameCodec& codec);
    bool HandleWcomAnswer(int32_t job, FrameCodec& codec);
    void StartNextBlock(int32_t job);
    bool ChooseNextBlock(int& start, int& length) const;
    int BuildFrame(int32_t job, FrameCodec& codec);
    void Fail(const char* what, int a, int b);
    void EndJob(int32_t job, int32_t endCode);
    // Sets the job code to 0 and waits until the worker has left any pass it was in, so that the
    // user-interface thread may touch the connected codec and the job areas again.
    void AbandonJob();

    // The search refers to the table, so the table is declared first. Their threads and the
    // worker are stopped in the destructor's body, before any member goes.
    PortTable ports_;
    UnitSearch search_ { ports_ };
    std::atomic<int32_t> state_ { ENGINE_DOWN };
    std::atomic<int32_t> job_ { JobDone };
    std::atomic<int32_t> lastJob_ { JobDone };
    int32_t expectedAnswer_ = -1;
    // The IGN answer bytes of the blocks the running job has taken: a second answer to one of them
    // is late (its request timed out and was sent again) and is passed over rather than failing
    // the block that waits now.
    std::bitset<256> takenIgnAnswers_;
    // Those of the job before: the second answer to its last block arrives while the next job
    // waits. Failing that job's attempt would send its request again, be answered twice in turn
    // and so cost every following job an attempt, until a slow answer fails one.
    std::bitset<256> previousJobIgnAnswers_;
    // The WCOM command and the area of the job before, for the same reason.
    int32_t previousCommand_ = -1;
    int32_t previousStart_ = 0;
    int32_t previousEnd_ = 0;
    std::atomic<int32_t> jobPos_ { 0 };
    uint16_t blockLength_ = 0;
    int32_t retryCount_ = 0;
    int32_t retryLimit_ = 3;
    int32_t jobLength_ = 0;
    int32_t jobEnd_ = 0;
    std::atomic<int32_t> sendTime_ { 0 };
    std::atomic<bool> workerInPass_ { false };
    std::atomic<int32_t> framesSent_ { 0 };
    // Wakes the worker; the connected port's I/O thread, StartJob, LinkTick and shutdown ring it.
    Doorbell workerBell_;
    int listenedPort_ = 0;
    std::thread worker_;
};
