#include "settings/profile_store_win.h"

#include <windows.h>

#include <vector>

#include "ui/error.h"

namespace kelvad {

std::string WinProfileStore::Read(const std::string& section, const std::string& key, const std::string& defaultValue) {
    // A value that fills the buffer may have been cut: read again with a larger one until it fits.
    std::vector<char> buffer(1024);
    for (;;) {
        DWORD size = static_cast<DWORD>(buffer.size());
        DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(), buffer.data(), size,
                                                path_.c_str());
        if (length < size - 1)
            return std::string(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

bool WinProfileStore::HasSection(const std::string& section) const {
    std::vector<char> buffer(4096);
    DWORD length = 0;
    for (;;) {
        DWORD size = static_cast<DWORD>(buffer.size());
        length = GetPrivateProfileSectionNamesA(buffer.data(), size, path_.c_str());
        if (length < size - 2)
            break;
        buffer.resize(buffer.size() * 2);
    }
    // The names follow each other, each ending in a NUL.
    for (const char* name = buffer.data(); name < buffer.data() + length && *name; name += lstrlenA(name) + 1) {
        if (lstrcmpiA(name, section.c_str()) == 0)
            return true;
    }
    return false;
}

void WinProfileStore::Write(const std::string& section, const std::string& key, const std::string& value) {
    if (!WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path_.c_str()))
        throw ui::Error(CannotWriteMessage(path_));
}

void WinProfileStore::EraseSection(const std::string& section) {
    // Some profile implementations refuse to erase a section that is not there; there is nothing to do then.
    if (!HasSection(section))
        return;
    if (!WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, path_.c_str()))
        throw ui::Error(CannotWriteMessage(path_));
}

} // namespace kelvad
