#pragma once

#include "model/ImageLayout.h"

#include <array>
#include <cstdint>

// A 16-bit little-endian word inside a byte buffer; assignment writes both bytes.
class WordRef {
public:
    explicit WordRef(uint8_t* p) : p_(p) {}
    operator uint16_t() const { return static_cast<uint16_t>(p_[0] | (p_[1] << 8)); }
    WordRef& operator=(unsigned v)
    {
        p_[0] = static_cast<uint8_t>(v);
        p_[1] = static_cast<uint8_t>(v >> 8);
        return *this;
    }
    WordRef& operator=(const WordRef& o) { return *this = static_cast<uint16_t>(o); }

private:
    uint8_t* p_;
};

// The PC-side mirror of the unit's 400-byte configuration memory. Adrb addresses bytes,
// Adrw addresses little-endian words over the same bytes (word K = bytes 2K and 2K+1).
class ParamImage {
public:
    using Bytes = std::array<uint8_t, RS_LEN_EXE>;

    uint8_t& Adrb(int address) { return bytes_[static_cast<unsigned>(address)]; }
    uint8_t Adrb(int address) const { return bytes_[static_cast<unsigned>(address)]; }
    WordRef Adrw(int address) { return WordRef(&bytes_[2u * static_cast<unsigned>(address)]); }
    uint16_t Adrw(int address) const
    {
        const unsigned i = 2u * static_cast<unsigned>(address);
        return static_cast<uint16_t>(bytes_[i] | (bytes_[i + 1] << 8));
    }

    Bytes& bytes() { return bytes_; }
    const Bytes& bytes() const { return bytes_; }
    uint8_t* data() { return bytes_.data(); }
    const uint8_t* data() const { return bytes_.data(); }

    bool operator==(const ParamImage&) const = default;

private:
    Bytes bytes_{};
};

static_assert(sizeof(ParamImage) == RS_LEN_EXE, "the image is exactly the unit's block");
static_assert(2 * ADRW_END <= ADRB_FIRST, "word fields must end before the first byte field");
static_assert(ADRB_FIELDS_END <= ADRB_FIRST_TABLE, "byte fields must end before the first table");
static_assert(ADRB_END == RS_LEN_EXE, "the tables end exactly at the end of the image");
static_assert(RS_LEN_EXE <= COMMAXBUF, "the whole image must fit one transfer buffer");
