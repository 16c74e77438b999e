#include "CliTicker.h"

#include "base/TickClock.h"

int64_t CliTicker::NowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

CliTicker::CliTicker()
    : origin_(TickMs.load())
    , lastTickNs_(NowNs() - INTERVAL_NS)
{
}

int CliTicker::Advance()
{
    const int64_t now = NowNs();
    int64_t last = lastTickNs_.load();
    // Of the threads that find the tick due, one moves the clock.
    if (now - last >= INTERVAL_NS && lastTickNs_.compare_exchange_strong(last, now)) {
        const int next = tick_.load() + 1;
        TickMs = origin_ + next * MS_PER_TICK;
        tick_.store(next);
    }
    return tick_.load();
}
