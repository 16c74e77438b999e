#include "base/TickClock.h"

std::atomic<int32_t> TickMs{0};
