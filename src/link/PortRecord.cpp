#include "link/PortRecord.h"

#include <algorithm>
#include <cstring>

uint32_t PortRecord::PushReceived(const uint8_t* data, uint32_t count)
{
    uint32_t write = rxWrite.load(std::memory_order_relaxed);
    uint32_t first = 0;
    uint32_t second = 0;
    FreeParts(rxRead.load(std::memory_order_acquire), write, first, second);
    const uint32_t a = std::min(count, first);
    std::memcpy(rxRing + write, data, a);
    write = (write + a) % PORT_BUFFER_LEN;
    const uint32_t b = std::min(count - a, second);
    std::memcpy(rxRing + write, data + a, b);
    write = (write + b) % PORT_BUFFER_LEN;
    rxWrite.store(write, std::memory_order_release);
    RingListener();
    return a + b;
}

bool PortRecord::PopReceived(uint8_t& byte)
{
    const uint32_t read = rxRead.load(std::memory_order_relaxed);
    if (read == rxWrite.load(std::memory_order_acquire))
        return false;
    byte = rxRing[read];
    rxRead.store((read + 1) % PORT_BUFFER_LEN, std::memory_order_release);
    return true;
}
