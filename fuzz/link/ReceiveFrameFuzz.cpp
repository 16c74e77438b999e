#include "link/FrameCodec.h"
#include "link/PortRecord.h"
#include "link/ProtocolTable.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

// Feeds arbitrary line data to the receive parser of every protocol: the first byte picks no
// protocol or one of the protocol rows, the second the inter-byte time-out; the rest arrives in
// chunks whose sizes and time gaps the data itself chooses.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    static PortRecord port;
    static FrameCodec codec;
    port.DiscardReceived();
    const size_t choice = data[0] % (Protocols().size() + 1);
    codec.SetProtocol(choice ? Protocols()[choice - 1].id : PROTOCOL_NONE, data[1]);
    int32_t now = 0;
    size_t i = 2;
    while (i < size) {
        const size_t chunk = 1 + data[i] % 64;
        now += (data[i] >> 6) * 60;
        ++i;
        const size_t n = chunk < size - i ? chunk : size - i;
        port.PushReceived(data + i, static_cast<uint32_t>(n));
        i += n;
        while (codec.ReceiveFrame(port, now)) {
            const int length = IsWcomFamily(codec.protocol) ? codec.dataLength() + WCOM_OVERHEAD : codec.frameLength;
            if (length > CODEC_BUFFER_LEN)
                std::abort();
            UnitIdentity identity;
            codec.ParseIdentity(identity);
            if (identity.name[31] != 0)
                std::abort();
        }
    }
    return 0;
}
