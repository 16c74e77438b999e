#pragma once

#include "link/StatusSlots.h"

#include <array>
#include <string>

// Status labels that remember what they show, as the window's labels would.
struct RecordingLabels : StatusLabels {
    struct Label {
        bool shown = false;
        std::string text;
        uint32_t font = 0;
        uint32_t back = 0;
        int shows = 0;
    };
    std::array<Label, 5> labels;

    bool HasControl(int slot) const override { return slot != 3; }
    bool IsShown(int slot) const override { return labels[size_t(slot)].shown; }
    void ShowLabel(int slot, const std::string& text, uint32_t font, uint32_t back) override
    {
        Label& l = labels[size_t(slot)];
        l.shown = true;
        l.text = text;
        if (font != COLOUR_UNCHANGED)
            l.font = font;
        if (back != COLOUR_UNCHANGED)
            l.back = back;
        ++l.shows;
    }
    void HideLabel(int slot) override { labels[size_t(slot)].shown = false; }
};
