#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The master side of a pseudo-terminal. The slave device (/dev/pts/N) is what a program opens as
// its serial port; closing the master makes the device vanish, like unplugging a USB adapter.
class PseudoTerminal {
public:
    PseudoTerminal() = default;
    ~PseudoTerminal() { Close(); }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // Opens a new pseudo-terminal in raw mode; false with a message on failure.
    bool Open(std::string* error = nullptr);
    void Close();
    bool IsOpen() const { return master_ >= 0; }
    const std::string& SlavePath() const { return slavePath_; }
    int MasterFd() const { return master_; }

    // Waits up to timeoutMs for bytes and reads what is there; returns the count, 0 on time-out,
    // -1 when the line is gone.
    long Read(uint8_t* buffer, size_t size, int timeoutMs);
    bool Write(const uint8_t* data, size_t size);
    // The baud rate the program on the slave side has set (0 when unknown).
    uint32_t LineBaud() const;

private:
    int master_ = -1;
    int slaveKeeper_ = -1; // keeps the line up while the program has the slave closed
    std::string slavePath_;
};
