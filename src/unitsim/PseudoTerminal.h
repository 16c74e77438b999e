#pragma once

#include "unitsim/UnitLine.h"

#include <cstddef>
#include <cstdint>
#include <string>

// The master side of a pseudo-terminal (Unix only). The slave device (/dev/pts/N) is what a
// program opens as its serial port; closing the master makes the device vanish, like unplugging a
// USB adapter. It is the unit's line whenever a test or a user needs a real serial device.
class PseudoTerminal : public UnitLine {
public:
    PseudoTerminal() = default;
    ~PseudoTerminal() override { PseudoTerminal::Close(); }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // Opens a new pseudo-terminal in raw mode; false with a message on failure.
    bool Open(std::string* error = nullptr);
    void Close() override;
    bool IsOpen() const { return master_ >= 0; }
    const std::string& SlavePath() const { return slavePath_; }
    const std::string& DevicePath() const override { return slavePath_; }
    int MasterFd() const { return master_; }

    long Read(uint8_t* buffer, size_t size, int timeoutMs) override;
    bool Write(const uint8_t* data, size_t size) override;
    // The baud rate the program on the slave side has set (0 when unknown).
    uint32_t LineBaud() const override;

private:
    int master_ = -1;
    int slaveKeeper_ = -1; // keeps the line up while the program has the slave closed
    std::string slavePath_;
};
