#pragma once

#include "model/ParamImage.h"

#include <cstdint>

// Names one image element: a byte (Adrb) or word (Adrw) address plus an element index.
// Bit 15 of the element marks a signed read (int8 or int16).
struct FieldRef {
    enum View : uint8_t { Byte, Word };
    static constexpr int SIGNED_FLAG = 0x8000;

    View view = Byte;
    int address = 0;
    int element = 0;

    static constexpr FieldRef OfByte(int address, int element = 0) { return {Byte, address, element}; }
    static constexpr FieldRef OfWord(int address, int element = 0) { return {Word, address, element}; }
    constexpr FieldRef AsSigned() const { return {view, address, element | SIGNED_FLAG}; }

    constexpr bool IsSigned() const { return (element & SIGNED_FLAG) != 0; }
    constexpr int Index() const { return address + (element & ~SIGNED_FLAG); }

    // The raw value, sign-extended when the reference is signed.
    int Read(const ParamImage& img) const;
    // Stores the low 8 or 16 bits of v.
    void Write(ParamImage& img, int v) const;
};

// image -> screen: unsigned fields show S * (raw + O) with the sum taken as int16;
// signed fields show S * raw + O.
int ImageToScreen(const ParamImage& img, FieldRef ref, int scale, int offset);

// screen -> image: raw = shown / S - O, truncated to the width of the field.
void ScreenToImage(ParamImage& img, FieldRef ref, int shown, int scale, int offset);

// Value written to a parameter file: S * (O + raw), raw signed or unsigned as flagged.
int ImageToFile(const ParamImage& img, FieldRef ref, int scale, int offset);
