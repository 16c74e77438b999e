#pragma once

#include "link/PortMap.h"

#include <cstdio>
#include <string>

// What a command that talks to a unit is told about ports: --port N uses only COM N (like a fixed
// port in the COM menu), --port N=DEVICE makes COM N that device and uses only it, --port DEVICE
// (a path or a link such as /dev/serial/by-id/...) uses only the COM number of that device; without --port
// the search is automatic over every present port (and the mapped ones of VORDAX4_PORTS).
//
// --protocol NAME [--baud N] tries only that protocol at that rate on each port (a production line
// knows what it connects to), instead of the whole search order.
struct PortChoice {
    int forcedPort = 0;
    PortMap map = PortMap::FromEnvironment();
    int32_t protocol = 0; // 0: the whole search order
    uint32_t baud = 0; // 0: the protocol's first rate in the search order
};

// Parses the value of --port into the choice; false with a message when it is malformed.
bool ParsePortOption(const std::string& value, PortChoice& choice, std::string* error);
// Parses the values of --protocol (a protocol name in any case) and --baud; false with a message.
bool ParseProtocolOption(const std::string& value, PortChoice& choice, std::string* error);
bool ParseBaudOption(const std::string& value, PortChoice& choice, std::string* error);

class TransferEngine;

// Sets the link up for the choice as the program searches: the IGN100 family rows, the forced port
// and the port map (a device named for the forced port is then the only port); a chosen protocol
// leaves the search table with that one row.
void ApplyPortChoice(TransferEngine& link, const PortChoice& choice);

// `ports`: prints one line per present port in ascending order, "COM204 – /dev/ttyUSB0 – FT232R USB
// UART (FTDI, A50285BI)", followed by " – cannot be opened: " and why for a port the user may not
// open; what puts that right goes to err. Returns the exit status: 0 (also when there is no port;
// a note then goes to err).
int ListPortsCommand(const PortChoice& choice, std::FILE* out, std::FILE* err);

struct IdentifyResult {
    bool found = false;
    int port = 0;
    std::string name;
    std::string protocol;
    int maxFrameLength = 0;
    int dataBytesPerFrame = 0;
    std::string device;
    // The search ended early: no port it may use could be opened (the reason went to err).
    bool noPortCanOpen = false;
};

// Searches as the program does, for at most timeoutMs of real time, and less when no port it may
// use can be opened; status messages (a unit of another type, a port that cannot be opened) go to
// err as they appear.
IdentifyResult IdentifyUnit(const PortChoice& choice, int timeoutMs, std::FILE* err);

constexpr const char* NO_PORT_OPENS_TEXT = "no unit found: the port cannot be opened";
// "no unit found within 10.0 s", or NO_PORT_OPENS_TEXT.
std::string NoUnitText(const IdentifyResult& result, int timeoutMs);

// `identify`: prints "COM<n>\t<device>\t<name>\tprotocol <P>\tmax frame <m>\t<b> data bytes per frame";
// returns 0 when a unit was found, 1 when none answered within the time-out (message on err).
int IdentifyCommand(const PortChoice& choice, int timeoutMs, std::FILE* out, std::FILE* err);
