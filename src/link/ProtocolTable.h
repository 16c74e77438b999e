#pragma once

#include <cstdint>

// Protocol ids of the serial link: the two framed protocols and the fixed-block protocols,
// whose id is 3000 plus their data block size.
enum Protocol : int32_t {
    PROTOCOL_NONE = 0,
    PROTOCOL_WCOM = 1,
    PROTOCOL_WCOMS = 2,
    PROTOCOL_IGN50 = 3050,
    PROTOCOL_IGN100 = 3100,
    PROTOCOL_IGN150 = 3150,
    PROTOCOL_IGN300 = 3300,
};

// What the codec, the search and the engine need to know about one protocol; every protocol
// difference is read from this one table.
struct ProtocolInfo {
    int32_t id;
    const char* name;
    bool wcomFamily; // framed, variable length; otherwise fixed block
    int requestLength; // length of the identify request: 16 or block + 2
    int blockSize; // data bytes per frame of the fixed-block protocols, 0 for the WCOM family
    bool hasTail; // identify and monitor requests carry the unit type code in their last bytes
    bool sumCheck; // WCOMS: the PC's frames carry the word sum
};

constexpr int WCOM_OVERHEAD = 16;
constexpr int IGN_OVERHEAD = 2;
constexpr int WCOM_DEFAULT_MAX_FRAME = 48;

// Returns the row of a protocol id, or nullptr for an unknown id (and for PROTOCOL_NONE).
const ProtocolInfo* FindProtocol(int32_t id);
inline bool IsWcomFamily(int32_t id)
{
    const ProtocolInfo* p = FindProtocol(id);
    return p && p->wcomFamily;
}
const char* ProtocolName(int32_t id); // "WCOM" ... "IGN300", "none"
