#include "files/IgnOpen.h"
#include "files/IgnReader.h"
#include "files/IgnWriter.h"
#include "model/ImageDefaults.h"
#include "model/ImageValidation.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

// Any image the checks leave as it is, written as a parameter file and opened again, gives back
// exactly its bytes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ParamImage image;
    ResetDefaults(image, PAGE_ALL);
    std::copy_n(data, std::min<size_t>(size, RS_LEN_EXE), image.bytes().begin());
    ParamImage checked = image;
    ValidateImage(checked);
    if (checked != image)
        return 0;
    const std::string text = IgnFileText(image, IgnUnitInfo {});
    ParamImage opened;
    ResetDefaults(opened, PAGE_ALL);
    IgnReader reader(opened, [](const std::string&) {});
    const IgnOpenResult result = ReadIgnTwoPass(reader, text, PAGE_ALL);
    if (!result.accepted() || result.missingSettings != 0 || opened.bytes() != image.bytes())
        std::abort();
    return 0;
}
