#pragma once
// The value rules of the spin edit, in plain C++ so that they are tested on Linux as well.
#include <cstddef>
#include <string_view>

namespace ui {

// The value kept within the bounds; equal bounds mean no bounds at all.
constexpr int ClampSpinValue(int value, int minValue, int maxValue) {
    if (minValue == maxValue)
        return value;
    if (value < minValue)
        return minValue;
    if (value > maxValue)
        return maxValue;
    return value;
}

// The integer a spin edit's text holds (blanks before it allowed, an optional sign), or fallback when the text
// is not an integer or does not fit.
constexpr int SpinTextValue(std::string_view text, int fallback) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    if (i == text.size())
        return fallback;
    long long value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return fallback;
        value = value * 10 + (text[i] - '0');
        if (value > 2147483648LL)
            return fallback;
    }
    value = negative ? -value : value;
    if (value > 2147483647LL)
        return fallback;
    return static_cast<int>(value);
}

} // namespace ui
