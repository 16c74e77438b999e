#pragma once

#include "model/FieldFact.h"

#include <string>

// What the window calls each setting and how it shows its value, for anything that lists settings
// to people (the comparison of two images). Built on the field facts; it adds what the facts leave
// to the window's layout: the box around a control that tells channels and outputs apart, and the
// captions of fields whose caption is not a control's.
class SettingNames {
public:
    // The name of an element in language (-1: the current one); "" for a field the window does not
    // show (the reserved bytes). Map axes and cells are named by their map (MapFacts).
    static std::string Name(const FieldFact& f, int element, int language = -1);

    // The element's value as the window shows it: the item text of a choice or check box, else the
    // number with its unit.
    static std::string ValueText(const FieldFact& f, const ParamImage& img, int element, int language = -1);

    // A number with its unit as the window writes it ("32°", "6000 rpm").
    static std::string NumberText(int value, const std::string& unit);

    // "%d" in a LangString's text for language replaced by number.
    static std::string Numbered(const char* langString, int number, int language = -1);
};
