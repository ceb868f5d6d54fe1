#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace kelvad {

// True for the first byte of a double-byte Shift-JIS character (code page 932).
bool IsLeadByte(unsigned char c);

// The text with ASCII capitals made small; a double-byte character (whose trail byte may be a capital, as 'R' in
// "コ") stays as it stands.
std::string FoldAsciiCase(std::string_view text);

// The longest prefix of text that fits in maxBytes without splitting a double-byte character.
std::string CutAtCharBoundary(const std::string& text, std::size_t maxBytes);

// The positions of the single-byte character c in text, stepping over double-byte characters (whose trail
// byte may equal c, as '\\' in "表"). Both answer std::string::npos when there is none.
std::size_t FindSingleByte(const std::string& text, char c, std::size_t from = 0);
std::size_t FindLastSingleByte(const std::string& text, char c);

} // namespace kelvad
