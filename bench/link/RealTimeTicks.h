#pragma once

#include "base/TickClock.h"

#include <chrono>
#include <cstdint>

// The main window's clock in real time: the tick clock follows a 55 ms timer, and the connection
// routine is due on every second tick.
class RealTimeTicks {
public:
    // Moves the tick clock on to now; true when a new connection pass is due.
    bool PassDue()
    {
        const auto ms
            = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_).count();
        const int tick = int(ms / 55);
        TickMs = origin_ + tick * MS_PER_TICK;
        if (tick / 2 == lastPass_)
            return false;
        lastPass_ = tick / 2;
        return true;
    }

private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    int32_t origin_ = TickMs.load();
    int lastPass_ = -1;
};
