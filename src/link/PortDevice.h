#pragma once

#include "link/PortOpenFailure.h"

#include <cstdint>

class Doorbell;

// What a port's I/O thread moves bytes through: a serial device of the system or an in-process
// line (PortChannel). Everything above the I/O thread sees only the port record, so it cannot
// tell the two apart. A device is created, used and destroyed on its I/O thread.
class PortDevice {
public:
    virtual ~PortDevice() = default;

    // Opens at baud with 8 data bits, no parity and one stop bit; the line starts empty.
    virtual bool Open(uint32_t baud) = 0;
    // Why the last Open failed; a device that cannot tell says OTHER.
    virtual PortOpenFailure OpenFailure() const { return { PortFailureCause::OTHER, {}, {}, {} }; }
    // Discards what waits in both directions and closes.
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // The pause of a pass while open: sleeps until bytes arrive, the device is lost, the port's
    // bell rings (a hand-over, a command, the link's stop) or ms pass (-1: no limit).
    virtual void WaitForWork(Doorbell& bell, int ms) = 0;
    // Writes the bytes in one call that blocks for at most the write time-out.
    virtual void Write(const uint8_t* data, uint32_t length) = 0;
    // The number of bytes waiting to be read; reads never wait for more.
    virtual int64_t BytesWaiting() = 0;
    virtual int64_t Read(uint8_t* into, int64_t count) = 0;
    // True once the device has vanished while open (an adapter pulled, a device stopped).
    virtual bool Lost() = 0;

    static constexpr int WRITE_TIMEOUT_MS = 100;
};
