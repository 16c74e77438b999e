#include "unitsim/ChannelUnitLine.h"

#include "link/PortChannel.h"

ChannelUnitLine::ChannelUnitLine(std::shared_ptr<PortChannel> channel)
    : channel_(std::move(channel))
{
    channel_->AttachDevice();
}

ChannelUnitLine::~ChannelUnitLine() { Close(); }

long ChannelUnitLine::Read(uint8_t* buffer, size_t size, int timeoutMs)
{
    if (closed_)
        return -1;
    channel_->DeviceWait(timeoutMs);
    return static_cast<long>(channel_->DeviceRead(buffer, size));
}

bool ChannelUnitLine::Write(const uint8_t* data, size_t size)
{
    if (closed_)
        return false;
    channel_->DeviceWrite(data, size);
    return true;
}

uint32_t ChannelUnitLine::LineBaud() const { return channel_->LineBaud(); }

const std::string& ChannelUnitLine::DevicePath() const { return channel_->Name(); }

void ChannelUnitLine::Close()
{
    // Once only: a later line may have attached a new device to the same channel.
    if (!closed_)
        channel_->DetachDevice();
    closed_ = true;
}
