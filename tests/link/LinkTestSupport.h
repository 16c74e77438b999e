#pragma once

#include "base/TickClock.h"

#include <QThread>

#include <chrono>
#include <functional>

// Waits in real time (the I/O threads work in real time) while calling step, until done holds or
// the limit passes. TickMs is left alone unless step advances it.
inline bool PumpUntil(const std::function<bool()>& done, const std::function<void()>& step = {}, int limitMs = 3000)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (std::chrono::steady_clock::now() < end) {
        if (step)
            step();
        if (done())
            return true;
        QThread::msleep(2);
    }
    return done();
}
