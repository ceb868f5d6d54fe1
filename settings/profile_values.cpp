#include "settings/profile_values.h"

#include <optional>

#include "base/parse_int.h"

namespace kelvad {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Hexadecimal digits, at least one, up to 32 bits; a value above 7FFFFFFF wraps to a negative number.
bool ParseHex(std::string_view digits, std::int32_t& result) {
    if (digits.empty())
        return false;
    std::uint64_t value = 0;
    for (char c : digits) {
        int digit = HexDigit(c);
        if (digit < 0)
            return false;
        value = value * 16 + static_cast<unsigned>(digit);
        if (value > 0xFFFFFFFFu)
            return false;
    }
    result = static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    return true;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

} // namespace

std::int32_t ParseProfileInteger(std::string_view text, std::int32_t defaultValue) {
    std::int32_t result = 0;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        return ParseHex(text.substr(2), result) ? result : defaultValue;
    if (!text.empty() && text[0] == '$')
        return ParseHex(text.substr(1), result) ? result : defaultValue;
    return ParseInt32(text).value_or(defaultValue);
}

bool ParseProfileBoolean(std::string_view text, bool defaultValue) {
    return ParseProfileInteger(text, defaultValue ? 1 : 0) != 0;
}

std::string QuoteProfileValue(const std::string& value) {
    if (value.empty())
        return value;
    const char first = value.front();
    const bool blankAtEnd = IsBlank(first) || IsBlank(value.back());
    const bool quoted = value.size() >= 2 && (first == '"' || first == '\'') && value.back() == first;
    return blankAtEnd || quoted ? '"' + value + '"' : value;
}

} // namespace kelvad
