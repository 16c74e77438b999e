#pragma once

#include "monitor/IgnlogFormat.h"

#include <string>
#include <vector>

// A monitor log in memory: the header bytes and the record area, as read from a file or built
// by the recorder. A file read from disk is checked completely before it is accepted.
class IgnlogFile {
public:
    std::vector<uint8_t> header;
    std::vector<uint8_t> area;

    int totalCount() const { return ignlog::get16(&header[ignlog::H_TOTAL_COUNT]); }
    int snapshotCount() const { return ignlog::get16(&header[ignlog::H_SNAPSHOT_COUNT]); }
    int rsKey() const { return ignlog::get16(&header[ignlog::H_RS_KEY]); }
    uint32_t startTime() const { return ignlog::get32(&header[ignlog::H_START_TIME]); }
    int offset(int index) const { return static_cast<int16_t>(ignlog::get16(&header[ignlog::H_OFFSETS + 2 * index])); }
    const uint8_t* record(int index) const { return &area[static_cast<size_t>(offset(index))]; }
    int recordType(int index) const { return record(index)[ignlog::R_TYPE]; }
    uint32_t recordTime(int index) const { return ignlog::get32(record(index) + ignlog::R_TIME); }

    enum class ParseError { None, TooShort, BadHeaderLength, BadCounts, Truncated, BadRecord };

    // Checks every length, count and offset; on failure the object is left empty.
    ParseError parse(const std::vector<uint8_t>& file);

    // Reads the recording at path (a regular file only, at most ignlog::MAX_FILE bytes) and checks
    // it completely: empty when it was read, else why not (a LangString or plain text).
    std::string Load(const std::string& path);
    // The message for a file that is no sound monitor log.
    static const char* DamagedText();

    // Header and area as they are written to disk (header up to its length, area up to its length).
    std::vector<uint8_t> serialize() const;
};
