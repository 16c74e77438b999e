#pragma once

#include "link/Doorbell.h"
#include "link/PortOpenFailure.h"
#include "link/TxLength.h"

#include <atomic>
#include <cstdint>
#include <string>

class PortIoThread;

constexpr int PORT_COUNT = 256;
constexpr uint32_t PORT_BUFFER_LEN = 330;
// The fastest line rate a port is asked to open at (a rate from the command line or the settings).
constexpr uint32_t FASTEST_BAUD = 4000000;

// PortState of a port record.
enum PortState : uint8_t { PORT_CLOSED = 0, PORT_OPENING = 16, PORT_OPEN = 32, PORT_CLOSING = 48 };

// Error of a port record. PORT_ERROR_LOST is ours: the device vanished while the port was open
// (a USB adapter pulled, a pseudo-terminal closed), and the I/O thread closed the port.
enum PortError : uint8_t {
    PORT_ERROR_NONE = 0,
    PORT_ERROR_OPEN = 1,
    PORT_ERROR_OPEN_TIMEOUT = 2,
    PORT_ERROR_THREAD = 3,
    PORT_ERROR_LOST = 4,
};

enum PortRequest : uint8_t { REQUEST_OPEN = 1, REQUEST_CLOSE = 2 };
enum ThreadCommand : uint8_t { COMMAND_NONE = 0, COMMAND_OPEN = 1, COMMAND_CLOSE = 2 };
enum ThreadState : uint8_t { THREAD_NONE = 0, THREAD_RUNNING = 1, THREAD_FINISHED = 2 };

// One serial port. Fields shared between threads are atomics: the user-interface thread owns the
// requests, the port's I/O thread the state, a sender the transmit buffer up to txLength and the
// parser the read index. Bytes are always in place before the length or index that publishes them
// is stored (release), and read only after that length or index is loaded (acquire).
struct PortRecord {
    uint8_t portNumber = 0;
    std::string deviceName; // "COM%i"
    char lineMode[20] = {}; // "%i,N,8,1", written before the open command
    std::atomic<uint8_t> state { PORT_CLOSED };
    std::atomic<uint8_t> error { PORT_ERROR_NONE };
    // Why the last open failed: written by the I/O thread before it stores PORT_ERROR_OPEN, read
    // only after that error is seen.
    PortOpenFailure openFailure;
    std::atomic<uint32_t> baud { 115200 };
    uint32_t present = 0;
    PortIoThread* ioThread = nullptr;
    std::atomic<uint8_t> threadState { THREAD_NONE };
    uint8_t requestFlags = 0;
    std::atomic<uint8_t> threadCommand { COMMAND_NONE };
    int32_t requestTime = 0;

    // Wakes the port's I/O thread: a sender's hand-over, a command, the link's stop.
    Doorbell bell;
    uint8_t txBuffer[PORT_BUFFER_LEN] = {};
    TxLength txLength { bell };
    uint8_t rxRing[PORT_BUFFER_LEN] = {};
    std::atomic<uint32_t> rxRead { 0 };
    std::atomic<uint32_t> rxWrite { 0 };
    // Rung by the I/O thread whenever it publishes received bytes, frees the transmit buffer or
    // closes the port: the transfer worker listens on the connected port this way instead of
    // polling it. Null when nobody listens.
    std::atomic<Doorbell*> listener { nullptr };

    void RingListener() const
    {
        if (Doorbell* l = listener.load(std::memory_order_acquire))
            l->Ring();
    }

    // Free space of the receive ring as two parts (at rxWrite, and at the ring start), keeping one
    // byte always free so that a full ring never looks empty.
    static void FreeParts(uint32_t read, uint32_t write, uint32_t& first, uint32_t& second)
    {
        if (write >= read) {
            first = PORT_BUFFER_LEN - write;
            second = read;
        } else {
            first = read - write;
            second = 0;
        }
        if (second)
            --second;
        else if (first)
            --first;
    }

    // Producer side of the ring, for whoever plays the line in place of an I/O thread (tests, an
    // in-process line): stores up to count bytes, publishes them and rings the listener; returns
    // how many fitted.
    uint32_t PushReceived(const uint8_t* data, uint32_t count);
    // Consumer side: takes one byte if one is pending.
    bool PopReceived(uint8_t& byte);
    // Discards every pending byte.
    void DiscardReceived() { rxRead.store(rxWrite.load(std::memory_order_acquire), std::memory_order_release); }
};
