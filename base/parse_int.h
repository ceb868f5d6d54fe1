#pragma once
// The one decimal integer grammar of the settings file and the spin edit.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace kelvad {

// Spaces before it allowed, an optional sign, then decimal digits only (at least one), within 32 signed bits.
constexpr std::optional<std::int32_t> ParseInt32(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    if (i == text.size())
        return std::nullopt;
    // The magnitude stays within 2^31 (INT32_MIN's), so that no step of the sum overflows.
    const std::int64_t limit = negative ? std::int64_t{1} << 31 : (std::int64_t{1} << 31) - 1;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        value = value * 10 + (text[i] - '0');
        if (value > limit)
            return std::nullopt;
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

} // namespace kelvad
