#include "link/PortChannel.h"

#include <algorithm>

PortChannel::PortChannel(const std::string& label)
    : name_(NAME_PREFIX + label)
{
    portBell_.Open();
    deviceBell_.Open();
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

void PortChannel::DetachDevice()
{
    deviceAttached_.store(false, std::memory_order_release);
    portBell_.Ring();
}

size_t PortChannel::DeviceRead(uint8_t* into, size_t size) { return toDevice_.Pop(into, size); }

size_t PortChannel::DeviceWrite(const uint8_t* data, size_t size)
{
    if (!PortOpen())
        return 0;
    const size_t n = toPort_.Push(data, size);
    if (n)
        portBell_.Ring();
    return n;
}

bool PortChannel::DeviceWait(int ms) { return WaitFor(toDevice_, ms, deviceBell_, nullptr); }

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
    const size_t n = toDevice_.Push(data, size);
    if (n)
        deviceBell_.Ring();
    return n;
}

size_t PortChannel::PortRead(uint8_t* into, size_t size) { return toPort_.Pop(into, size); }

bool PortChannel::PortWait(int ms, Doorbell* also) { return WaitFor(toPort_, ms, portBell_, also); }

bool PortChannel::WaitFor(const ByteQueue& queue, int ms, Doorbell& mine, Doorbell* also)
{
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (!queue.Waiting()) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now()).count();
        if (left <= 0)
            return false;
        if (!also) {
            mine.Wait(-1, static_cast<int>(left));
            continue;
        }
        // Whatever woke the port end is for its thread to look at.
        if (also->Wait(mine.Fd(), static_cast<int>(left)))
            mine.Take();
        return queue.Waiting() > 0;
    }
    return true;
}
