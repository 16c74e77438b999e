#include "update/CodePage.h"
#include "update/RtfReader.h"
#include "update/UpdateDocument.h"

#include <cstdint>
#include <string>

// The first byte picks the language and the compile date; the rest is the document. The HTTP
// answer parser sees the same bytes, and an offer's texts go through the same paths as in the
// dialog.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    static const char* dates[] = { "2020_01_27", "0000_00_00", "9999_99_99", "2026_12_10" };
    const std::string document(reinterpret_cast<const char*>(data + 1), size - 1);
    const auto offer = EvaluateUpdateDocument(document, dates[(data[0] >> 2) & 3], data[0] & 3);
    if (offer) {
        if (offer->rtf)
            ReadRtf(offer->description);
        else
            DocumentTextToUtf8(offer->description);
        if (offer->webLink.size() > MAX_LINK_CHARS || offer->downloadLink.size() > MAX_LINK_CHARS)
            __builtin_trap();
    }
    return 0;
}
