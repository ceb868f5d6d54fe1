#pragma once
// The value rules of the spin edit, in plain C++ so that they are tested on Linux as well.
#include <string_view>

#include "base/parse_int.h"

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
    return kelvad::ParseInt32(text).value_or(fallback);
}

} // namespace ui
