#pragma once

#include "CliCommand.h"
#include "CliUnitSession.h"

#include <QJsonObject>

#include <functional>
#include <string>
#include <vector>

// What the unit on one port did for a command run with --each: the port's result line.
struct PortResult {
    int port = 0;
    std::string device;
    std::string unitName;
    std::string serialNumber;
    bool ok = false;
    std::string message; // the command's own text; empty: the session's last result or message
    QJsonObject json; // what the command adds to the port's JSON object
};

// One port's part of a command: connects the session to its unit and carries the command out; true
// when the unit now holds what the command promised. Runs on the port's own thread.
using PortWork = std::function<bool(CliUnitSession& session, PortResult& result)>;

// Runs a command against the units on many ports at once, for a production bench with a multi-port
// adapter: one connection manager per port, each on a thread of its own, all on one clock. A port
// without a unit or with a failing unit never holds up or stops the others.
class CliEachPort {
public:
    // Takes --each out of args; true when it was there.
    static bool TakeOption(std::vector<std::string>& args);

    // Takes the --port options (each names one port to work on: N or N=DEVICE) and --timeout out of
    // args; without --port, every present serial port is a port to work on. False with a message on
    // err when an option is malformed, a port is named twice or there is no port.
    static bool TakePorts(std::vector<std::string>& args, std::vector<PortChoice>& ports, int& timeoutMs, CliIo& io);

    // Runs work on every port at once. Prints one line per port as it ends, "COM<n> TAB device TAB unit
    // name TAB serial number TAB OK|FAILED TAB message", a failed port's messages on err (each line
    // after "COM<n>: "), and a summary line; with json one JSON document instead of the lines.
    // Returns CLI_OK only when every port succeeded.
    static int Run(const std::vector<PortChoice>& ports, int timeoutMs, const PortWork& work, bool json, CliIo& io);
};
