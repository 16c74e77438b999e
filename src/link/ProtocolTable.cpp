#include "link/ProtocolTable.h"

namespace {

constexpr ProtocolInfo FramedRow(int32_t id, const char* name, uint32_t usualBaud, bool sumCheck)
{
    return { id, name, usualBaud, true, WCOM_OVERHEAD, 0, false, sumCheck };
}

constexpr ProtocolInfo FixedBlockRow(const char* name, int blockSize, uint32_t usualBaud, bool hasTail)
{
    return { FixedBlockProtocolId(blockSize), name, usualBaud, false, blockSize + IGN_OVERHEAD, blockSize, hasTail,
        false };
}

constexpr ProtocolInfo protocolTable[] = {
    FramedRow(PROTOCOL_WCOM, "WCOM", 57600, false),
    FramedRow(PROTOCOL_WCOMS, "WCOMS", 57600, true),
    FixedBlockRow("IGN50", 50, 57600, true),
    FixedBlockRow("IGN100", 100, 57600, true),
    FixedBlockRow("IGN150", 150, 57600, true),
    // The largest block carries the unit type in its first data bytes, so its requests have no tail.
    FixedBlockRow("IGN300", 300, 115200, false),
};

} // namespace

std::span<const ProtocolInfo> Protocols() { return protocolTable; }

const ProtocolInfo* FindProtocol(int32_t id)
{
    for (const ProtocolInfo& p : protocolTable)
        if (p.id == id)
            return &p;
    return nullptr;
}

const ProtocolInfo* FindProtocolNamed(const std::string& name)
{
    for (const ProtocolInfo& p : protocolTable)
        if (name == p.name)
            return &p;
    return nullptr;
}

const char* ProtocolName(int32_t id)
{
    const ProtocolInfo* p = FindProtocol(id);
    return p ? p->name : "none";
}

std::string ProtocolNames(const char* separator)
{
    std::string names;
    for (const ProtocolInfo& p : protocolTable)
        names += (names.empty() ? "" : separator) + std::string(p.name);
    return names;
}
