#pragma once

#include "link/ByteQueue.h"
#include "link/Doorbell.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>

// A serial line inside the program, to a device that runs in the same process (the simulated
// unit), so that no pseudo-terminal or device driver is needed. The port layer opens its port end
// as it opens a serial device, under the device-like name "inproc:<label>" that a port map gives a
// COM number; the device serves the other end from its own thread. The line carries the rate the
// port was opened at, because a device hears requests sent at another rate only as noise.
//
// Each direction is a ByteQueue with one producer and one consumer: the port's I/O thread on one
// side, the device's thread on the other. Their sizes are those of a serial driver's queues.
// Nothing is locked; each end has a doorbell that the other end rings after it has moved bytes
// (or, for the port end, when the device goes), so a waiting end sleeps until there is something
// to read, as a thread waiting on a serial driver does.
class PortChannel {
public:
    static constexpr const char* NAME_PREFIX = "inproc:";
    static constexpr size_t TO_PORT_BYTES = 10000;
    static constexpr size_t TO_DEVICE_BYTES = 1024;

    explicit PortChannel(const std::string& label);
    PortChannel(const PortChannel&) = delete;
    PortChannel& operator=(const PortChannel&) = delete;

    // "inproc:<label>", the device path the port layer knows the line by.
    const std::string& Name() const { return name_; }
    // A label names the line inside a port map entry: not empty, no separators, no '='.
    static bool ValidLabel(const std::string& label);

    // The device end. A line without a device is absent, as an unplugged adapter is.
    void AttachDevice();
    void DetachDevice();
    bool DeviceAttached() const { return deviceAttached_.load(std::memory_order_acquire); }
    size_t DeviceRead(uint8_t* into, size_t size);
    // Waits at most ms for bytes to arrive at the device end; false on time-out.
    bool DeviceWait(int ms);
    // Bytes sent while the port is closed are lost on the line, as on a real wire; bytes beyond
    // the free space of the port's queue are lost as in a receive overrun.
    size_t DeviceWrite(const uint8_t* data, size_t size);
    // The rate of the port's last open (0 before the first).
    uint32_t LineBaud() const { return lineBaud_.load(std::memory_order_acquire); }

    // The port end, used by one port's I/O thread at a time. Opening fails while no device is
    // attached or while the port end is open already.
    bool OpenPort(uint32_t baud);
    void ClosePort();
    bool PortOpen() const { return portOpen_.load(std::memory_order_acquire); }
    size_t PortWrite(const uint8_t* data, size_t size);
    size_t PortWaiting() const { return toPort_.Waiting(); }
    size_t PortRead(uint8_t* into, size_t size);
    // Waits at most ms for bytes to arrive at the port end or the device to go; with also, returns
    // as well when that bell rings (the port's own work). False when nothing arrived.
    bool PortWait(int ms, Doorbell* also = nullptr);

private:
    using Clock = std::chrono::steady_clock;
    static bool WaitFor(const ByteQueue& queue, int ms, Doorbell& mine, Doorbell* also);

    std::string name_;
    ByteQueue toPort_ { TO_PORT_BYTES };
    ByteQueue toDevice_ { TO_DEVICE_BYTES };
    std::atomic<bool> deviceAttached_ { false };
    std::atomic<bool> portOpen_ { false };
    std::atomic<uint32_t> lineBaud_ { 0 };
    // Rung for the port end by the device, and for the device end by the port.
    Doorbell portBell_;
    Doorbell deviceBell_;
};
