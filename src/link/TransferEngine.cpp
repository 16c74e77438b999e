#include "link/TransferEngine.h"

#include "base/TickClock.h"
#include "base/Trace.h"
#include "link/FrameCommands.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace {

constexpr int WCOM_MERGE_GAP = 51; // unflagged bytes sent along inside one block

bool StoresAnswer(int32_t job) { return job == JobRead || job == JobReference || job == JobMonitor; }

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// Every wake of the worker has a cause that rings its bell; the limits only bound what an
// unforeseen silence could cost. Without a bell (no descriptor left) the worker polls as it
// always did: every millisecond while a job runs, every 50 ms without one.
constexpr int SAFETY_WAKE_JOB_MS = 50;
constexpr int SAFETY_WAKE_IDLE_MS = 500;
constexpr int POLL_JOB_MS = 1;
constexpr int POLL_IDLE_MS = 50;

} // namespace

TransferEngine::TransferEngine()
{
    // The worker needs far less than the half-megabyte stack it was once given; std::thread's
    // default stack is larger than that anyway.
    workerBell_.Open();
    worker_ = std::thread([this] { TransferWorker(); });
}

TransferEngine::~TransferEngine()
{
    ports_.linkStop.store(1, std::memory_order_release);
    workerBell_.Ring();
    if (worker_.joinable())
        worker_.join();
    ports_.StopPortThreads();
}

int32_t TransferEngine::DataBytesPerFrame() const
{
    const ProtocolInfo* info = FindProtocol(search_.connectedUnit.codec.protocol);
    if (info && !info->wcomFamily)
        return info->blockSize;
    return search_.connectedUnit.DataBytesPerFrame();
}

bool TransferEngine::StartJob(int32_t jobCode, int32_t start, int32_t length, int flags)
{
    if (job_.load(std::memory_order_acquire) != JobNone)
        return false;
    start = std::clamp(start, 0, JOB_AREA_LEN);
    length = std::clamp(length, 0, JOB_AREA_LEN - start);
    jobPos_.store(start, std::memory_order_relaxed);
    previousCommand_ = expectedAnswer_;
    previousStart_ = jobEnd_ - jobLength_;
    previousEnd_ = jobEnd_;
    jobLength_ = length;
    jobEnd_ = start + length;
    retryCount_ = 0;
    previousJobIgnAnswers_ = takenIgnAnswers_;
    takenIgnAnswers_.reset();
    for (int a = start; a < jobEnd_; ++a) {
        if (flags & JOB_FLAG_CLEAR_DATA)
            jobData[a] = 0;
        if (flags & JOB_FLAG_SEND_ALL)
            jobToSend[a] = 1;
        jobRxData[a] = 0;
        jobRxFlags[a] = 0;
    }
    retryLimit_ = (flags & JOB_FLAG_ONE_ATTEMPT) ? 1 : 3;
    job_.store(jobCode, std::memory_order_seq_cst);
    workerBell_.Ring();
    return true;
}

void TransferEngine::AbandonJob()
{
    job_.store(JobNone, std::memory_order_seq_cst);
    while (workerInPass_.load(std::memory_order_seq_cst))
        std::this_thread::yield();
}

void TransferEngine::LinkTick()
{
    search_.SearchPass();
    const int32_t port = search_.connectedPort.load(std::memory_order_relaxed);
    // A device that vanished under a connection (the I/O thread closed the port) drops the link.
    if (port && ports_.Port(port).state.load(std::memory_order_acquire) == PORT_CLOSED
        && ports_.Port(port).error.load(std::memory_order_acquire) == PORT_ERROR_LOST)
        Disconnect();
    const bool connected = search_.connectedPort.load(std::memory_order_relaxed) && search_.searchEnabled;
    if (state_.load(std::memory_order_acquire) == ENGINE_DOWN) {
        if (connected) {
            AbandonJob();
            search_.connectedUnit.codec.txLength = 0;
            search_.connectedUnit.codec.RestartSend();
            ListenTo(search_.connectedPort.load(std::memory_order_relaxed));
            state_.store(ENGINE_READY, std::memory_order_release);
            workerBell_.Ring();
        }
        return;
    }
    if (!connected) {
        state_.store(ENGINE_DOWN, std::memory_order_release);
        AbandonJob();
        ListenTo(0);
        return;
    }
    int32_t expected = ENGINE_AWAITING;
    if (TickMs.load() - sendTime_.load(std::memory_order_acquire) > ANSWER_TIMEOUT_MS
        && state_.compare_exchange_strong(expected, ENGINE_ATTEMPT_FAILED))
        workerBell_.Ring();
}

void TransferEngine::ListenTo(int port)
{
    if (listenedPort_)
        ports_.Port(listenedPort_).listener.store(nullptr, std::memory_order_release);
    listenedPort_ = port;
    if (port)
        ports_.Port(port).listener.store(&workerBell_, std::memory_order_release);
}

void TransferEngine::Disconnect()
{
    const int32_t port = search_.connectedPort.load(std::memory_order_relaxed);
    if (!port)
        return;
    TraceLinef("Close Port COM%i...", port);
    state_.store(ENGINE_DOWN, std::memory_order_release);
    AbandonJob();
    ListenTo(0);
    search_.connectedUnit.codec.txLength = 0;
    search_.connectedUnit.codec.RestartSend();
    ports_.ClosePort(port);
    search_.connectedPort.store(0, std::memory_order_release);
    ports_.portsChanged = 1;
    search_.TryKnownUnitFirst();
}

TransferEngine::HandOver TransferEngine::BootloaderHandOver(int port, uint32_t code)
{
    const int32_t connected = search_.connectedPort.load(std::memory_order_relaxed);
    if (code == BOOT_RELEASE_PORT && connected && port == connected) {
        search_.searchEnabled = 0;
        search_.rememberedPort = port;
        Disconnect();
        return HANDOVER_RELEASED;
    }
    if (code == BOOT_RESET_UNIT && connected && port == connected)
        return HANDOVER_RESET_REQUESTED;
    if (code == BOOT_RETURN_PORT && search_.rememberedPort > 0 && port == search_.rememberedPort) {
        search_.searchEnabled = 1;
        search_.rememberedPort = -1;
        return HANDOVER_RETURNED;
    }
    return HANDOVER_NONE;
}

void TransferEngine::TransferWorker()
{
    while (!ports_.linkStop.load(std::memory_order_acquire)) {
        ++Trace::LoopCounter;
        workerInPass_.store(true, std::memory_order_seq_cst);
        const int32_t job = job_.load(std::memory_order_seq_cst);
        const bool idle = job == JobNone || job == JobFailed || job == JobDone;
        const bool movedOn = !idle && WorkerPass(job);
        workerInPass_.store(false, std::memory_order_seq_cst);
        if (!movedOn)
            WaitForWork(idle);
    }
}

void TransferEngine::WaitForWork(bool idle)
{
    if (workerBell_.Fd() < 0)
        SleepMs(idle ? POLL_IDLE_MS : POLL_JOB_MS);
    else
        workerBell_.Wait(-1, idle ? SAFETY_WAKE_IDLE_MS : SAFETY_WAKE_JOB_MS);
}

bool TransferEngine::WorkerPass(int32_t job)
{
    // A frame taken that moved nothing on (a WCOM frame that is no answer) may have more bytes
    // behind it in the ring, so taking bytes counts as moving on too.
    const PortRecord& port = ConnectedRecord();
    const int32_t stateBefore = state_.load(std::memory_order_acquire);
    const int32_t posBefore = jobPos_.load(std::memory_order_relaxed);
    const uint32_t readBefore = port.rxRead.load(std::memory_order_relaxed);
    WorkerSteps(job);
    return state_.load(std::memory_order_acquire) != stateBefore
        || jobPos_.load(std::memory_order_relaxed) != posBefore || job_.load(std::memory_order_acquire) != job
        || port.rxRead.load(std::memory_order_relaxed) != readBefore;
}

void TransferEngine::WorkerSteps(int32_t job)
{
    if (state_.load(std::memory_order_acquire) == ENGINE_ATTEMPT_FAILED)
        HandleAttemptFailed(job);
    if (state_.load(std::memory_order_acquire) == ENGINE_AWAITING)
        HandleAnswer(job);
    if (state_.load(std::memory_order_acquire) == ENGINE_SENDING) {
        SearchSlot& unit = search_.connectedUnit;
        unit.codec.SendFrame(ConnectedRecord());
        if (unit.codec.remaining == 0) {
            int32_t expected = ENGINE_SENDING;
            state_.compare_exchange_strong(expected, ENGINE_AWAITING);
        }
    }
    if (state_.load(std::memory_order_acquire) == ENGINE_READY && job_.load(std::memory_order_acquire) == job)
        StartNextBlock(job);
}

void TransferEngine::EndJob(int32_t job, int32_t endCode)
{
    lastJob_.store(job, std::memory_order_release);
    int32_t expected = job;
    // An abandoned job (Disconnect) stays abandoned: the end code only replaces the running code.
    job_.compare_exchange_strong(expected, endCode, std::memory_order_seq_cst);
}

void TransferEngine::HandleAttemptFailed(int32_t job)
{
    TraceLinef("COM timeout or redirection (%i)...", retryCount_);
    ++retryCount_;
    if (retryCount_ < retryLimit_) {
        search_.connectedUnit.codec.RestartSend();
        sendTime_.store(TickMs.load(), std::memory_order_release);
        framesSent_.fetch_add(1, std::memory_order_relaxed);
        state_.store(ENGINE_SENDING, std::memory_order_release);
        return;
    }
    state_.store(ENGINE_READY, std::memory_order_release);
    EndJob(job, JobFailed);
}

void TransferEngine::Fail(const char* what, int a, int b)
{
    TraceLinef(what, a, b, retryCount_);
    state_.store(ENGINE_ATTEMPT_FAILED, std::memory_order_release);
}

void TransferEngine::HandleAnswer(int32_t job)
{
    FrameCodec& codec = search_.connectedUnit.codec;
    if (!codec.ReceiveFrame(ConnectedRecord(), TickMs.load()))
        return;
    const bool wcom = IsWcomFamily(codec.protocol);
    TraceLinef(
        "Frame rec [0x%02x] (%i)...", codec.rxFrame[0], wcom ? codec.dataLength() + WCOM_OVERHEAD : codec.frameLength);
    if (!(wcom ? HandleWcomAnswer(job, codec) : HandleIgnAnswer(job, codec)))
        return;
    retryCount_ = 0;
    state_.store(ENGINE_READY, std::memory_order_release);
}

bool TransferEngine::HandleIgnAnswer(int32_t job, FrameCodec& codec)
{
    const uint8_t answer = codec.rxFrame[0];
    if (answer != expectedAnswer_) {
        if (takenIgnAnswers_.test(answer) || previousJobIgnAnswers_.test(answer)) {
            TraceLinef("late answer [0x%02x] passed over (%i)...", answer, retryCount_);
            return false;
        }
        Fail("COM not expected answer 0x%02x!=0x%02x (%i)...", answer, expectedAnswer_);
        return false;
    }
    const int n = codec.frameLength - IGN_OVERHEAD;
    const int address = FrameCodec::IgnAnswerAddress(answer, n, job == JobWrite || job == JobRead);
    const int pos = jobPos_.load(std::memory_order_relaxed);
    if (pos != address) {
        Fail("address is not equal %i!=%i (%i)...", pos, address);
        return false;
    }
    const int count = std::min(n, JOB_AREA_LEN + WCOM_MAX_DATA - address);
    if (job == JobWrite) {
        int errors = 0;
        for (int i = 0; i < count; ++i)
            errors += codec.rxFrame[1 + i] != jobData[address + i];
        if (errors) {
            Fail("COM verify fail, %i errors (%i)...", errors, retryCount_);
            return false;
        }
    } else if (StoresAnswer(job)) {
        std::memcpy(jobRxData + address, codec.rxFrame + 1, static_cast<size_t>(count));
        std::memset(jobRxFlags + address, 1, static_cast<size_t>(count));
    }
    takenIgnAnswers_.set(answer);
    jobPos_.store(pos + n, std::memory_order_release);
    return true;
}

bool TransferEngine::HandleWcomAnswer(int32_t job, FrameCodec& codec)
{
    if ((codec.kind() & WCOM_KIND_DIRECTION_MASK) != WCOM_KIND_ANSWER || codec.command() != expectedAnswer_)
        return false;
    const int pos = jobPos_.load(std::memory_order_relaxed);
    const int address = codec.address();
    // An answer to a block this job, or the job before with the same command, has already taken is
    // late: its request timed out and was sent again. Passing over it keeps the wait for the block
    // at hand.
    const bool takenByThisJob = address < pos && address >= jobEnd_ - jobLength_;
    const bool takenByPreviousJob
        = expectedAnswer_ == previousCommand_ && address != pos && address >= previousStart_ && address < previousEnd_;
    if (takenByThisJob || takenByPreviousJob) {
        TraceLinef("late answer at %i passed over (%i)...", address, retryCount_);
        return false;
    }
    if (codec.address() != pos || (StoresAnswer(job) && codec.dataLength() != blockLength_)) {
        Fail("len or address is not equal %i!=%i (%i)...", pos, codec.address());
        return false;
    }
    if (StoresAnswer(job)) {
        std::memcpy(jobRxData + pos, codec.data(), blockLength_);
        std::memset(jobRxFlags + pos, 1, blockLength_);
    }
    jobPos_.store(pos + blockLength_, std::memory_order_release);
    return true;
}

bool TransferEngine::ChooseNextBlock(int& start, int& length) const
{
    const int b = DataBytesPerFrame();
    const int pos = jobPos_.load(std::memory_order_relaxed);
    if (!IsWcomFamily(search_.connectedUnit.codec.protocol)) {
        for (int block = pos / b; block < (jobEnd_ + b - 1) / b; ++block) {
            const int first = block * b;
            const int last = std::min(first + b, JOB_AREA_LEN);
            if (std::any_of(jobToSend + first, jobToSend + last, [](uint8_t f) { return f != 0; })) {
                start = first;
                length = b;
                return true;
            }
        }
        return false;
    }
    int a = pos;
    while (a < jobEnd_ && !jobToSend[a])
        ++a;
    if (a >= jobEnd_)
        return false;
    start = a;
    int lastFlagged = a;
    for (++a; a < jobEnd_ && a - start < b; ++a) {
        if (jobToSend[a])
            lastFlagged = a;
        else if (a - lastFlagged > WCOM_MERGE_GAP)
            break;
    }
    length = lastFlagged - start + 1;
    return true;
}

int TransferEngine::BuildFrame(int32_t job, FrameCodec& codec)
{
    const int pos = jobPos_.load(std::memory_order_relaxed);
    const ProtocolInfo* info = FindProtocol(codec.protocol);
    if (!info)
        return 0;
    if (info->wcomFamily) {
        const uint32_t sum = info->sumCheck ? WCOM_FLAG_SUM : 0;
        const uint8_t count[2] = { static_cast<uint8_t>(blockLength_), static_cast<uint8_t>(blockLength_ >> 8) };
        const uint16_t address = static_cast<uint16_t>(pos);
        // The unit's answer carries the request's command word.
        const auto send = [&](uint16_t command, int length, const uint8_t* data) {
            expectedAnswer_ = command;
            return FrameCodec::BuildWcomFrame(codec.txFrame, command | sum, address, length, data);
        };
        switch (job) {
        case JobWrite:
            return send(WCOM_WRITE_MEMORY, blockLength_, jobData + pos);
        case JobRead:
            return send(WCOM_READ_MEMORY, sizeof count, count);
        case JobReference:
            return send(WCOM_READ_REFERENCE, sizeof count, count);
        case JobMonitor:
            return send(WCOM_MONITOR, blockLength_, jobData + pos);
        default:
            return send(static_cast<uint16_t>(rawCommand & 0xFFFF), rawLength, nullptr);
        }
    }
    const int n = info->blockSize;
    const int block = pos / n;
    const struct {
        int32_t job;
        int kind;
        int index;
        int tail;
    } requests[] = {
        { JobWrite, IGN_WRITE_MEMORY, block + 1, 0 },
        { JobRead, IGN_READ, block + 1, 0 },
        { JobReference, IGN_READ, 0, 0 },
        { JobMonitor, IGN_MONITOR, block, search_.TailValue() },
        { JobCommand, IGN_COMMAND, 0, 0 },
    };
    for (const auto& r : requests)
        if (r.job == job) {
            // The unit answers with the request's command byte and the answer bit set.
            expectedAnswer_ = IGN_ANSWER + r.kind + r.index;
            return FrameCodec::BuildIgnFrame(codec.txFrame, n, r.kind, r.index, jobData + pos, r.tail);
        }
    return 0;
}

void TransferEngine::StartNextBlock(int32_t job)
{
    int start = 0;
    int length = 0;
    if (!ChooseNextBlock(start, length)) {
        EndJob(job, JobDone);
        return;
    }
    jobPos_.store(start, std::memory_order_release);
    blockLength_ = static_cast<uint16_t>(length);
    FrameCodec& codec = search_.connectedUnit.codec;
    codec.txLength = static_cast<uint32_t>(BuildFrame(job, codec));
    codec.RestartSend();
    sendTime_.store(TickMs.load(), std::memory_order_release);
    framesSent_.fetch_add(1, std::memory_order_relaxed);
    state_.store(ENGINE_SENDING, std::memory_order_release);
    TraceLinef("Frame send [0x%02x] (%i).../Job=%i,len=%i/ data[21]=0x%02x", codec.txFrame[0], codec.txLength, job,
        jobLength_, codec.txFrame[21]);
}
