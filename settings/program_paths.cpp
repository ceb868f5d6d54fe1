#include "settings/program_paths.h"

#include "base/file_name.h"

namespace kelvad {

std::wstring ChangeFileExt(const std::wstring& path, const std::wstring& ext) {
    return path.substr(0, path.size() - FileExtension(path).size()) + ext;
}

} // namespace kelvad
