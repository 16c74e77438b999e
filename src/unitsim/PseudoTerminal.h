#pragma once

#include "unitsim/UnitLine.h"

#include <cstddef>
#include <cstdint>
#include <string>

// The master side of a pseudo-terminal (Unix only). The slave device (/dev/pts/N) is what a
// program opens as its serial port; closing the master makes the device vanish, like unplugging a
// USB adapter. It is the unit's line whenever a test or a user needs a real serial device.
// The number N stays taken until this object goes or opens again: a program that still names the
// vanished device must find nothing there, never another process's new pseudo-terminal that the
// system gave the freed number.
class PseudoTerminal : public UnitLine {
public:
    PseudoTerminal() = default;
    ~PseudoTerminal() override;
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // Opens a new pseudo-terminal in raw mode; false with a message on failure.
    bool Open(std::string* error = nullptr);
    // Makes the device vanish; its number stays taken (see above).
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
    // Keeps the line up while the program has the slave closed, and the number taken after Close.
    int slaveKeeper_ = -1;
    void ReleaseNumber();
    std::string slavePath_;
};
