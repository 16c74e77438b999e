#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One entry of the archive tree (CRATE_FILE): a directory with its children or a file with its
// stored bytes. In the host file each entry is a 79-byte little-endian record.
struct ArchiveEntry {
    static constexpr int RECORD_SIZE = 79;
    static constexpr int NAME_FIELD = 53; // NUL-terminated, so at most 52 characters
    static constexpr int MAX_NAME = NAME_FIELD - 1;
    static constexpr int GROW_ENTRIES = 20;
    static constexpr uint32_t GROW_BYTES = GROW_ENTRIES * RECORD_SIZE; // 1580
    static constexpr uint16_t DIRECTORY_FLAG = 0x8000;
    static constexpr uint16_t COUNT_MASK = 0x0FFF;
    static constexpr size_t MAX_CHILDREN = COUNT_MASK;

    std::string name;
    uint32_t offset = 0; // contents, counted from the start of the root entry
    uint32_t length = 0; // files: uncompressed length; directories: allocated child-array bytes
    uint32_t compressedLength = 0; // 0: stored uncompressed
    uint64_t time = 0; // FILETIME: 100-ns units since 1601, UTC
    bool directory = false;
    std::vector<ArchiveEntry> children;
    std::vector<uint8_t> data; // the stored bytes of a file
    uint16_t recordCount = 0; // the child count as read from a record, before the children are loaded

    static ArchiveEntry MakeDirectory(const std::string& name, uint64_t time);

    uint16_t Flags() const;
    uint32_t storedLength() const { return compressedLength ? compressedLength : length; }

    // Room for one more child: a full child array grows by 20 entries. False when the count
    // field (12 bits) cannot hold another child.
    bool ReserveChild();

    // Case-insensitive lookup among the children; nullptr or the index when not found.
    ArchiveEntry* findChild(const std::string& childName);
    int IndexOfChild(const std::string& childName) const;

    void WriteRecord(uint8_t* out) const;
    // Reads a record; false when the name field holds no terminating NUL.
    static bool ReadRecord(const uint8_t* in, ArchiveEntry& entry);
};

// Names compare case-insensitively (8-bit text, ASCII letters folded).
bool ArchiveNamesEqual(const std::string& a, const std::string& b);
