#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace kelvad {

// An integer as stored in the settings file: "0x"/"0X" followed by hexadecimal digits when the text is longer
// than two characters; otherwise, in full, optional blanks, an optional sign and decimal digits, or "$" and
// hexadecimal digits. Anything else, and a value that does not fit in 32 bits, gives defaultValue.
std::int32_t ParseProfileInteger(std::string_view text, std::int32_t defaultValue);

// A boolean is an integer whose default is 1 or 0; any value but 0 is true.
bool ParseProfileBoolean(std::string_view text, bool defaultValue);

// The text to write for value so that the profile reader, which drops surrounding blanks and one pair of
// enclosing quotes, gives value back unchanged: such a value is wrapped in one extra pair of double quotes.
std::string QuoteProfileValue(const std::string& value);

} // namespace kelvad
