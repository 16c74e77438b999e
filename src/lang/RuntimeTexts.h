#pragma once

#include <array>
#include <span>
#include <string>

// One runtime text: its number and its LangString ("###English##German##Czech"), or an ordinary
// text for the fixed texts that read the same in every language.
struct RuntimeTextRow {
    int number;
    const char* text;
};

// The table of the runtime texts in the order of their numbers; numbers without a row stay empty.
std::span<const RuntimeTextRow> RuntimeTextTable();

// The runtime texts 14..90 in one language, referred to elsewhere by their numbers (messages,
// monitor words). The main window owns one and rebuilds it whenever the language changes.
class RuntimeTexts {
public:
    static constexpr int FIRST_TEXT = 14;
    static constexpr int LAST_TEXT = 90;
    static constexpr int TEXT_COUNT = LAST_TEXT - FIRST_TEXT + 1;
    // The pick-up system warning is shown in a fixed-width column of the monitor.
    static constexpr int PICKUP_ERROR_TEXT = 37;
    static constexpr size_t PICKUP_ERROR_WIDTH = 40;

    // Built in the current language.
    RuntimeTexts();

    // Rebuilds every text for language (-1: the current one; outside 0..2 counts as 0).
    void Build(int language = -1);

    // Text n in the language of the last build; empty for numbers outside 14..90 and for unused numbers.
    const std::string& Text(int n) const;

    int Language() const { return language_; }

    // Text n in language without touching any table: the fixed texts, the copy of text 72 as
    // text 73 and the padding of text 37 already applied.
    static std::string TextIn(int n, int language);

private:
    std::array<std::string, TEXT_COUNT> texts_;
    int language_ = 0;
};
