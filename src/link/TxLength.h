#pragma once

#include "link/Doorbell.h"

#include <atomic>
#include <cstdint>

// The transmit length of a port record: an atomic count that rings the port's I/O thread awake
// whenever a sender hands bytes over (a non-zero store), so that the thread can sleep until then
// and a sender need not know about it.
class TxLength {
public:
    explicit TxLength(Doorbell& bell)
        : bell_(bell)
    {
    }
    TxLength(const TxLength&) = delete;
    TxLength& operator=(const TxLength&) = delete;

    uint32_t load(std::memory_order order = std::memory_order_seq_cst) const { return value_.load(order); }
    void store(uint32_t value, std::memory_order order = std::memory_order_seq_cst)
    {
        value_.store(value, order);
        if (value)
            bell_.Ring();
    }
    TxLength& operator=(uint32_t value)
    {
        store(value);
        return *this;
    }
    operator uint32_t() const { return load(); }

private:
    std::atomic<uint32_t> value_ { 0 };
    Doorbell& bell_;
};
