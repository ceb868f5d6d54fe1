#include "settings/profile_file_win.h"

#include <windows.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "settings/settings_file.h"
#include "ui/error.h"
#include "ui/handle.h"

namespace kelvad {

namespace {

// A file held by another program (a backup, a scanner, a sync tool) is read again a few times over about a second,
// so that a moment's lock is no fault.
constexpr int kReadAttempts = 5;
constexpr DWORD kReadPause = 250;

// The attributes a saved file takes over from the one it replaces.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

bool WriteWhole(HANDLE file, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}

// Writes bytes over the file itself (open, write, set its end): for a folder that takes no new file.
bool WriteInPlace(const std::wstring& path, const std::string& bytes) {
    const ui::FileHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && WriteWhole(file.get(), bytes) && SetEndOfFile(file.get()) && FlushFileBuffers(file.get());
}

// Puts bytes in path's place through a new file beside it, named after it ("Kelvad32.INI.tmp") so that one left by
// a save cut short is known as ours and removed by the next, which then replaces the old file with the old file's
// attributes. Where no new file can be made beside it, the old file is written in place. A read-only file is not
// written.
bool SaveFile(const std::wstring& path, const std::string& bytes) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return false;
    const DWORD kept = exists ? attributes & kKeptAttributes : 0;
    const std::wstring temp = path + L".tmp";
    SetFileAttributesW(temp.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(temp.c_str());
    bool written = false;
    {
        const ui::FileHandle file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                              kept ? kept : FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            return exists && WriteInPlace(path, bytes);
        written = WriteWhole(file.get(), bytes) && FlushFileBuffers(file.get());
    }
    if (written && MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(temp.c_str());
    return false;
}

enum class ReadOutcome { Read, Missing, Refused };

ReadOutcome ReadBytes(const std::wstring& path, std::string& bytes) {
    const ui::FileHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ReadOutcome::Missing
                                                                              : ReadOutcome::Refused;
    }
    std::vector<char> buffer(8192);
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr))
            return ReadOutcome::Refused;
        if (read == 0)
            return ReadOutcome::Read;
        bytes.append(buffer.data(), read);
    }
}

} // namespace

std::optional<ProfileFile> ReadProfileFile(const std::wstring& path) {
    for (int attempt = 1;; ++attempt) {
        std::string bytes;
        const ReadOutcome outcome = ReadBytes(path, bytes);
        if (outcome != ReadOutcome::Refused)
            return ProfileFile::FromBytes(bytes);
        if (attempt == kReadAttempts)
            return std::nullopt;
        Sleep(kReadPause);
    }
}

void WriteProfileFile(const std::wstring& path, const ProfileFile& file) {
    if (!SaveFile(path, file.Bytes()))
        throw ui::Error(CannotWriteMessage(path));
}

} // namespace kelvad
