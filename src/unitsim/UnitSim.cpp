#include "unitsim/UnitSim.h"

#include "link/ConnectionManager.h"
#include "link/FrameCodec.h"
#include "link/FrameCommands.h"
#include "link/PortChannel.h"
#include "model/ImageDefaults.h"
#include "model/ImageValidation.h"
#include "model/MonitorImage.h"
#include "model/ParamImage.h"
#include "unitsim/ChannelUnitLine.h"
#if VORDAX4_HAVE_PTY
#include "unitsim/PseudoTerminal.h"
#endif

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <future>
#include <iterator>

namespace {

constexpr int INPUT_GAP_MS = 50; // a pause this long ends a request that was cut short
constexpr int STORING_START = ConnectionManager::STORING_START;

int64_t NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

uint16_t Word(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

void PutWord(std::vector<uint8_t>& v, unsigned w)
{
    v.push_back(static_cast<uint8_t>(w));
    v.push_back(static_cast<uint8_t>(w >> 8));
}

} // namespace

UnitSim::UnitSim(UnitSimOptions options)
    : options_(std::move(options))
    , info_(FindProtocol(options_.protocol))
    , silent_(options_.silent)
    , echo_(options_.echo)
    , delayMs_(options_.delayMs)
    , alteredReads_(options_.alteredReads)
    , random_(options_.seed)
    , dropShare_(options_.dropShare)
    , corruptShare_(options_.corruptShare)
{
    if (!info_)
        info_ = FindProtocol(PROTOCOL_IGN100);
    ParamImage image;
    ResetDefaults(image, -1);
    // A unit holds only values the program accepts.
    ValidateImage(image);
    std::copy(image.bytes().begin(), image.bytes().end(), config_.begin());
    // The reference block as the unit keeps it: model, firmware build stamp, version, name,
    // programmed-by record, last update and serial number.
    uint8_t* r = reference_.data();
    std::memcpy(r, "VDX", 3);
    r[3] = 4;
    r[4] = 7; // day
    r[5] = 29; // "Aug": 'A' + 'u' + 'g' modulo 256
    r[6] = 19;
    r[7] = 14;
    r[8] = 5;
    r[10] = static_cast<uint8_t>(options_.firmwareMajor);
    r[11] = static_cast<uint8_t>(options_.firmwareMinor);
    std::strncpy(reinterpret_cast<char*>(r + 16), options_.name.c_str(), 15);
    r[31] = 'R' | 0x80;
    r[32] = 24;
    r[33] = 5;
    r[34] = 18;
    const uint32_t lastUpdate = 1700000000u;
    std::memcpy(r + 35, &lastUpdate, 4);
    std::copy(options_.serialNumber.begin(), options_.serialNumber.end(), r + 39);
}

UnitSim::~UnitSim() { Stop(); }

uint32_t UnitSim::LineBaudRequired() const { return options_.baud ? options_.baud : info_->usualBaud; }

bool UnitSim::Start(std::string* error)
{
    Stop();
#if VORDAX4_HAVE_PTY
    auto pty = std::make_unique<PseudoTerminal>();
    if (!pty->Open(error))
        return false;
    channel_.reset();
    StartOn(std::move(pty));
    return true;
#else
    if (error)
        *error = "this system has no pseudo-terminals; the unit can run on an in-process line";
    return false;
#endif
}

bool UnitSim::StartInProcess(const std::string& label, std::string* error)
{
    if (!PortChannel::ValidLabel(label)) {
        if (error)
            *error = "an in-process line needs a label without spaces, commas, semicolons or '=': \"" + label + "\"";
        return false;
    }
    Stop();
    if (!channel_ || channel_->Name() != PortChannel::NAME_PREFIX + label)
        channel_ = std::make_shared<PortChannel>(label);
    StartOn(std::make_unique<ChannelUnitLine>(channel_));
    return true;
}

void UnitSim::StartOn(std::unique_ptr<UnitLine> line)
{
    line_ = std::move(line);
    stop_ = false;
    unplugged_ = false;
    configWrites_ = 0;
    configReads_ = 0;
    startMs_ = NowMs();
    std::promise<AnswerPriority> raised;
    std::future<AnswerPriority> priority = raised.get_future();
    thread_ = std::thread([this, &raised] {
        raised.set_value(RaiseAnswerPriority());
        Run();
    });
    priority_ = priority.get();
}

void UnitSim::Stop()
{
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
    if (line_)
        line_->Close();
}

const std::string& UnitSim::DevicePath() const
{
    static const std::string none;
    return line_ ? line_->DevicePath() : none;
}

void UnitSim::Run()
{
    uint8_t buffer[1024];
    while (!stop_) {
        const long n = line_->Read(buffer, sizeof buffer, 5);
        if (n <= 0)
            continue;
        if (echo_) {
            line_->Write(buffer, static_cast<size_t>(n));
            continue;
        }
        const int64_t now = NowMs();
        if (now - lastInputMs_ > INPUT_GAP_MS)
            input_.clear();
        lastInputMs_ = now;
        if (options_.checkBaud && line_->LineBaud() != LineBaudRequired())
            continue; // at another rate the unit hears only noise
        bytesIn_ += n;
        if (options_.paced)
            WaitWireTime(static_cast<size_t>(n));
        input_.insert(input_.end(), buffer, buffer + n);
        Consume();
        if (unplugged_) {
            if (options_.onUnplug)
                options_.onUnplug();
            line_->Close();
            return;
        }
    }
}

void UnitSim::Consume()
{
    while (!unplugged_ && (info_->wcomFamily ? TakeWcomRequest() : TakeIgnRequest())) { }
}

bool UnitSim::UnplugsAt(std::atomic<int>& counter, int at)
{
    if (++counter != at)
        return false;
    unplugged_ = true;
    return true;
}

bool UnitSim::TakeWcomRequest()
{
    while (!input_.empty()) {
        const size_t have = std::min<size_t>(input_.size(), sizeof WCOM_SYNC);
        if (std::memcmp(input_.data(), WCOM_SYNC, have) != 0) {
            input_.erase(input_.begin());
            continue;
        }
        if (input_.size() < WCOM_OVERHEAD)
            return false;
        const int length = Word(&input_[WCOM_LENGTH]);
        const uint8_t kind = input_[WCOM_KIND];
        // A unit checks frames with its own protocol's check: a WCOMS unit never takes a CRC frame.
        const uint8_t check = info_->sumCheck ? WCOM_KIND_SUM : WCOM_KIND_CRC;
        if (length > WCOM_MAX_DATA || (kind & WCOM_KIND_CHECK_MASK) != check) {
            input_.erase(input_.begin());
            continue;
        }
        const size_t total = static_cast<size_t>(length) + WCOM_OVERHEAD;
        if (input_.size() < total)
            return false;
        const bool good = info_->sumCheck
            ? FrameCodec::WcomsSum(input_.data(), static_cast<int>(total)) == 0xFFFF
            : FrameCodec::WcomCrc(input_.data(), WCOM_DATA + length) == Word(&input_[total - 2]);
        if (!good || (kind & WCOM_KIND_DIRECTION_MASK) != WCOM_KIND_REQUEST) {
            input_.erase(input_.begin());
            continue;
        }
        std::vector<uint8_t> frame(input_.begin(), input_.begin() + static_cast<long>(total));
        input_.erase(input_.begin(), input_.begin() + static_cast<long>(total));
        AnswerWcom(frame.data());
        return true;
    }
    return false;
}

bool UnitSim::TakeIgnRequest()
{
    const size_t total = static_cast<size_t>(info_->blockSize) + IGN_OVERHEAD;
    while (!input_.empty()) {
        if (input_[0] & IGN_ANSWER) {
            input_.erase(input_.begin());
            continue;
        }
        if (input_.size() < total)
            return false;
        if (FrameCodec::IgnCheck(input_.data(), static_cast<int>(total)) != 0) {
            input_.erase(input_.begin());
            continue;
        }
        std::vector<uint8_t> frame(input_.begin(), input_.begin() + static_cast<long>(total));
        input_.erase(input_.begin(), input_.begin() + static_cast<long>(total));
        AnswerIgn(frame.data());
        return true;
    }
    return false;
}

void UnitSim::StartStoring()
{
    std::lock_guard lock(mutex_);
    // The unit counts one programming per storing: the blocks of one Program restart the
    // countdown that is already running.
    const int64_t now = NowMs();
    if (storingStartMs_ < 0 || now - storingStartMs_ >= options_.storingMs)
        ++programmings_;
    storingStartMs_ = now;
    ++writes_;
}

int UnitSim::StoringCountdown() const
{
    std::lock_guard lock(mutex_);
    if (storingStartMs_ < 0)
        return 0;
    const int64_t elapsed = NowMs() - storingStartMs_;
    const int64_t left = STORING_START - elapsed * STORING_START / std::max(1, options_.storingMs);
    return static_cast<int>(std::max<int64_t>(0, left));
}

std::array<uint8_t, MONITOR_BLOCK_LEN> UnitSim::MonitorBlock() const
{
    const double t = static_cast<double>(NowMs() - startMs_) / 1000.0;
    const int countdown = StoringCountdown();
    MonitorImage m;
    const int rpm = static_cast<int>(4000 + 3000 * std::sin(t * 0.6));
    const int load = static_cast<int>(50 + 45 * std::sin(t * 0.9));
    m.SetMonw(MON_RPM, static_cast<uint16_t>(rpm));
    m.SetMonw(MON_SENSOR_MV, static_cast<uint16_t>(500 + load * 40));
    m.SetMonw(MON_SUPPLY_MV, static_cast<uint16_t>(13800 + 150 * std::sin(t * 2.3)));
    m.SetMonw(MON_SERVO, static_cast<uint16_t>(2000 + load * 10));
    m.SetMonw(MON_SERVO + 1, static_cast<uint16_t>(2000 + load * 10));
    m.SetMonw(MON_PROG_COUNT, static_cast<uint16_t>(programmings_.load()));
    m.SetMonw(MON_LOAD, static_cast<uint16_t>(load));
    m.SetMonw(MON_SAVE_COUNTDOWN, static_cast<uint16_t>(countdown));
    for (int i = 0; i < 10; ++i)
        m.SetMonw(MON_TEST + i, static_cast<uint16_t>(i * 100 + static_cast<int>(t) % 100));
    const uint32_t minutes = 125 + static_cast<uint32_t>(t / 60);
    m.SetMonw(MON_HOURS_LOW, static_cast<uint16_t>(minutes));
    m.Monb(MON_HOURS_HIGH) = static_cast<uint8_t>(minutes >> 16);
    m.Monb(MON_SENSOR_KIND) = 1;
    m.Monb(MON_POUT) = rpm > 6000 ? 1 : 0;
    for (int c = 0; c < 4; ++c)
        m.Monb(MON_ADV + c) = static_cast<uint8_t>(100 + 10 + rpm / 400);
    m.Monb(MON_LIMITER) = rpm > 6900 ? 1 : 0;
    m.Monb(MON_PICKUPS) = static_cast<uint8_t>(1 << PICKUP1_RUNNING | (pickup2Running_.load() ? 1 << PICKUP2_RUNNING : 0));
    m.Monb(MON_STATUS) = 0x10;
    m.Monb(MON_SUBVERSION) = static_cast<uint8_t>(options_.firmwareMinor);
    m.Monb(MON_KEY) = static_cast<uint8_t>(options_.firmwareMajor);
    std::array<uint8_t, MONITOR_BLOCK_LEN> block {};
    std::copy(m.bytes().begin() + 1, m.bytes().end(), block.begin());
    return block;
}

std::array<uint8_t, RS_LEN_EXE> UnitSim::Configuration() const
{
    std::lock_guard lock(mutex_);
    return config_;
}

void UnitSim::SetConfiguration(const std::array<uint8_t, RS_LEN_EXE>& bytes)
{
    std::lock_guard lock(mutex_);
    config_ = bytes;
}

std::array<uint8_t, UnitSim::REFERENCE_AREA_LEN> UnitSim::ReferenceBlock() const
{
    std::lock_guard lock(mutex_);
    return reference_;
}

std::array<uint8_t, MONITOR_BLOCK_LEN> UnitSim::LastMonitorRequest() const
{
    std::lock_guard lock(mutex_);
    return monitorRequest_;
}

void UnitSim::AnswerWcom(const uint8_t* frame)
{
    const uint16_t command = Word(frame + WCOM_COMMAND);
    const uint16_t address = Word(frame + WCOM_ADDRESS);
    const int length = Word(frame + WCOM_LENGTH);
    const uint8_t* data = frame + WCOM_DATA;
    const uint32_t answer = WCOM_FLAG_ANSWER | (info_->sumCheck ? WCOM_FLAG_SUM : 0);
    std::vector<uint8_t> out(CODEC_BUFFER_LEN);
    std::vector<uint8_t> payload;
    auto copyRange = [&](const uint8_t* source, int sourceLength, int count) {
        for (int i = 0; i < count; ++i)
            payload.push_back(address + i < sourceLength ? source[address + i] : 0);
    };
    uint32_t answerCommand = command;
    uint16_t answerAddress = address;
    switch (command) {
    case WCOM_IDENTIFY:
        payload.assign(options_.name.begin(), options_.name.end());
        payload.push_back(0);
        PutWord(payload, static_cast<unsigned>(options_.maxFrameLength));
        PutWord(payload, static_cast<unsigned>(options_.hardwareCode));
        PutWord(payload, static_cast<unsigned>(options_.unitType));
        break;
    case WCOM_READ_MEMORY:
    case WCOM_READ_REFERENCE: {
        if (command == WCOM_READ_MEMORY && UnplugsAt(configReads_, options_.unplugAtRead))
            return;
        if (command == WCOM_READ_REFERENCE)
            ++referenceReads_;
        const int count = std::min<int>(length >= 2 ? Word(data) : 0, WCOM_MAX_DATA);
        std::lock_guard lock(mutex_);
        if (command == WCOM_READ_MEMORY)
            copyRange(config_.data(), RS_LEN_EXE, count);
        else
            copyRange(reference_.data(), REFERENCE_AREA_LEN, count);
        AlterRead(payload.data(), payload.size());
        break;
    }
    case WCOM_WRITE_MEMORY: {
        if (UnplugsAt(configWrites_, options_.unplugAtWrite))
            return;
        {
            std::lock_guard lock(mutex_);
            for (int i = 0; i < length && address + i < RS_LEN_EXE && !options_.ignoreWrites; ++i)
                config_[static_cast<size_t>(address + i)] = data[i];
        }
        StartStoring();
        // Writes are confirmed with the short answer form: the command in the address field.
        answerCommand = WCOM_SHORT_ANSWER;
        answerAddress = WCOM_WRITE_MEMORY;
        PutWord(payload, address);
        break;
    }
    case WCOM_MONITOR: {
        {
            std::lock_guard lock(mutex_);
            for (int i = 0; i < length && address + i < MONITOR_BLOCK_LEN; ++i)
                monitorRequest_[static_cast<size_t>(address + i)] = data[i];
        }
        const auto block = MonitorBlock();
        copyRange(block.data(), MONITOR_BLOCK_LEN, length);
        break;
    }
    case WCOM_RESET:
        ++resets_;
        {
            std::lock_guard lock(mutex_);
            storingStartMs_ = -1;
        }
        answerCommand = WCOM_SHORT_ANSWER;
        answerAddress = WCOM_RESET;
        break;
    default:
        return;
    }
    out.resize(static_cast<size_t>(FrameCodec::BuildWcomFrame(
        out.data(), answerCommand | answer, answerAddress, static_cast<int>(payload.size()), payload.data())));
    SendAnswer(std::move(out), true);
}

std::vector<uint8_t> UnitSim::IgnBlock(const uint8_t* source, int sourceLength, int block) const
{
    const int n = info_->blockSize;
    std::vector<uint8_t> data(static_cast<size_t>(n), 0);
    for (int i = 0; i < n; ++i) {
        const int a = block * n + i;
        if (a < sourceLength)
            data[static_cast<size_t>(i)] = source[a];
    }
    return data;
}

void UnitSim::AnswerIgn(const uint8_t* frame)
{
    const int n = info_->blockSize;
    const uint8_t request = frame[0];
    const uint8_t* data = frame + 1;
    std::vector<uint8_t> answerData(static_cast<size_t>(n), 0);
    uint8_t answer = request | IGN_ANSWER;
    if (request == IGN_COMMAND) {
        if (std::equal(std::begin(IGN_RESET_MARK), std::end(IGN_RESET_MARK), data + IGN_RESET_MARK_OFFSET)) {
            ++resets_;
            std::lock_guard lock(mutex_);
            storingStartMs_ = -1;
        }
    } else if (request < IGN_MONITOR) {
        if (UnplugsAt(configWrites_, options_.unplugAtWrite))
            return;
        const int block = request - IGN_WRITE_MEMORY - 1;
        {
            std::lock_guard lock(mutex_);
            for (int i = 0; i < n && block * n + i < RS_LEN_EXE && !options_.ignoreWrites; ++i)
                config_[static_cast<size_t>(block * n + i)] = data[i];
        }
        StartStoring();
        answerData.assign(data, data + n);
    } else if (request < IGN_READ) {
        const int block = request - IGN_MONITOR;
        {
            std::lock_guard lock(mutex_);
            for (int i = 0; i < n && block * n + i < MONITOR_BLOCK_LEN; ++i)
                monitorRequest_[static_cast<size_t>(block * n + i)] = data[i];
        }
        const auto monitor = MonitorBlock();
        answerData = IgnBlock(monitor.data(), MONITOR_BLOCK_LEN, block);
        const bool identify = std::all_of(data, data + n, [](uint8_t b) { return b == 0; });
        // The unit's type code sits where the identity is read: the last data byte of block 0
        // (and the one before it for codes above 255), or the big-endian word at the start for IGN300.
        if (block == 0 && info_->hasTail) {
            answerData[static_cast<size_t>(n - 1)] = static_cast<uint8_t>(options_.unitType);
            if (options_.unitType > 255)
                answerData[static_cast<size_t>(n - 2)] = static_cast<uint8_t>(options_.unitType >> 8);
        } else if (block == 0 && identify) {
            answerData[1] = static_cast<uint8_t>(options_.unitType >> 8);
            answerData[2] = static_cast<uint8_t>(options_.unitType);
        }
    } else if (request == IGN_READ) {
        ++referenceReads_;
        {
            std::lock_guard lock(mutex_);
            answerData = IgnBlock(reference_.data(), REFERENCE_AREA_LEN, 0);
        }
        AlterRead(answerData.data(), answerData.size());
    } else {
        if (UnplugsAt(configReads_, options_.unplugAtRead))
            return;
        {
            std::lock_guard lock(mutex_);
            answerData = IgnBlock(config_.data(), RS_LEN_EXE, request - IGN_READ - 1);
        }
        AlterRead(answerData.data(), answerData.size());
    }
    std::vector<uint8_t> out(static_cast<size_t>(n) + 2);
    FrameCodec::BuildIgnFrame(out.data(), n, answer, 0, answerData.data(), 0);
    SendAnswer(std::move(out), false);
}

void UnitSim::WaitWireTime(size_t bytes) const
{
    // Ten bits a byte: start bit, eight data bits, stop bit.
    const auto us = static_cast<long long>(bytes) * 10 * 1000000 / LineBaudRequired();
    std::this_thread::sleep_for(std::chrono::microseconds(us));
}

void UnitSim::AlterRead(uint8_t* data, size_t length)
{
    int pending = alteredReads_.load();
    while (pending != 0 && !alteredReads_.compare_exchange_weak(pending, pending > 0 ? pending - 1 : pending)) { }
    if (pending == 0 || length == 0)
        return;
    // Never the same change twice in a row, so two altered reads of one block still disagree.
    ++alterations_;
    data[static_cast<size_t>(alterations_) % length] ^= static_cast<uint8_t>(alterations_ % 255 + 1);
}

void UnitSim::SetFaults(double dropShare, double corruptShare, uint32_t seed)
{
    dropShare_.store(dropShare);
    corruptShare_.store(corruptShare);
    reseed_.store(seed + 1);
}

void UnitSim::SendAnswer(std::vector<uint8_t> answer, bool wcomFrame)
{
    if (const uint32_t seed = reseed_.exchange(0))
        random_.seed(seed - 1);
    std::uniform_real_distribution<double> share(0.0, 1.0);
    const double dropDraw = share(random_);
    const double corruptDraw = share(random_);
    if (silent_ || dropDraw < dropShare_.load())
        return;
    if (corruptDraw < corruptShare_.load())
        answer.back() ^= wcomFrame ? 0x5A : 0x01;
    // The delay's draw is taken only when delays are shared out, so the drop and corruption
    // patterns of a seed stay as they were.
    const int delay = delayMs_.load();
    if (delay > 0 && (options_.delayShare >= 1 || share(random_) < options_.delayShare))
        std::this_thread::sleep_for(std::chrono::milliseconds(delay));
    if (options_.paced)
        WaitWireTime(answer.size());
    line_->Write(answer.data(), answer.size());
    bytesOut_ += static_cast<int64_t>(answer.size());
    if (++answered_ == options_.silentAfterAnswers)
        silent_.store(true);
}
