#include "update/RtfReader.h"

#include <cstdint>
#include <string>

// The reader must accept any bytes; its output is valid UTF-8 of bounded size.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string rtf(reinterpret_cast<const char*>(data), size);
    const RtfText text = ReadRtf(rtf);
    size_t total = 0;
    for (const RtfParagraph& p : text.paragraphs)
        for (const RtfRun& r : p.runs)
            total += r.text.size();
    if (total > 4 * size + 4)
        __builtin_trap();
    return 0;
}
