#include "monitor/IgnlogFile.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

// Untrusted bytes through the loader: it either refuses them or accepts a log whose every record
// can be walked, and which writes back to exactly the bytes it was read from.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<uint8_t> bytes(data, data + size);
    IgnlogFile log;
    if (log.parse(bytes) != IgnlogFile::ParseError::None) {
        if (!log.header.empty() || !log.area.empty())
            std::abort();
        return 0;
    }
    // The last byte of every record is read, so the sanitizer sees a record that passes the area.
    volatile uint32_t sum = 0;
    for (int i = 0; i < log.totalCount(); ++i) {
        const uint8_t* r = log.record(i);
        const int length = ignlog::get16(r + ignlog::R_LENGTH);
        sum = sum + log.recordType(i) + log.recordTime(i) + r[length - 1];
    }
    const std::vector<uint8_t> written = log.serialize();
    if (written.size() > bytes.size() || !std::equal(written.begin(), written.end(), bytes.begin()))
        std::abort();
    IgnlogFile again;
    if (again.parse(written) != IgnlogFile::ParseError::None || again.header != log.header || again.area != log.area)
        std::abort();
    return 0;
}
