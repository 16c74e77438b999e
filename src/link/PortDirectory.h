#pragma once

#include "link/PortMap.h"

#include <array>
#include <string>
#include <vector>

// A serial device the system lists, with the identity that keeps its COM number stable.
struct SerialDevice {
    std::string path; // "/dev/ttyUSB0"
    std::string identity; // "usb:0403:6001:A12345" for an adapter with a serial number, else by its name
};

// The COM number of every serial device on Linux. Numbers depend only on the devices'
// identities, never on the order in which they appear, so a device keeps its number across runs
// and a USB adapter with a serial number keeps it when replugged at another socket:
//   - mapped numbers (PortMap) first: COM N is the mapped device;
//   - /dev/ttyS<k> is COM k+1;
//   - every other device gets 100 + (hash of its identity mod 156), the next free number upwards
//     on a collision (after 255 comes 1).
class PortDirectory {
public:
    // devicePath[n] is the device of COM n, empty when there is none; port 0 is never used.
    std::array<std::string, 256> devicePath;

    static PortDirectory Assign(std::vector<SerialDevice> devices, const PortMap& map);
    // The serial devices of this machine, through QSerialPortInfo.
    static std::vector<SerialDevice> ListSystemDevices();
    static int PreferredNumber(const SerialDevice& device);
    // The COM number of a device path, 0 when it has none.
    int Find(const std::string& path) const;
};
