#include "link/PortChannel.h"

#include <algorithm>
#include <thread>

namespace {

// Polling pauses: the first after bytes have moved, and the longest, reached by doubling.
constexpr std::chrono::steady_clock::duration FIRST_STEP = std::chrono::microseconds(50);
constexpr std::chrono::steady_clock::duration LONGEST_STEP = std::chrono::milliseconds(1);

} // namespace

PortChannel::PortChannel(const std::string& label)
    : name_(NAME_PREFIX + label)
{
}

bool PortChannel::ValidLabel(const std::string& label)
{
    return !label.empty() && std::none_of(label.begin(), label.end(), [](char c) {
        return c == '=' || c == ',' || c == ';' || c == ' ' || c == '\t' || c == '\n' || c == '\r';
    });
}

void PortChannel::AttachDevice()
{
    // What the port sent while no device listened never reaches the new one.
    toDevice_.Discard();
    deviceAttached_.store(true, std::memory_order_release);
}

void PortChannel::DetachDevice() { deviceAttached_.store(false, std::memory_order_release); }

size_t PortChannel::DeviceRead(uint8_t* into, size_t size)
{
    const size_t n = toDevice_.Pop(into, size);
    if (n)
        deviceStep_ = FIRST_STEP;
    return n;
}

size_t PortChannel::DeviceWrite(const uint8_t* data, size_t size)
{
    if (!PortOpen())
        return 0;
    deviceStep_ = FIRST_STEP;
    return toPort_.Push(data, size);
}

bool PortChannel::DeviceWait(int ms) { return WaitFor(toDevice_, ms, deviceStep_, {}); }

bool PortChannel::OpenPort(uint32_t baud)
{
    if (!DeviceAttached())
        return false;
    bool wasOpen = false;
    if (!portOpen_.compare_exchange_strong(wasOpen, true, std::memory_order_acq_rel))
        return false;
    // The rate is stored before any byte the port sends, so the device reads it with the bytes.
    lineBaud_.store(baud, std::memory_order_release);
    toPort_.Discard();
    return true;
}

void PortChannel::ClosePort()
{
    portOpen_.store(false, std::memory_order_release);
    toPort_.Discard();
}

size_t PortChannel::PortWrite(const uint8_t* data, size_t size)
{
    if (!DeviceAttached())
        return 0;
    portStep_ = FIRST_STEP;
    return toDevice_.Push(data, size);
}

size_t PortChannel::PortRead(uint8_t* into, size_t size)
{
    const size_t n = toPort_.Pop(into, size);
    if (n)
        portStep_ = FIRST_STEP;
    return n;
}

bool PortChannel::PortWait(int ms, const std::function<bool()>& wake) { return WaitFor(toPort_, ms, portStep_, wake); }

bool PortChannel::WaitFor(const ByteQueue& queue, int ms, Clock::duration& step, const std::function<bool()>& wake)
{
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (!queue.Waiting() && !(wake && wake())) {
        const auto now = Clock::now();
        if (now >= end)
            return false;
        step = std::clamp(step, FIRST_STEP, LONGEST_STEP);
        std::this_thread::sleep_for(std::min<Clock::duration>(step, end - now));
        step *= 2;
    }
    return true;
}
