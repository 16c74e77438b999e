#include "link/PortDirectory.h"

#include <QSerialPortInfo>

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace {

uint32_t Fnv1a(const std::string& text)
{
    uint32_t h = 2166136261u;
    for (unsigned char c : text) {
        h ^= c;
        h *= 16777619u;
    }
    return h;
}

} // namespace

int PortDirectory::PreferredNumber(const SerialDevice& device)
{
    int k = -1;
    char rest = 0;
    if (std::sscanf(device.path.c_str(), "/dev/ttyS%d%c", &k, &rest) == 1 && k >= 0 && k <= 98)
        return k + 1;
    return 100 + static_cast<int>(Fnv1a(device.identity) % 156);
}

PortDirectory PortDirectory::Assign(std::vector<SerialDevice> devices, const PortMap& map)
{
    PortDirectory dir;
    for (const auto& [port, path] : map.Entries())
        dir.devicePath[static_cast<size_t>(port)] = path;
    if (map.onlyMapped)
        return dir;
    std::sort(devices.begin(), devices.end(),
        [](const SerialDevice& a, const SerialDevice& b) { return a.identity < b.identity; });
    for (const SerialDevice& device : devices) {
        if (dir.Find(device.path))
            continue;
        int n = PreferredNumber(device);
        for (int tries = 0; tries < 255 && !dir.devicePath[static_cast<size_t>(n)].empty(); ++tries)
            n = n >= 255 ? 1 : n + 1;
        if (dir.devicePath[static_cast<size_t>(n)].empty())
            dir.devicePath[static_cast<size_t>(n)] = device.path;
    }
    return dir;
}

int PortDirectory::Find(const std::string& path) const
{
    for (int n = 1; n < 256; ++n)
        if (devicePath[static_cast<size_t>(n)] == path)
            return n;
    return 0;
}

std::vector<SerialDevice> PortDirectory::ListSystemDevices()
{
    std::vector<SerialDevice> devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        SerialDevice d;
        d.path = info.systemLocation().toStdString();
        char usb[32] = {};
        if (info.hasVendorIdentifier() && info.hasProductIdentifier())
            std::snprintf(usb, sizeof usb, "usb:%04x:%04x:", info.vendorIdentifier(), info.productIdentifier());
        if (usb[0] && !info.serialNumber().isEmpty())
            d.identity = usb + info.serialNumber().toStdString();
        else
            d.identity = std::string(usb) + "name:" + info.portName().toStdString();
        devices.push_back(d);
    }
    return devices;
}
