#pragma once

#include <cstdint>
#include <string>

// Why a serial device could not be opened, as the user can act on it.
enum class PortFailureCause : uint8_t {
    NONE = 0,
    PERMISSION, // the user may not use the device (not in its group)
    BUSY, // another program holds it
    GONE, // the device is no longer there
    OTHER, // any other fault; detail has the system's words
};

// The reason a port's device cannot be opened, with what the user needs to put it right.
struct PortOpenFailure {
    PortFailureCause cause = PortFailureCause::NONE;
    std::string device; // "/dev/ttyUSB0"
    std::string group; // the device's group, for PERMISSION ("dialout")
    std::string detail; // the system's text, for OTHER

    bool Failed() const { return cause != PortFailureCause::NONE; }
    bool operator==(const PortOpenFailure&) const = default;

    // The cause of a failed open from what the serial library reported (GONE, PERMISSION or
    // OTHER) and the device's file: a refused device the user has read and write access to is
    // held by another program (its lock or exclusive mode).
    static PortOpenFailure Diagnose(const std::string& device, PortFailureCause reported, const std::string& detail);
    // What can be told without opening the device (opening would switch the line's signals):
    // a device that is gone or that the user may not open; NONE otherwise.
    static PortOpenFailure Probe(const std::string& device);

    // A LangString: "/dev/ttyUSB0 cannot be opened: permission denied. Add yourself to ...".
    std::string Reason() const;
    // A LangString for the status line and stderr: "COM204: " and the reason.
    std::string Message(int port) const;
    // A short English word for listings: "permission denied (group dialout)", "held by another program".
    std::string Mark() const;
};
