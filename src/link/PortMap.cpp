#include "link/PortMap.h"

#include "link/PortChannel.h"

#include <cstdlib>

bool PortMap::Add(const std::string& entry, std::string* error)
{
    const size_t eq = entry.find('=');
    const std::string number = entry.substr(0, eq);
    char* end = nullptr;
    const long port = number.empty() ? 0 : std::strtol(number.c_str(), &end, 10);
    const bool numberOk = !number.empty() && end && *end == '\0' && port >= 1 && port <= 255;
    if (eq == std::string::npos || !numberOk || eq + 1 >= entry.size()) {
        if (error)
            *error = "a port mapping must read N=DEVICE with N from 1 to 255: \"" + entry + "\"";
        return false;
    }
    const std::string device = entry.substr(eq + 1);
    for (auto& e : entries_)
        if (e.first == port) {
            e.second = device;
            return true;
        }
    entries_.emplace_back(static_cast<int>(port), device);
    return true;
}

bool PortMap::AddChannel(int port, std::shared_ptr<PortChannel> channel, std::string* error)
{
    if (!channel) {
        if (error)
            *error = "no in-process line to map";
        return false;
    }
    if (!Add(std::to_string(port) + "=" + channel->Name(), error))
        return false;
    for (auto& known : channels_)
        if (known->Name() == channel->Name()) {
            known = std::move(channel);
            return true;
        }
    channels_.push_back(std::move(channel));
    return true;
}

std::shared_ptr<PortChannel> PortMap::Channel(const std::string& path) const
{
    for (const auto& channel : channels_)
        if (channel->Name() == path)
            return channel;
    return nullptr;
}

bool PortMap::AddList(const std::string& list, std::string* error)
{
    std::string entry;
    auto flush = [&]() {
        const bool ok = entry.empty() || Add(entry, error);
        entry.clear();
        return ok;
    };
    for (char c : list) {
        if (c == ',' || c == ';' || c == ' ' || c == '\t' || c == '\n') {
            if (!flush())
                return false;
        } else {
            entry += c;
        }
    }
    return flush();
}

PortMap PortMap::FromEnvironment(std::string* error)
{
    PortMap map;
    if (const char* value = std::getenv(ENVIRONMENT_VARIABLE))
        map.AddList(value, error);
    return map;
}

std::string PortMap::Device(int port) const
{
    for (const auto& e : entries_)
        if (e.first == port)
            return e.second;
    return {};
}
