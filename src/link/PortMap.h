#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

class PortChannel;

// Names the device of a COM number, so that any device (a pseudo-terminal, a device without a
// stable identity) can be a port: "7=/dev/pts/3". Entries come from the command line
// (--port 7=/dev/pts/3) and from the environment variable VORDAX4_PORTS ("7=/dev/pts/3,8=/dev/ttyUSB0").
// A COM number can also name an in-process line to a device inside the program ("1=inproc:demo");
// the map keeps that line, since only the program itself can hand it over.
class PortMap {
public:
    static constexpr const char* ENVIRONMENT_VARIABLE = "VORDAX4_PORTS";

    // Adds one "N=DEVICE" entry; N is 1..255 and DEVICE a path. A later entry for the same number
    // replaces the earlier one. Returns false with a message for a malformed entry.
    bool Add(const std::string& entry, std::string* error = nullptr);
    // Maps port to the line, under the line's name; a null line is refused.
    bool AddChannel(int port, std::shared_ptr<PortChannel> channel, std::string* error = nullptr);
    // Adds a list of entries separated by commas, semicolons or white space.
    bool AddList(const std::string& list, std::string* error = nullptr);
    // The entries of VORDAX4_PORTS; an unset variable gives an empty map.
    static PortMap FromEnvironment(std::string* error = nullptr);

    // The mapped device of a port number, or an empty text.
    std::string Device(int port) const;
    const std::vector<std::pair<int, std::string>>& Entries() const { return entries_; }
    bool Empty() const { return entries_.empty(); }
    // The in-process line a device path names, null for a device of the system.
    std::shared_ptr<PortChannel> Channel(const std::string& path) const;

    // When set, only mapped devices are ports; the system's serial devices are not listed.
    bool onlyMapped = false;

private:
    std::vector<std::pair<int, std::string>> entries_;
    std::vector<std::shared_ptr<PortChannel>> channels_;
};
