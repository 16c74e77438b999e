#pragma once

#include "link/PortDevice.h"

#include <memory>

class PortChannel;

// The port end of an in-process line (PortChannel), opened as if it were a serial device.
class ChannelPortDevice : public PortDevice {
public:
    explicit ChannelPortDevice(std::shared_ptr<PortChannel> channel);
    ~ChannelPortDevice() override;

    bool Open(uint32_t baud) override;
    void Close() override;
    bool IsOpen() const override { return open_; }
    void WaitForWork(Doorbell& bell, int ms) override;
    void Write(const uint8_t* data, uint32_t length) override;
    int64_t BytesWaiting() override;
    int64_t Read(uint8_t* into, int64_t count) override;
    bool Lost() override;

private:
    std::shared_ptr<PortChannel> channel_;
    bool open_ = false;
};
