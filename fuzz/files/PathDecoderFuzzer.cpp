#include "app/PathCodec.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

// Any stored text decodes without overrun, and every decoded path encodes to a text that
// decodes back to the same path unless the encoded text happens to look like a plain path.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString path = PathCodec::Decode(text);
    const QByteArray encoded = PathCodec::Encode(path);
    if (!PathCodec::LooksPlain(encoded) && PathCodec::Decode(encoded) != path)
        std::abort();
    return 0;
}
