#include "archive/ArchiveEntry.h"

#include <cstring>

namespace {

void putLe(uint8_t* out, uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint64_t getLe(const uint8_t* in, int bytes)
{
    uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = (value << 8) | in[i];
    return value;
}

char fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Field offsets of the 79-byte record.
constexpr int F_NAME = 0;
constexpr int F_OFFSET = 53;
constexpr int F_LENGTH = 57;
constexpr int F_COMPRESSED = 61;
constexpr int F_TIME = 65;
constexpr int F_FLAGS = 73;
constexpr int F_POINTER = 75;

} // namespace

bool ArchiveNamesEqual(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (fold(a[i]) != fold(b[i]))
            return false;
    return true;
}

ArchiveEntry ArchiveEntry::MakeDirectory(const std::string& name, uint64_t time)
{
    ArchiveEntry e;
    e.name = name;
    e.directory = true;
    e.length = GROW_BYTES;
    e.time = time;
    return e;
}

uint16_t ArchiveEntry::Flags() const
{
    const auto count = static_cast<uint16_t>(children.size() & COUNT_MASK);
    return directory ? static_cast<uint16_t>(count | DIRECTORY_FLAG) : count;
}

bool ArchiveEntry::ReserveChild()
{
    if (children.size() >= MAX_CHILDREN)
        return false;
    if ((children.size() + 1) * RECORD_SIZE > length)
        length += GROW_BYTES;
    return true;
}

int ArchiveEntry::IndexOfChild(const std::string& childName) const
{
    for (size_t i = 0; i < children.size(); ++i)
        if (ArchiveNamesEqual(children[i].name, childName))
            return static_cast<int>(i);
    return -1;
}

ArchiveEntry* ArchiveEntry::findChild(const std::string& childName)
{
    const int i = IndexOfChild(childName);
    return i < 0 ? nullptr : &children[i];
}

void ArchiveEntry::WriteRecord(uint8_t* out) const
{
    std::memset(out, 0, RECORD_SIZE);
    std::memcpy(out + F_NAME, name.data(), std::min<size_t>(name.size(), MAX_NAME));
    putLe(out + F_OFFSET, offset, 4);
    putLe(out + F_LENGTH, length, 4);
    putLe(out + F_COMPRESSED, compressedLength, 4);
    putLe(out + F_TIME, time, 8);
    putLe(out + F_FLAGS, Flags(), 2);
    putLe(out + F_POINTER, 0, 4);
}

bool ArchiveEntry::ReadRecord(const uint8_t* in, ArchiveEntry& entry)
{
    const void* nul = std::memchr(in + F_NAME, 0, NAME_FIELD);
    if (!nul)
        return false;
    entry.name.assign(reinterpret_cast<const char*>(in + F_NAME), static_cast<const uint8_t*>(nul) - (in + F_NAME));
    entry.offset = static_cast<uint32_t>(getLe(in + F_OFFSET, 4));
    entry.length = static_cast<uint32_t>(getLe(in + F_LENGTH, 4));
    entry.compressedLength = static_cast<uint32_t>(getLe(in + F_COMPRESSED, 4));
    entry.time = getLe(in + F_TIME, 8);
    const auto flags = static_cast<uint16_t>(getLe(in + F_FLAGS, 2));
    entry.directory = (flags & DIRECTORY_FLAG) != 0;
    entry.recordCount = flags & COUNT_MASK;
    entry.children.clear();
    entry.data.clear();
    return true;
}
