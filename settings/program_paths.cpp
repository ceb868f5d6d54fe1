#include "settings/program_paths.h"

namespace kelvad {

std::wstring ChangeFileExt(const std::wstring& path, const std::wstring& ext) {
    const std::size_t dot = path.rfind(L'.');
    const std::size_t separator = path.find_last_of(L"\\:");
    const bool hasExtension = dot != std::wstring::npos && (separator == std::wstring::npos || dot > separator);
    return (hasExtension ? path.substr(0, dot) : path) + ext;
}

} // namespace kelvad
