#include "base/program_path_win.h"

#include <windows.h>

namespace kelvad {

std::wstring ProgramPath() {
    // A buffer that the path fills to the last character may have cut it: grow it and ask again.
    std::wstring path(MAX_PATH, L'\0');
    DWORD length = 0;
    while ((length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) == path.size())
        path.resize(path.size() * 2);
    path.resize(length);
    return path;
}

} // namespace kelvad
