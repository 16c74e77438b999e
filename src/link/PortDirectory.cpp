#include "link/PortDirectory.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>

namespace {

constexpr const char* DASH = " – ";

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
    // A mapped device the system lists (by its path or a link) is described but not numbered twice.
    std::vector<SerialDevice> unmapped;
    for (SerialDevice& device : devices) {
        int mapped = 0;
        for (const auto& [port, path] : map.Entries())
            if (device.Named(path))
                mapped = port;
        if (mapped)
            dir.devices[static_cast<size_t>(mapped)] = std::move(device);
        else if (!map.onlyMapped)
            unmapped.push_back(std::move(device));
    }
    std::sort(unmapped.begin(), unmapped.end(),
        [](const SerialDevice& a, const SerialDevice& b) { return a.identity < b.identity; });
    for (SerialDevice& device : unmapped) {
        int n = PreferredNumber(device);
        for (int tries = 0; tries < 255 && !dir.devicePath[static_cast<size_t>(n)].empty(); ++tries)
            n = n >= 255 ? 1 : n + 1;
        if (dir.devicePath[static_cast<size_t>(n)].empty()) {
            dir.devicePath[static_cast<size_t>(n)] = device.path;
            dir.devices[static_cast<size_t>(n)] = std::move(device);
        }
    }
    return dir;
}

int PortDirectory::Find(const std::string& path) const
{
    for (int n = 1; n < 256; ++n)
        if (devicePath[static_cast<size_t>(n)] == path || devices[static_cast<size_t>(n)].Named(path))
            return n;
    return 0;
}

std::string PortDirectory::Label(int port) const
{
    const size_t n = static_cast<size_t>(port & 0xFF);
    std::string label = "COM" + std::to_string(port);
    if (!devicePath[n].empty())
        label += DASH + devicePath[n];
    if (const std::string details = devices[n].Details(); !details.empty())
        label += DASH + details;
    return label;
}

namespace {

// The links of a folder such as /dev/serial/by-id, by the device each one names.
std::map<std::string, std::string> LinksByDevice(const QString& folder)
{
    std::map<std::string, std::string> links;
    for (const QFileInfo& link : QDir(folder).entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot))
        if (link.isSymLink())
            links[link.canonicalFilePath().toStdString()] = link.absoluteFilePath().toStdString();
    return links;
}

std::string Found(const std::map<std::string, std::string>& links, const std::string& device)
{
    const auto it = links.find(device);
    return it == links.end() ? std::string() : it->second;
}

} // namespace

std::vector<SerialDevice> PortDirectory::ListSystemDevices()
{
    const auto byId = LinksByDevice("/dev/serial/by-id");
    const auto byPath = LinksByDevice("/dev/serial/by-path");
    std::vector<SerialDevice> devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        SerialDevice d;
        d.path = info.systemLocation().toStdString();
        const std::string canonical = QFileInfo(info.systemLocation()).canonicalFilePath().toStdString();
        d.byId = Found(byId, canonical);
        d.byPath = Found(byPath, canonical);
        d.description = info.description().toStdString();
        d.manufacturer = info.manufacturer().toStdString();
        d.serialNumber = info.serialNumber().toStdString();
        const bool usb = info.hasVendorIdentifier() && info.hasProductIdentifier();
        d.identity = SerialDevice::Identity(usb ? info.vendorIdentifier() : -1, usb ? info.productIdentifier() : -1,
            d.serialNumber, d.byPath, info.portName().toStdString());
        devices.push_back(std::move(d));
    }
    return devices;
}
