#pragma once
#include <string>

namespace kelvad {

// path with its extension replaced by ext (which carries its own dot, e.g. ".HLP"). The extension starts at the
// last "." after the last "\" or ":"; a path without one gets ext appended.
std::wstring ChangeFileExt(const std::wstring& path, const std::wstring& ext);

// The settings file beside the program: the program's own path with the extension ".INI".
inline std::wstring SettingsFilePath(const std::wstring& programPath) {
    return ChangeFileExt(programPath, L".INI");
}

} // namespace kelvad
