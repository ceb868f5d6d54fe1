#pragma once
#include <string_view>

namespace kelvad {

// The extension of a path with its dot: from the last "." that follows every "\" and ":" to the end; empty
// without one. A name is UTF-16, so no byte of a double-byte character can pass for a dot or a separator.
std::wstring_view FileExtension(std::wstring_view path);

} // namespace kelvad
