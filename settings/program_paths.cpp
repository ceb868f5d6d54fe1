#include "settings/program_paths.h"

#include "base/sjis.h"

namespace kelvad {

std::string ChangeFileExt(const std::string& path, const std::string& ext) {
    std::string::size_type dot = std::string::npos;
    for (std::string::size_type i = 0; i < path.size(); ++i) {
        const char c = path[i];
        if (IsLeadByte(static_cast<unsigned char>(c))) {
            ++i;
        } else if (c == '.') {
            dot = i;
        } else if (c == '\\' || c == ':') {
            dot = std::string::npos;
        }
    }
    return (dot == std::string::npos ? path : path.substr(0, dot)) + ext;
}

} // namespace kelvad
