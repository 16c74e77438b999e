#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <vector>

// An entry of a list bound by item code: the code stored in the image and its text
// (a LangString or a plain text).
struct CodedItem {
    int code;
    const char* text;
};

// The code and text of every row of a table whose rows carry more, so the table can also serve
// where a plain item list is wanted.
template <typename Row, size_t N>
constexpr std::array<CodedItem, N> CodedItemsOf(const Row (&rows)[N], const char* Row::*text)
{
    std::array<CodedItem, N> items{};
    for (size_t i = 0; i < N; ++i)
        items[i] = {rows[i].code, rows[i].*text};
    return items;
}

// Synchronization methods (PICKUP_SYSTEM) in list order.
std::span<const CodedItem> SynchroMethodList();

// Ignitions per revolution (GEBER_MODE) in list order.
std::span<const CodedItem> GeberModeList();

// Pick-up polarity (PICKUP_POLARITY), bound by index: the codes are the item indexes.
std::span<const CodedItem> PickupPolarityList();

// Load sensor (TPSIAP_SENSOR), bound by index.
std::span<const CodedItem> LoadSensorList();

// The two values of the tachometer pulses (RPM_PULSES) that follow a pick-up instead of a count.
std::span<const CodedItem> TachoSourceList();

// The two states of a check box.
std::span<const CodedItem> OnOffList();

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
// Every input function by code, for naming a stored code whatever the input allows.
std::span<const CodedItem> InputFunctionList();

constexpr int MULTIFUNCTION_INPUTS = 6;
// Bit c allows code c on that input; in this unit family only inputs 1 and 2 have functions.
extern const unsigned InputAllowedCodes[MULTIFUNCTION_INPUTS];

// The items an input's radio group offers, in display order (input = 0..5).
std::vector<CodedItem> InputItems(int input);
