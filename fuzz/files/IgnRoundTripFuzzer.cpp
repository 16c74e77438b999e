#include "files/IgnOpen.h"
#include "files/IgnReader.h"
#include "files/IgnWriter.h"
#include "model/ImageDefaults.h"
#include "model/ImageLayout.h"
#include "model/ImageValidation.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// Opens text over the starting image start.
ParamImage Open(const std::string& text, const ParamImage& start)
{
    ParamImage opened = start;
    IgnReader reader(opened, [](const std::string&) {});
    const IgnOpenResult result = ReadIgnTwoPass(reader, text, PAGE_ALL);
    if (!result.accepted() || result.missingSettings != 0)
        std::abort();
    return opened;
}

} // namespace

// Any bytes made into an image by the checks (which clamp what is out of range), written as a
// parameter file and opened again, give back the image's bytes. Exempt are the bytes the file does
// not carry: reserved bytes keep what the opened-over image held (two opens over different images
// disagree there), and settings kept out of the file (the test page) come back as the bike's
// defaults.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ParamImage image;
    ResetDefaults(image, PAGE_ALL);
    std::copy_n(data, std::min<size_t>(size, RS_LEN_EXE), image.bytes().begin());
    // The file keeps one compensation for the four channels (bytes 111..114 always hold the same
    // value), so only images that keep it so can come back whole.
    std::fill_n(image.bytes().begin() + COMPENSATION + 1, 3, image.Adrb(COMPENSATION));
    // The power-output cells are bits 0..3 of their bytes; the file carries those four.
    for (int i = 0; i < 6; ++i)
        image.Adrb(POWER_OUT_CELLS + i) &= 0x0F;
    ValidateImage(image);
    ParamImage bikeDefaults = image;
    ResetDefaults(bikeDefaults, PAGE_ALL);
    ValidateImage(bikeDefaults);

    const std::string text = IgnFileText(image, IgnUnitInfo {});
    ParamImage inverted;
    for (int a = 0; a < RS_LEN_EXE; ++a)
        inverted.Adrb(a) = static_cast<uint8_t>(~image.Adrb(a));
    const ParamImage overSame = Open(text, image);
    const ParamImage overInverted = Open(text, inverted);
    for (int a = 0; a < RS_LEN_EXE; ++a) {
        const bool carried = overSame.Adrb(a) == overInverted.Adrb(a) && overInverted.Adrb(a) != bikeDefaults.Adrb(a);
        if (carried && overInverted.Adrb(a) != image.Adrb(a))
            std::abort();
    }
    return 0;
}
