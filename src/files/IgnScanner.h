#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The positional scanner of the parameter-file reader: whitespace-separated tokens and numbers
// read from one position in the text. The text ends at its first NUL; the scanner refers to it,
// so the text must outlive the scanner.
class IgnScanner {
public:
    static constexpr size_t TOKEN_BUFFER = 260; // a token keeps at most TOKEN_BUFFER - 1 characters

    explicit IgnScanner(std::string_view text);

    // Copies characters up to a blank, tab or line feed into token (longer tokens are cut).
    // The separator is consumed. False at the end of the text: a token cut off by the end is not used.
    bool NextToken(std::string& token);

    // Skips everything that is neither "-" nor a digit, then converts "-"/digit and the digits that
    // follow like "%i" (a leading 0 selects base 8). No number at the end of the text or for a lone "-".
    std::optional<int32_t> NextNumber();

    size_t Position() const { return pos_; }

private:
    std::string_view text_;
    size_t pos_ = 0;
};
