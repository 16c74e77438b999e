#pragma once

#include <span>
#include <vector>

// An entry of a list bound by item code: the code stored in the image and its text
// (a LangString or a plain text).
struct CodedItem {
    int code;
    const char* text;
};

// Synchronization methods (PICKUP_SYSTEM) in list order.
std::span<const CodedItem> SynchroMethodList();

// Ignitions per revolution (GEBER_MODE) in list order.
std::span<const CodedItem> GeberModeList();

// Power-output modes (POWER_OUT_MODE) and the captions of the two output groups.
std::span<const CodedItem> PowerOutModeList();
extern const char* const PowerOutGroupCaptions[2];

// Functions of the multifunction inputs: code, display position and text.
struct InputFunction {
    int code;
    int position;
    const char* text;
};
std::span<const InputFunction> InputFunctionTable();

constexpr int MULTIFUNCTION_INPUTS = 6;
// Bit c allows code c on that input; in this unit family only inputs 1 and 2 have functions.
extern const unsigned InputAllowedCodes[MULTIFUNCTION_INPUTS];

// The items an input's radio group offers, in display order (input = 0..5).
std::vector<CodedItem> InputItems(int input);
