#pragma once

#include <atomic>
#include <cstdint>

// The program-wide millisecond clock: main-timer ticks x 50. Every link and update-check time
// stamp is taken from it. The user-interface thread advances it; other threads only read it.
extern std::atomic<int32_t> TickMs;

constexpr int TIMER_INTERVAL_MS = 55;
constexpr int MS_PER_TICK = 50;
