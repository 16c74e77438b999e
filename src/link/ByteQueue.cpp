#include "link/ByteQueue.h"

#include <algorithm>

ByteQueue::ByteQueue(size_t capacity)
    : slots_(capacity + 1)
{
}

size_t ByteQueue::Push(const uint8_t* data, size_t count)
{
    const size_t size = slots_.size();
    const size_t write = write_.load(std::memory_order_relaxed);
    const size_t read = read_.load(std::memory_order_acquire);
    const size_t stored = std::min(count, (read + size - write - 1) % size);
    const size_t first = std::min(stored, size - write);
    std::copy(data, data + first, slots_.begin() + static_cast<std::ptrdiff_t>(write));
    std::copy(data + first, data + stored, slots_.begin());
    write_.store((write + stored) % size, std::memory_order_release);
    return stored;
}

size_t ByteQueue::Pop(uint8_t* into, size_t count)
{
    const size_t size = slots_.size();
    const size_t read = read_.load(std::memory_order_relaxed);
    const size_t write = write_.load(std::memory_order_acquire);
    const size_t taken = std::min(count, (write + size - read) % size);
    const size_t first = std::min(taken, size - read);
    const auto from = slots_.begin() + static_cast<std::ptrdiff_t>(read);
    std::copy(from, from + static_cast<std::ptrdiff_t>(first), into);
    std::copy(slots_.begin(), slots_.begin() + static_cast<std::ptrdiff_t>(taken - first), into + first);
    read_.store((read + taken) % size, std::memory_order_release);
    return taken;
}

size_t ByteQueue::Waiting() const
{
    const size_t size = slots_.size();
    return (write_.load(std::memory_order_acquire) + size - read_.load(std::memory_order_relaxed)) % size;
}

void ByteQueue::Discard() { read_.store(write_.load(std::memory_order_acquire), std::memory_order_release); }
