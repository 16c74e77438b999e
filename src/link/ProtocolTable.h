#pragma once

#include <cstdint>
#include <span>
#include <string>

constexpr int WCOM_OVERHEAD = 16;
constexpr int IGN_OVERHEAD = 2;
constexpr int WCOM_DEFAULT_MAX_FRAME = 48;

// The id of a fixed-block protocol: 3000 plus its data bytes per frame, so that code which knows
// only a frame's block size (the frame builder) finds the protocol's row from it.
constexpr int32_t FixedBlockProtocolId(int blockSize) { return 3000 + blockSize; }

// Protocol ids of the serial link: the two framed protocols and the fixed-block protocols.
enum Protocol : int32_t {
    PROTOCOL_NONE = 0,
    PROTOCOL_WCOM = 1,
    PROTOCOL_WCOMS = 2,
    PROTOCOL_IGN50 = FixedBlockProtocolId(50),
    PROTOCOL_IGN100 = FixedBlockProtocolId(100),
    PROTOCOL_IGN150 = FixedBlockProtocolId(150),
    PROTOCOL_IGN300 = FixedBlockProtocolId(300),
};

// Everything the codec, the search, the engine, the simulated unit and the command lines need to
// know about one protocol; every protocol difference is read from its row.
struct ProtocolInfo {
    int32_t id;
    const char* name;
    uint32_t usualBaud; // the line rate a unit of this protocol listens at
    bool wcomFamily; // framed, variable length; otherwise fixed block
    int requestLength; // length of the identify request: 16 or block + 2
    int blockSize; // data bytes per frame of the fixed-block protocols, 0 for the WCOM family
    bool hasTail; // identify and monitor requests carry the unit type code in their last bytes
    bool sumCheck; // WCOMS: the PC's frames carry the word sum
};

// The rows in the order the command lines list them.
std::span<const ProtocolInfo> Protocols();

// Returns the row of a protocol id, or nullptr for an unknown id (and for PROTOCOL_NONE).
const ProtocolInfo* FindProtocol(int32_t id);
// Returns the row whose name is exactly name, or nullptr.
const ProtocolInfo* FindProtocolNamed(const std::string& name);
inline bool IsWcomFamily(int32_t id)
{
    const ProtocolInfo* p = FindProtocol(id);
    return p && p->wcomFamily;
}
const char* ProtocolName(int32_t id); // "WCOM" ... "IGN300", "none"
// The names of all rows in order, joined by separator: "WCOM, WCOMS, ..." for a help text.
std::string ProtocolNames(const char* separator);
