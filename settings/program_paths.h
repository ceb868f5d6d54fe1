#pragma once
#include <string>

namespace kelvad {

// path with its extension replaced by ext (which carries its own dot, e.g. ".HLP"). The extension starts at the
// last "." after the last "\" or ":"; a path without one gets ext appended. Double-byte characters are
// stepped over whole, so their second byte is never taken for a separator.
std::string ChangeFileExt(const std::string& path, const std::string& ext);

// The settings file beside the program: the program's own path with the extension ".INI".
inline std::string SettingsFilePath(const std::string& programPath) {
    return ChangeFileExt(programPath, ".INI");
}

} // namespace kelvad
