#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

// A byte queue between exactly two threads, one that pushes and one that pops, without locks:
// the bytes are in place before the write index that publishes them is stored (release), and a
// slot is reused only after the read index that frees it has been loaded (acquire). One slot stays
// empty so that a full queue never looks empty.
class ByteQueue {
public:
    explicit ByteQueue(size_t capacity);
    ByteQueue(const ByteQueue&) = delete;
    ByteQueue& operator=(const ByteQueue&) = delete;

    size_t Capacity() const { return slots_.size() - 1; }

    // Producer: stores as many of the bytes as fit and returns their count.
    size_t Push(const uint8_t* data, size_t count);
    // Consumer: takes at most count bytes and returns their count.
    size_t Pop(uint8_t* into, size_t count);
    // Consumer: the number of bytes waiting.
    size_t Waiting() const;
    // Consumer: drops every byte waiting.
    void Discard();

private:
    std::vector<uint8_t> slots_;
    std::atomic<size_t> read_ { 0 };
    std::atomic<size_t> write_ { 0 };
};
