#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The simulated unit's end of its line to the program: the master side of a pseudo-terminal, or
// the device end of an in-process line. The unit reads requests and writes answers through it
// from its own thread.
class UnitLine {
public:
    virtual ~UnitLine() = default;

    // Waits up to timeoutMs for bytes and reads what is there; returns the count, 0 on time-out,
    // -1 when the line is gone.
    virtual long Read(uint8_t* buffer, size_t size, int timeoutMs) = 0;
    virtual bool Write(const uint8_t* data, size_t size) = 0;
    // The baud rate the program has set on its end (0 when unknown).
    virtual uint32_t LineBaud() const = 0;
    // What the program opens as its serial port ("/dev/pts/3", "inproc:demo").
    virtual const std::string& DevicePath() const = 0;
    // Ends the line: the program's port sees its device vanish.
    virtual void Close() = 0;
};
