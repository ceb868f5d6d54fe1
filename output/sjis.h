#pragma once
#include <cstddef>
#include <string>

namespace kelvad {

// True for the first byte of a double-byte Shift-JIS character (code page 932).
bool IsLeadByte(unsigned char c);

// The longest prefix of text that fits in maxBytes without splitting a double-byte character.
std::string CutAtCharBoundary(const std::string& text, std::size_t maxBytes);

} // namespace kelvad
