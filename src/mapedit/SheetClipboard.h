#pragma once

#include <string>

class MapModel;

// Name of the clipboard format that carries a whole table between map editors.
constexpr const char* SHEET_CLIPBOARD_FORMAT = "CF_MOTRAVEX_SHEET";
// Texts are built in buffers of this size; longer text is cut.
constexpr size_t SHEET_TEXT_LIMIT = 9000;

// The selection of the active sheet as tab/newline separated values.
std::string SelectionText(const MapModel& tab);
// The whole table restricted to what is in use (plain text beside the sheet format).
std::string TablePlainText(const MapModel& tab);
// The whole table with its header lines (the sheet format).
std::string TableSheetText(const MapModel& tab);

// Pastes plain text into the selection; false when nothing could be pasted.
bool PasteSelectionText(MapModel& tab, const std::string& text);
// Pastes the sheet format into the whole table; false when refused (the dimension message is
// shown through the editor's host when the sizes cannot be matched).
bool PasteTableText(MapModel& tab, const std::string& text);
// What of a pasted text may go into an open cell edit.
std::string FilterEditPaste(const std::string& text);
