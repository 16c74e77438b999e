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
};
