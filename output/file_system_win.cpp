#include "output/file_system_win.h"

#include <windows.h>

#include "ui/error.h"
#include "ui/handle.h"

namespace kelvad {

namespace {

// The error of the last failing call on a file: its name and the system's reason, whatever the error code.
[[noreturn]] void ThrowFileError(const std::wstring& path) {
    throw FileError(path + L": " + ui::SystemErrorWideText(GetLastError()));
}

class WinFileSource : public ByteSource {
public:
    WinFileSource(ui::FileHandle file, std::wstring path) : file_(std::move(file)), path_(std::move(path)) {}

    std::size_t Read(char* buffer, std::size_t size) override {
        DWORD read = 0;
        if (!ReadFile(file_.get(), buffer, static_cast<DWORD>(size), &read, nullptr)) {
            ThrowFileError(path_);
        }
        return read;
    }

private:
    ui::FileHandle file_;
    std::wstring path_;
};

} // namespace

unsigned WinFileSystem::SetErrorMode(unsigned mode) {
    return ::SetErrorMode(mode);
}

bool WinFileSystem::QueryFreeSpace(const std::wstring& rootPath) {
    ULARGE_INTEGER available{}, total{}, free{};
    return GetDiskFreeSpaceExW(rootPath.c_str(), &available, &total, &free) != 0;
}

unsigned WinFileSystem::DriveType(const std::wstring& rootPath) {
    return GetDriveTypeW(rootPath.c_str());
}

std::optional<std::uint64_t> WinFileSystem::FindFirst(const std::wstring& pattern) {
    WIN32_FIND_DATAW found{};
    // The search finds entries of every attribute: hidden, system and directories included.
    const ui::FindHandle search(FindFirstFileW(pattern.c_str(), &found));
    if (!search) {
        return std::nullopt;
    }
    return (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
}

std::optional<FileStamp> WinFileSystem::Stamp(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return std::nullopt;
    return FileStamp{
        .size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
        .writeTime = (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                     data.ftLastWriteTime.dwLowDateTime,
    };
}

std::unique_ptr<ByteSource> WinFileSystem::OpenRead(const std::wstring& path) {
    ui::FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        ThrowFileError(path);
    }
    return std::make_unique<WinFileSource>(std::move(file), path);
}

bool WinFileSystem::RemoveFile(const std::wstring& path) {
    return DeleteFileW(path.c_str()) != 0;
}

namespace {

// A system cursor by its id (the IDC_ names are spelt as narrow resource ids).
HCURSOR SystemCursor(LPCSTR id) {
    return LoadCursorW(nullptr, MAKEINTRESOURCEW(LOWORD(reinterpret_cast<ULONG_PTR>(id))));
}

} // namespace

void WinFileSystem::ShowHourglass() {
    SetCursor(SystemCursor(IDC_WAIT));
}

void WinFileSystem::ShowArrow() {
    SetCursor(SystemCursor(IDC_ARROW));
}

} // namespace kelvad
