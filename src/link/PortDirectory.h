#pragma once

#include "link/PortMap.h"
#include "link/SerialDevice.h"

#include <array>
#include <string>
#include <vector>

// The COM number of every serial device on Linux. Numbers depend only on the devices'
// identities, never on the order in which they appear, so a device keeps its number across runs,
// a USB adapter with a serial number keeps it when replugged at another socket and one without
// keeps it at its socket whatever name the system gives it (SerialDevice::Identity):
//   - mapped numbers (PortMap) first: COM N is the mapped device, named by its path or by one of
//     its links (/dev/serial/by-id/...);
//   - /dev/ttyS<k> is COM k+1;
//   - every other device gets 100 + (hash of its identity mod 156), the next free number upwards
//     on a collision (after 255 comes 1).
class PortDirectory {
public:
    // devicePath[n] is the device of COM n, empty when there is none; port 0 is never used.
    std::array<std::string, 256> devicePath;
    // What the system tells of the device of COM n (empty for a device it does not list).
    std::array<SerialDevice, 256> devices;

    static PortDirectory Assign(std::vector<SerialDevice> devices, const PortMap& map);
    // The serial devices of this machine, through QSerialPortInfo.
    static std::vector<SerialDevice> ListSystemDevices();
    static int PreferredNumber(const SerialDevice& device);
    // The COM number of a device path or link, 0 when it has none.
    int Find(const std::string& path) const;
    // "COM204 – /dev/ttyUSB0 – FT232R USB UART (FTDI, A50285BI)"; "COM204 – /dev/ttyUSB0" when
    // nothing more is known.
    std::string Label(int port) const;
};
