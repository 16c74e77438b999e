#pragma once

#include "model/FieldRef.h"
#include "model/LoadGroups.h"
#include "model/SelectionLists.h"

#include <cstdint>
#include <span>
#include <string>

// What a field holds, which decides how its raw bytes read as a user value and as text.
enum class FieldKind : uint8_t {
    Number, // a quantity: scale x (raw + offset) in the row's unit
    Flag, // a check box: 0 off, 1 on
    Choice, // an item of a list, stored as its code (a list bound by index has the codes 0, 1, 2 ...)
    Lobe, // a lobe number with the second-edge and second-pick-up flags of a lobe byte
    Cells, // four on/off cells of a power-output table in bits 0..3
    Reserved, // carried, stored and loaded, but not interpreted by the program
};

// A second way a field reads while another byte of the image holds a value: the servo map holds
// percent while SERVO_PERCENT is set, load points are kPa with an IAP sensor, and trigger
// system 14 allows lobe numbers up to 120.
struct FieldUnitSwitch {
    static constexpr int ANY_NONZERO = -1;

    int flagAddress = -1; // Adrb of the deciding byte; -1: the field always reads one way
    int flagValue = ANY_NONZERO;
    int scale = 1;
    int maximum = 0;
    const char* unit = "";
};

// Everything the program knows about one setting of the parameter image: where it lies, how its
// raw bytes become the value the user sees, the range its control offers, how the parameter file
// holds it, and which control edits it and which caption names it. Rows of the table in
// FieldFacts are the one place these facts are written down.
struct FieldFact {
    // Stands for the element number (1, 2, ...) in control and caption names of per-element controls.
    static constexpr char ELEMENT_MARK = '#';

    const char* name = ""; // the field's name; also its parameter-file key where it has its own record
    FieldRef::View view = FieldRef::Byte; // byte (Adrb) or word (Adrw) field
    int address = 0; // Adrb or Adrw address of element 0
    int count = 1; // elements
    FieldKind kind = FieldKind::Number;
    bool isSigned = false; // read as int8 / int16
    int scale = 1; // user value = scale x (raw + offset)
    int offset = 0;
    const char* unit = ""; // "kPa, mV" gives alternate elements alternate units
    int minimum = 0; // the range and step its control offers, in user units;
    int maximum = 0; // minimum == maximum: no range of its own
    int step = 1;
    FieldUnitSwitch other = {};
    std::span<const CodedItem> (*choices)() = nullptr; // item texts of a choice, or named special values
    int loadGroup = PAGE_ALL; // the group flag a file load needs to change it
    bool inFile = true; // the parameter file holds it
    bool fileRaw = false; // the parameter file holds the raw byte, not the scaled value
    const char* control = nullptr; // objectName of the control that edits it
    const char* caption = nullptr; // the caption-table key that names it, where that is not the control itself
    const char* captionText = nullptr; // its caption where the caption table has none (LangString)
    const char* legend = nullptr; // what the listing of a file prints after the values, in place of the unit

    constexpr int Width() const { return view == FieldRef::Word ? 2 : 1; }
    constexpr int FirstByte() const { return address * Width(); }
    constexpr int ByteCount() const { return count * Width(); }
    constexpr bool Covers(int byte) const { return byte >= FirstByte() && byte < FirstByte() + ByteCount(); }
    constexpr bool HasRange() const { return minimum < maximum; }
    // Printed value = (raw + offset) x multiplier in the parameter file; raw is read unsigned there.
    constexpr int FileMultiplier() const { return fileRaw ? 1 : scale; }

    constexpr FieldRef Ref(int element = 0) const
    {
        const FieldRef r { view, address, element };
        return isSigned ? r.AsSigned() : r;
    }

    // Whether the other reading applies to img.
    bool Switched(const ParamImage& img) const;
    int ScaleIn(const ParamImage& img) const;
    int MaximumIn(const ParamImage& img) const;
    std::string UnitIn(const ParamImage& img, int element = 0) const;

    // The value the user sees: scale x (raw + offset), the lobe number of a lobe byte, else the raw value.
    int UserValue(const ParamImage& img, int element = 0) const;
    // The reverse of userValue; a lobe keeps its flag bits, a flag stores 0 or 1.
    void StoreUser(ParamImage& img, int element, int value) const;
    // The user value as text in language (-1: the current one): the item text of a choice or of a
    // named special value, else the number with its unit.
    std::string UserText(const ParamImage& img, int element = 0, int language = -1) const;
    // The number the parameter file holds for the element.
    int FileValue(const ParamImage& img, int element = 0) const;

    // The LangString of the item with code, or nullptr.
    const char* ChoiceText(int code) const;

    // Control and caption-table names of an element ("" when the row has none).
    std::string ControlName(int element = 0) const;
    std::string CaptionKey(int element = 0) const;
    // The caption of an element in language: the caption table's, else the row's own text, else the name.
    std::string CaptionIn(int element = 0, int language = -1) const;
};
