#include "app/TickClock.h"

std::atomic<int32_t> TickMs{0};
