#include "app/DefaultIni.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

// Any bytes as default.ini: at most the 400 bytes of the image are taken, and an image written
// as default.ini reads back to the same bytes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ParamImage image;
    const int taken = DefaultIni::Parse(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)), image);
    if (taken < 0 || taken > RS_LEN_EXE)
        std::abort();
    ParamImage again;
    if (DefaultIni::Parse(DefaultIni::Text(image), again) != RS_LEN_EXE || again.bytes() != image.bytes())
        std::abort();
    return 0;
}
