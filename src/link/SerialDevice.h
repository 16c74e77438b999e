#pragma once

#include <string>

// A serial device the system lists, with the identity that keeps its COM number stable and the
// facts that tell the user which adapter it is.
struct SerialDevice {
    std::string path; // "/dev/ttyUSB0"
    std::string identity; // see Identity
    std::string description; // "FT232R USB UART"
    std::string manufacturer; // "FTDI"
    std::string serialNumber; // "A50285BI"
    std::string byId; // its link in /dev/serial/by-id, "" when it has none
    std::string byPath; // its link in /dev/serial/by-path (the USB socket), "" when it has none

    // "usb:0403:6001:A50285BI" for a USB adapter with a serial number, which keeps it at any
    // socket; without one the adapter is known by the socket it is plugged into,
    // "usb:1a86:7523:socket:pci-0000:00:14.0-usb-0:2:1.0-port0", since its device name follows the
    // plug order; else by its name, "name:ttyS0". vendor or product < 0: not a USB device.
    static std::string Identity(int vendor, int product, const std::string& serialNumber, const std::string& byPath,
        const std::string& name);

    // "FT232R USB UART (FTDI, A50285BI)", "" when nothing is known.
    std::string Details() const;
    // Whether path names this device: its own path or one of its links.
    bool Named(const std::string& name) const
    {
        return !name.empty() && (name == path || name == byId || name == byPath);
    }
};
