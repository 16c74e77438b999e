#include "files/IgnOpen.h"
#include "files/IgnReader.h"
#include "model/ImageDefaults.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

// Any text through the two-pass open, with messages on: it must neither crash nor overrun.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ParamImage img;
    img.Adrb(BIKE) = STARTUP_BIKE;
    ResetDefaults(img, PAGE_ALL);
    IgnReader reader(img, [](const std::string&) {});
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ReadIgnTwoPass(reader, text, PAGE_ALL);
    reader.ReadIgnText(size % 11 - 1, true, text);
    return 0;
}
