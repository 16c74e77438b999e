#include "files/IgnScanner.h"

#include <algorithm>
#include <limits>

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// "%i" conversion of an optional "-" and decimal digits: base 8 after a leading 0, stopping at the
// first digit the base does not have; the value saturates at the limits of a 32-bit integer.
std::optional<int32_t> convertLikePercentI(std::string_view s)
{
    bool negative = false;
    if (!s.empty() && s.front() == '-') {
        negative = true;
        s.remove_prefix(1);
    }
    if (s.empty())
        return std::nullopt;
    const int base = s.front() == '0' ? 8 : 10;
    int64_t value = 0;
    constexpr int64_t limit = int64_t { std::numeric_limits<int32_t>::max() } + 1;
    for (char c : s) {
        const int digit = c - '0';
        if (digit >= base)
            break;
        value = std::min(value * base + digit, limit);
    }
    if (negative)
        value = -value;
    return static_cast<int32_t>(
        std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

} // namespace

IgnScanner::IgnScanner(std::string_view text)
    : text_(text.substr(0, text.find('\0')))
{
}

bool IgnScanner::NextToken(std::string& token)
{
    token.clear();
    while (pos_ < text_.size()) {
        const char c = text_[pos_++];
        if (c == ' ' || c == '\t' || c == '\n')
            return true;
        if (token.size() < TOKEN_BUFFER - 1)
            token += c;
    }
    token.clear();
    return false;
}

std::optional<int32_t> IgnScanner::NextNumber()
{
    while (pos_ < text_.size() && text_[pos_] != '-' && !isDigit(text_[pos_]))
        ++pos_;
    if (pos_ >= text_.size())
        return std::nullopt;
    const size_t start = pos_++;
    while (pos_ < text_.size() && isDigit(text_[pos_]))
        ++pos_;
    return convertLikePercentI(text_.substr(start, pos_ - start));
}
