#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

// The main-timer clock of the command-line tool. TickMs is one clock for the whole process, so the
// sessions of one run share it: whichever session's thread notices that a timer interval of real
// time has passed moves the clock on by one tick. As with the window's timer, a tick that comes
// late is not made up for: after a stall the clock moves on by one tick only, so a busy machine
// does not turn into answer time-outs.
class CliTicker {
public:
    static constexpr int REAL_MS_PER_TICK = 55;

    CliTicker();
    CliTicker(const CliTicker&) = delete;
    CliTicker& operator=(const CliTicker&) = delete;

    // Moves the clock on when a tick is due; returns the number of ticks since the start (0 first).
    int Advance();

private:
    using Clock = std::chrono::steady_clock;

    static constexpr int64_t INTERVAL_NS = int64_t { REAL_MS_PER_TICK } * 1000000;
    static int64_t NowNs();

    const int32_t origin_;
    std::atomic<int64_t> lastTickNs_; // the first call finds a tick due
    std::atomic<int> tick_ { -1 };
};
