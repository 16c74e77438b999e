#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The 100-byte request of a monitor exchange. Test buttons only set pending bits; each exchange
// carries them once and clears them. The dwell calibration adds a two-step key sequence.
class MonitorRequest {
public:
    static constexpr int LENGTH = 100;
    enum TestButton {
        ButtonTestIgn1, ButtonTestIgn2, ButtonTestIgn3, ButtonTestIgn4, ButtonCalibDwell,
        ButtonTest01, ButtonTest02, ButtonTestRpm, ButtonTest03, ButtonTest04,
        ButtonTestServoPlus, ButtonTestServoMinus
    };

    void Press(TestButton button);
    // Builds the next request and consumes the pending bits and one calibration step.
    std::array<uint8_t, LENGTH> Build();

    int calibrationSteps() const { return calibrationSteps_; }

private:
    std::array<uint8_t, 3> pending_{}; // ignition, output and servo test bytes (request bytes 20..22)
    int calibrationSteps_ = 0;
};
