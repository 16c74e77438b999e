#pragma once

#include "link/PortRecord.h"
#include "link/PortDirectory.h"
#include "link/PortMap.h"

#include <array>
#include <atomic>
#include <functional>
#include <string>
#include <vector>

// The port table: one PortRecord record per COM number 0..255. It opens and closes ports on request
// (the requests are carried out by ServicePorts on the user-interface thread and by each port's
// PortIoThread) and keeps the set of present ports up to date.
class PortTable {
public:
    PortTable();
    ~PortTable();
    PortTable(const PortTable&) = delete;
    PortTable& operator=(const PortTable&) = delete;

    void OpenPort(int port, uint32_t baud);
    void ClosePort(int port);
    void CloseAllPorts();
    void ServicePorts();
    // Carries a request just made for one port out at once instead of on the next pass: a close
    // is commanded, an open gets its thread (also when it waited only for its close to finish).
    void ServicePortNow(int port);
    // Returns 1 when the set of present ports changed.
    int EnumeratePorts();

    // Mapped devices (command line, VORDAX4_PORTS) come first in the COM numbering.
    void SetPortMap(const PortMap& map);
    const PortMap& portMap() const { return portMap_; }
    // Replaces the system's device list (tests, and the CLI with only mapped ports).
    void SetDeviceLister(std::function<std::vector<SerialDevice>()> lister) { deviceLister_ = std::move(lister); }
    // The device path of COM n as of the last enumeration ("" when none).
    std::string DevicePath(int port) const;
    // "COM204 – /dev/ttyUSB0 – FT232R USB UART (FTDI, A50285BI)" as of the last enumeration.
    std::string PortLabel(int port) const { return directory_.Label(port); }
    // The COM number of a device path or of one of its links, as of the last enumeration; 0 when none.
    int FindDevice(const std::string& path) const { return directory_.Find(path); }

    // Why the port could not be opened the last time it was tried; NONE once it opened, and once
    // its device went. Kept on the user-interface thread, so the COM menu and a listing can show it.
    const PortOpenFailure& OpenFailure(int port) const { return failures_[static_cast<size_t>(port & 0xFF)]; }
    // Takes the reason of an open that has just failed (the record's error is PORT_ERROR_OPEN) as the
    // port's failure; returns true when it differs from the one known, so it is worth telling.
    bool NoteOpenFailure(int port);
    // The port opened: it has no failure any more.
    void ClearOpenFailure(int port);

    PortRecord& Port(int port) { return com_[static_cast<size_t>(port & 0xFF)]; }
    const PortRecord& Port(int port) const { return com_[static_cast<size_t>(port & 0xFF)]; }

    int portsEnumerated = 0;
    int portsChanged = 0;
    // Raised once shutdown has begun; every link thread of the table and of its owner polls it.
    std::atomic<int> linkStop { 0 };

    // Ends and joins every thread of the port table. An owner whose members the I/O threads use
    // (the engine's worker bell) calls it before those members go.
    void StopPortThreads();

private:
    bool DeviceExists(const std::string& path) const;
    void ServicePort(PortRecord& com, int32_t now);
    void ReleaseThread(PortRecord& com);

    std::array<PortRecord, PORT_COUNT> com_;
    int32_t lastEnumeration_ = -950;
    PortMap portMap_;
    PortDirectory directory_;
    std::function<std::vector<SerialDevice>()> deviceLister_;
    std::array<PortOpenFailure, PORT_COUNT> failures_;
};
