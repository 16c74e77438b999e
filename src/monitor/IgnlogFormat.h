#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

// The monitor log file (.ignlog): a header with an offset table, then the record area.
// Every number is little-endian.
namespace ignlog {

constexpr int HEADER_BASE = 256;          // fixed part of the header
constexpr int MAX_RECORDS = 12000;        // room in the offset table
constexpr int MAX_HEADER = HEADER_BASE + 2 * MAX_RECORDS;
constexpr int MAX_AREA = 2000000;         // record area while recording
constexpr long long MAX_FILE = MAX_HEADER + MAX_AREA + 1024; // the largest file a reader takes
constexpr int MAX_OFFSET = 32767;         // offsets are signed 16-bit
constexpr int RECORD_HEAD = 8;
constexpr int MAX_MAPS = 40;

// Header fields.
constexpr int H_LENGTH = 0;
constexpr int H_START_TIME = 4;
constexpr int H_OS_MAJOR = 8;
constexpr int H_OS_MINOR = 12;
constexpr int H_OS_BUILD = 16;
constexpr int H_OS_PLATFORM = 20;
constexpr int H_MONITORS = 24;
constexpr int H_LAYOUT = 56;
constexpr int H_RS_KEY = 60;
constexpr int H_IDENT = 62;
constexpr int IDENT_SIZE = 186;
constexpr int H_AREA_LENGTH = 248;
constexpr int H_SNAPSHOT_COUNT = 252;
constexpr int H_TOTAL_COUNT = 254;
constexpr int H_OFFSETS = 256;

// Record fields.
constexpr int R_LENGTH = 0;
constexpr int R_TYPE = 2;
constexpr int R_TIME = 4;
constexpr int R_PAYLOAD = 8;

enum RecordType : uint8_t { REC_UNIT = 1, REC_IMAGE = 2, REC_MIRROR = 3, REC_MONITOR = 4, REC_PAGES = 5 };

constexpr int recordLength(int type)
{
    switch (type) {
    case REC_UNIT: return 84;
    case REC_IMAGE: return 408;
    case REC_MIRROR: return 408;
    case REC_MONITOR: return 108;
    case REC_PAGES: return 92;
    default: return 0;
    }
}

inline uint16_t get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t get32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16)
        | (static_cast<uint32_t>(p[3]) << 24);
}
inline void put16(uint8_t* p, uint32_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void put32(uint8_t* p, uint32_t v)
{
    put16(p, v);
    put16(p + 2, v >> 16);
}

} // namespace ignlog
