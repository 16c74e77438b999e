#include "link/PortIoThread.h"

#include "base/TickClock.h"
#include "base/Trace.h"
#include "link/PortRecord.h"
#include "link/ChannelPortDevice.h"
#include "link/SerialPortDevice.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

std::atomic<int> transmissionCounter { 0 };

// Every wake has a cause that rings the bell or reaches the device's descriptor; the rare wake
// without one only bounds what an unforeseen silence of the device could cost.
constexpr int SAFETY_WAKE_MS = 500;
constexpr int POLL_MS = 1;

} // namespace

PortIoThread::PortIoThread(
    PortRecord& com, QString devicePath, std::shared_ptr<PortChannel> channel, const std::atomic<int>& linkStop)
    : com_(com)
    , devicePath_(std::move(devicePath))
    , channel_(std::move(channel))
    , linkStop_(linkStop)
{
}

std::unique_ptr<PortDevice> PortIoThread::MakeDevice() const
{
    if (channel_)
        return std::make_unique<ChannelPortDevice>(channel_);
    return std::make_unique<SerialPortDevice>(devicePath_);
}

void PortIoThread::run()
{
    // Made here, so that a QSerialPort belongs to this thread.
    const std::unique_ptr<PortDevice> device = MakeDevice();
    while (!linkStop_.load(std::memory_order_acquire)) {
        if (com_.threadState.load(std::memory_order_acquire) == THREAD_RUNNING && !Pass(*device))
            break;
        Sleep(*device);
    }
    if (device->IsOpen())
        device->Close();
    com_.threadState.store(THREAD_FINISHED, std::memory_order_release);
}

bool PortIoThread::Pass(PortDevice& device)
{
    const uint8_t command = com_.threadCommand.load(std::memory_order_acquire);
    const uint8_t state = com_.state.load(std::memory_order_acquire);
    if (state == PORT_CLOSED && command == COMMAND_OPEN && !Open(device))
        return false;
    if (state == PORT_OPEN && command == COMMAND_CLOSE) {
        Close(device);
        return false;
    }
    if (com_.state.load(std::memory_order_acquire) != PORT_OPEN)
        return true;
    Write(device);
    Read(device);
    if (device.Lost()) {
        TraceLinef("\n[%i:TMR=%i]LOST %s\n", com_.portNumber, TickMs.load(), com_.deviceName.c_str());
        com_.error.store(PORT_ERROR_LOST, std::memory_order_release);
        Close(device);
        return false;
    }
    return true;
}

bool PortIoThread::WaitsForRoom(PortDevice& device) const
{
    uint32_t first = 0;
    uint32_t second = 0;
    PortRecord::FreeParts(
        com_.rxRead.load(std::memory_order_acquire), com_.rxWrite.load(std::memory_order_relaxed), first, second);
    return first + second == 0 && device.BytesWaiting() > 0;
}

void PortIoThread::Sleep(PortDevice& device)
{
    // A full ring is emptied by a consumer that rings no bell, so the thread looks again soon;
    // so it does when the port has no bell (no descriptor was left for it).
    const bool poll = com_.bell.Fd() < 0 || (device.IsOpen() && WaitsForRoom(device));
    const int ms = poll ? POLL_MS : SAFETY_WAKE_MS;
    if (device.IsOpen())
        device.WaitForWork(com_.bell, ms);
    else
        com_.bell.Wait(-1, ms);
}

bool PortIoThread::Open(PortDevice& device)
{
    TraceLinef("\n[%i:TMR=%i]OPEN %s (%s)\n", com_.portNumber, TickMs.load(), com_.deviceName.c_str(), com_.lineMode);
    com_.state.store(PORT_OPENING, std::memory_order_release);
    if (!device.Open(com_.baud.load(std::memory_order_acquire))) {
        com_.openFailure = device.OpenFailure();
        if (com_.openFailure.device.empty())
            com_.openFailure.device = devicePath_.toStdString();
        com_.threadCommand.store(COMMAND_NONE, std::memory_order_release);
        com_.error.store(PORT_ERROR_OPEN, std::memory_order_release);
        com_.state.store(PORT_CLOSED, std::memory_order_release);
        return false;
    }
    com_.rxRead.store(0, std::memory_order_relaxed);
    com_.rxWrite.store(0, std::memory_order_release);
    // Bytes a sender left behind when the port was last lost or closed never reach the new line.
    com_.txLength.store(0, std::memory_order_release);
    com_.threadCommand.store(COMMAND_NONE, std::memory_order_release);
    com_.state.store(PORT_OPEN, std::memory_order_release);
    return true;
}

void PortIoThread::Close(PortDevice& device)
{
    TraceLinef("\n[%i:TMR=%i]CLOSE %s\n", com_.portNumber, TickMs.load(), com_.deviceName.c_str());
    com_.rxRead.store(0, std::memory_order_relaxed);
    com_.rxWrite.store(0, std::memory_order_release);
    com_.state.store(PORT_CLOSING, std::memory_order_release);
    device.Close();
    // The purge drops what a sender handed over but the line never carried, so a sender that
    // still holds this port finds the buffer free instead of waiting for a thread that is gone.
    com_.txLength.store(0, std::memory_order_release);
    com_.threadCommand.store(COMMAND_NONE, std::memory_order_release);
    com_.state.store(PORT_CLOSED, std::memory_order_release);
    com_.RingListener();
}

void PortIoThread::Write(PortDevice& device)
{
    const uint32_t length = com_.txLength.load(std::memory_order_acquire);
    if (!length)
        return;
    if (com_.txBuffer[0] != 0x30 && Trace::IsOpen()) {
        std::string line = "\n[" + std::to_string(com_.portNumber) + ":TMR=" + std::to_string(TickMs.load()) + "]TX "
            + std::to_string(transmissionCounter++) + ":\n";
        char hex[8];
        for (uint32_t i = 0; i < length; ++i) {
            std::snprintf(hex, sizeof hex, "%02x\t", com_.txBuffer[i]);
            line += hex;
        }
        TraceLine(line + "\n");
    }
    device.Write(com_.txBuffer, length);
    com_.txLength.store(0, std::memory_order_release);
    com_.RingListener();
}

void PortIoThread::Read(PortDevice& device)
{
    int64_t waiting = device.BytesWaiting();
    if (waiting <= 0)
        return;
    uint32_t write = com_.rxWrite.load(std::memory_order_relaxed);
    uint32_t first = 0;
    uint32_t second = 0;
    PortRecord::FreeParts(com_.rxRead.load(std::memory_order_acquire), write, first, second);
    const int64_t asked = std::min<int64_t>(waiting, first);
    const int64_t got = asked > 0 ? device.Read(com_.rxRing + write, asked) : 0;
    if (got <= 0)
        return;
    write = static_cast<uint32_t>((write + got) % PORT_BUFFER_LEN);
    com_.rxWrite.store(write, std::memory_order_release);
    if (got == asked) {
        waiting = device.BytesWaiting();
        const int64_t more = std::min<int64_t>(waiting, second);
        const int64_t got2 = more > 0 ? device.Read(com_.rxRing + write, more) : 0;
        if (got2 > 0)
            com_.rxWrite.store(static_cast<uint32_t>((write + got2) % PORT_BUFFER_LEN), std::memory_order_release);
    }
    com_.RingListener();
}
