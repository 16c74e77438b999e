#include "mapedit/FormatAxisValue.h"

#include "base/MathErrors.h"

#include <cmath>
#include <cstdio>

int ScaleDecimals(double scale)
{
    if (scale >= 1 || scale <= 0)
        return 0;
    return static_cast<int>(std::trunc(-(CheckedLog10(scale) - 0.99)));
}

std::string FormatAxisValue(int32_t raw, double scale, const char* unit, bool withUnit)
{
    const int decimals = ScaleDecimals(scale);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, raw * scale);
    std::string text = buffer;
    if (text == "-0" || (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos))
        text.erase(0, 1);
    std::string::size_type point = text.find('.');
    if (point != std::string::npos) {
        while (text.back() == '0')
            text.pop_back();
        if (text.back() == '.')
            text.pop_back();
    }
    const std::string::size_type digitsBegin = text[0] == '-' ? 1 : 0;
    std::string::size_type integerEnd = text.find('.');
    if (integerEnd == std::string::npos)
        integerEnd = text.size();
    for (auto pos = integerEnd; pos > digitsBegin + 3; pos -= 3)
        text.insert(text.begin() + static_cast<std::ptrdiff_t>(pos - 3), ' ');
    if (withUnit && unit && *unit) {
        text += ' ';
        text += unit;
    }
    return text;
}
