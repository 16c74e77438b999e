#pragma once

#include "unitsim/UnitLine.h"

#include <memory>

class PortChannel;

// The unit on the device end of an in-process line: the line is present from construction until
// Close, and reports the rate the program's port was opened at.
class ChannelUnitLine : public UnitLine {
public:
    explicit ChannelUnitLine(std::shared_ptr<PortChannel> channel);
    ~ChannelUnitLine() override;

    long Read(uint8_t* buffer, size_t size, int timeoutMs) override;
    bool Write(const uint8_t* data, size_t size) override;
    uint32_t LineBaud() const override;
    const std::string& DevicePath() const override;
    void Close() override;

private:
    std::shared_ptr<PortChannel> channel_;
    bool closed_ = false;
};
