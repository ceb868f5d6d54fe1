#include "base/file_name.h"

namespace kelvad {

std::wstring_view FileExtension(std::wstring_view path) {
    const std::size_t dot = path.rfind(L'.');
    const std::size_t separator = path.find_last_of(L"\\:");
    if (dot == std::wstring_view::npos || (separator != std::wstring_view::npos && dot < separator))
        return {};
    return path.substr(dot);
}

} // namespace kelvad
