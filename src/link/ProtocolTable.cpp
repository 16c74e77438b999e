#include "link/ProtocolTable.h"

namespace {

constexpr ProtocolInfo protocolTable[] = {
    { PROTOCOL_WCOM, "WCOM", true, 16, 0, false, false },
    { PROTOCOL_WCOMS, "WCOMS", true, 16, 0, false, true },
    { PROTOCOL_IGN50, "IGN50", false, 52, 50, true, false },
    { PROTOCOL_IGN100, "IGN100", false, 102, 100, true, false },
    { PROTOCOL_IGN150, "IGN150", false, 152, 150, true, false },
    { PROTOCOL_IGN300, "IGN300", false, 302, 300, false, false },
};

} // namespace

const ProtocolInfo* FindProtocol(int32_t id)
{
    for (const ProtocolInfo& p : protocolTable)
        if (p.id == id)
            return &p;
    return nullptr;
}

const char* ProtocolName(int32_t id)
{
    const ProtocolInfo* p = FindProtocol(id);
    return p ? p->name : "none";
}
