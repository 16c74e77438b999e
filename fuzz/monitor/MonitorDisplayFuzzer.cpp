#include "lang/RuntimeTexts.h"
#include "model/ImageDefaults.h"
#include "model/ImageValidation.h"
#include "monitor/MonitorDisplay.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr size_t MAX_LABEL_TEXT = 128;

} // namespace

// Any 100 monitor bytes, over the defaults or over any configuration the checks let through (the
// 400 bytes after them): the display is built, every label text stays short and every gauge has a
// scale (the panel clamps the value into it).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const RuntimeTexts texts;
    MonitorImage monitor;
    const size_t monitorBytes = std::min<size_t>(size, 100);
    std::copy_n(data, monitorBytes, monitor.bytes().begin() + 1);
    ParamImage image;
    ResetDefaults(image, PAGE_ALL);
    if (size > 100)
        std::copy_n(data + 100, std::min<size_t>(size - 100, RS_LEN_EXE), image.bytes().begin());
    ValidateImage(image);

    MonitorSources sources { monitor, image, true, [](int n) { return texts.Text(n); }, "VX004", " 7. 8.2019", "14:05" };
    const MonitorView view = RefreshMonitorDisplay(sources);
    for (const MonitorLabel& label : view.labels)
        if (label.text.size() > MAX_LABEL_TEXT)
            std::abort();
    for (const MonitorGauge& gauge : view.gauges)
        if (gauge.maximum <= 0)
            std::abort();
    return 0;
}
