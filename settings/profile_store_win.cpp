#include "settings/profile_store_win.h"

#include <windows.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "base/codepage.h"
#include "ui/error.h"
#include "ui/handle.h"

namespace kelvad {

namespace {

bool WriteWhole(HANDLE file, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return FlushFileBuffers(file) != 0;
}

// Writes bytes to a new file beside path, then puts it in path's place.
bool ReplaceWith(const std::wstring& path, const std::string& bytes) {
    const std::size_t slash = path.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? L"." : path.substr(0, slash + 1);
    wchar_t temp[MAX_PATH + 1] = {};
    if (GetTempFileNameW(folder.c_str(), L"kel", 0, temp) == 0)
        return false;
    bool written = false;
    {
        const ui::FileHandle file(
            CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        written = file && WriteWhole(file.get(), bytes);
    }
    if (written && MoveFileExW(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(temp);
    return false;
}

// The file's text, empty when there is no file; nothing when it is there but cannot be read.
std::optional<ProfileText> Load(const std::wstring& path) {
    const ui::FileHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return ProfileText();
        return std::nullopt;
    }
    std::string bytes;
    std::vector<char> buffer(8192);
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr))
            return std::nullopt;
        if (read == 0)
            break;
        bytes.append(buffer.data(), read);
    }
    return ProfileText(bytes);
}

} // namespace

const std::optional<ProfileText>& WinProfileStore::Text() {
    if (!loaded_) {
        text_ = Load(ToWide(path_));
        loaded_ = true;
    }
    return text_;
}

ProfileText& WinProfileStore::TextForChange() {
    // A file that is there but cannot be read is not replaced by one that lacks its other settings.
    if (!Text())
        throw ui::Error(CannotWriteMessage(path_));
    changed_ = true;
    return *text_;
}

void WinProfileStore::Commit() {
    if (!changed_)
        return;
    if (!ReplaceWith(ToWide(path_), text_->Bytes()))
        throw ui::Error(CannotWriteMessage(path_));
    changed_ = false;
}

std::string WinProfileStore::Read(const std::string& section, const std::string& key, const std::string& defaultValue) {
    const std::optional<ProfileText>& text = Text();
    if (const std::optional<std::string> value = text ? text->Value(section, key) : std::nullopt)
        return *value;
    // The profile reader drops the default's trailing blanks too.
    const std::size_t end = defaultValue.find_last_not_of(" \t\r\n\v\f");
    return end == std::string::npos ? std::string() : defaultValue.substr(0, end + 1);
}

void WinProfileStore::Write(const std::string& section, const std::string& key, const std::string& value) {
    TextForChange().Set(section, key, value);
}

void WinProfileStore::EraseSection(const std::string& section) {
    if (Text() && Text()->HasSection(section))
        TextForChange().EraseSection(section);
}

} // namespace kelvad
