#include "monitor/MonitorRequest.h"

#include "model/ImageLayout.h"

namespace {

struct ButtonBit {
    int byte; // 0 ignition, 1 outputs, 2 servo
    int bit;
};

constexpr ButtonBit kButtons[] = {
    {0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}, // ignitions 1..4, dwell calibration
    {1, 0}, {1, 1}, {1, 2}, {1, 3}, {1, 4}, // power out 1, 2, rpm, power out 3, 4
    {2, 0}, {2, 1},                         // servo plus, minus
};

constexpr int TEST_BYTES_AT = 20;
constexpr int SEQUENCE_AT = 87;

} // namespace

void MonitorRequest::Press(TestButton button)
{
    const ButtonBit& b = kButtons[button];
    pending_[static_cast<size_t>(b.byte)] |= static_cast<uint8_t>(1u << b.bit);
    calibrationSteps_ = button == ButtonCalibDwell ? 2 : 0;
}

std::array<uint8_t, MonitorRequest::LENGTH> MonitorRequest::Build()
{
    std::array<uint8_t, LENGTH> r{};
    for (size_t i = 0; i < pending_.size(); ++i)
        r[TEST_BYTES_AT + i] = pending_[i];
    pending_.fill(0);
    if (calibrationSteps_ == 2) {
        r[SEQUENCE_AT] = 0xA5;
        r[SEQUENCE_AT + 1] = 0x5A;
        --calibrationSteps_;
    } else if (calibrationSteps_ == 1) {
        r[SEQUENCE_AT] = 0x2C;
        r[SEQUENCE_AT + 1] = 0xC2;
        --calibrationSteps_;
    }
    r[98] = 0;
    r[99] = PROGRAM_KEY;
    return r;
}
