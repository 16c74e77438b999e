#include "link/SerialDevice.h"

#include <cstdio>

std::string SerialDevice::Identity(
    int vendor, int product, const std::string& serialNumber, const std::string& byPath, const std::string& name)
{
    std::string usb;
    if (vendor >= 0 && product >= 0) {
        char text[32];
        std::snprintf(text, sizeof text, "usb:%04x:%04x:", vendor, product);
        usb = text;
    }
    if (!usb.empty() && !serialNumber.empty())
        return usb + serialNumber;
    const size_t slash = byPath.rfind('/');
    if (!usb.empty() && !byPath.empty())
        return usb + "socket:" + byPath.substr(slash == std::string::npos ? 0 : slash + 1);
    return usb + "name:" + name;
}

std::string SerialDevice::Details() const
{
    std::string maker = manufacturer;
    if (!serialNumber.empty())
        maker += (maker.empty() ? "" : ", ") + serialNumber;
    if (maker.empty())
        return description;
    return description.empty() ? "(" + maker + ")" : description + " (" + maker + ")";
}
