#include "link/ChannelPortDevice.h"

#include "link/PortChannel.h"

#include <QThread>

#include <chrono>

ChannelPortDevice::ChannelPortDevice(std::shared_ptr<PortChannel> channel)
    : channel_(std::move(channel))
{
}

ChannelPortDevice::~ChannelPortDevice()
{
    if (open_)
        Close();
}

bool ChannelPortDevice::Open(uint32_t baud)
{
    open_ = channel_ && channel_->OpenPort(baud);
    return open_;
}

void ChannelPortDevice::Close()
{
    channel_->ClosePort();
    open_ = false;
}

void ChannelPortDevice::WaitForWork(Doorbell& bell, int ms) { channel_->PortWait(ms, &bell); }

void ChannelPortDevice::Write(const uint8_t* data, uint32_t length)
{
    // A device that reads slowly (one that takes each byte's wire time) makes room as it goes;
    // what does not fit within the write time-out is not sent, as with a serial driver.
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(WRITE_TIMEOUT_MS);
    uint32_t sent = static_cast<uint32_t>(channel_->PortWrite(data, length));
    while (sent < length && channel_->DeviceAttached() && std::chrono::steady_clock::now() < end) {
        QThread::msleep(1);
        sent += static_cast<uint32_t>(channel_->PortWrite(data + sent, length - sent));
    }
}

int64_t ChannelPortDevice::BytesWaiting() { return static_cast<int64_t>(channel_->PortWaiting()); }

int64_t ChannelPortDevice::Read(uint8_t* into, int64_t count)
{
    return static_cast<int64_t>(channel_->PortRead(into, static_cast<size_t>(count)));
}

bool ChannelPortDevice::Lost() { return !channel_->DeviceAttached(); }
