#pragma once

#include "lang/CaptionTables.h"
#include "lang/RuntimeTexts.h"

#include <functional>

// Where the window's texts go when the language is applied: one target per table and the window
// title, which the window composes itself.
struct LanguageTargets {
    CaptionTarget menu;
    CaptionTarget hint;
    CaptionTarget caption;
    std::function<void()> updateWindowTitle;
};

// The caption table alone, after the window title; start-up runs it once before the runtime texts exist.
void ApplyCaptions(const LanguageTargets& targets, int language = -1);

// Rebuilds the runtime texts for the language, then applies the menu, the hint and the caption
// table in that order. Called at start-up, on every language change and after the bootloader
// releases or returns the port.
void BuildRuntimeTexts(RuntimeTexts& texts, const LanguageTargets& targets, int language = -1);
