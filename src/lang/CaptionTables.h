#pragma once

#include "lang/LangString.h"

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

// What a row of a caption table does to its control.
enum class CaptionAction : uint8_t {
    SetText, // the control's caption (or hint) becomes the variant of the language
    SetTextAndShow, // the same, and the control is made visible
    CheckForLanguage, // the control is checked exactly when the language is the row's language
};

// One row of the menu, hint or caption table: the control's name (its objectName) and its text in
// English, German and Czech. Rows are applied in table order.
struct CaptionRow {
    const char* control;
    std::array<const char*, LANG_COUNT> text;
    CaptionAction action = CaptionAction::SetText;
    int checkedLanguage = -1;
};

enum class CaptionTableId { Menu, Hint, Caption };

std::span<const CaptionRow> MenuTable();
std::span<const CaptionRow> HintTable();
std::span<const CaptionRow> CaptionTable();
std::span<const CaptionRow> CaptionTableById(CaptionTableId table);

// The text the table gives control in language (-1: the current one; outside 0..2 counts as 0),
// or nullptr when the table has no text for it.
const char* CaptionFor(CaptionTableId table, std::string_view control, int language = -1);

// Where a table is applied. The window maps each control name to its widget or action; setChecked
// and setVisible may stay empty for tables that have no such rows.
struct CaptionTarget {
    std::function<void(const char* control, const char* text)> setText;
    std::function<void(const char* control, bool checked)> setChecked;
    std::function<void(const char* control, bool visible)> setVisible;
};

// Walks table in order and hands every row to target in language (-1: the current one).
void ApplyCaptionTable(std::span<const CaptionRow> table, const CaptionTarget& target, int language = -1);
