#include "output/file_system_win.h"

#include <windows.h>

#include "output/io_error.h"
#include "ui/error.h"
#include "ui/handle.h"

namespace kelvad {

namespace {

class WinFileSource : public ByteSource {
public:
    explicit WinFileSource(ui::FileHandle file) : file_(std::move(file)) {}

    std::size_t Read(char* buffer, std::size_t size) override {
        DWORD read = 0;
        if (!ReadFile(file_.get(), buffer, static_cast<DWORD>(size), &read, nullptr)) {
            throw ui::Error(IoErrorText(GetLastError()));
        }
        return read;
    }

private:
    ui::FileHandle file_;
};

} // namespace

unsigned WinFileSystem::SetErrorMode(unsigned mode) {
    return ::SetErrorMode(mode);
}

bool WinFileSystem::QueryFreeSpace(const std::string& rootPath) {
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    return GetDiskFreeSpaceA(rootPath.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters) != 0;
}

unsigned WinFileSystem::DriveType(const std::string& rootPath) {
    return GetDriveTypeA(rootPath.c_str());
}

std::optional<std::uint64_t> WinFileSystem::FindFirst(const std::string& pattern) {
    WIN32_FIND_DATAA found{};
    // The search finds entries of every attribute: hidden, system and directories included.
    const ui::FindHandle search(FindFirstFileA(pattern.c_str(), &found));
    if (!search) {
        return std::nullopt;
    }
    return (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
}

std::unique_ptr<ByteSource> WinFileSystem::OpenRead(const std::string& path) {
    ui::FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        throw ui::Error(IoErrorText(GetLastError()));
    }
    return std::make_unique<WinFileSource>(std::move(file));
}

bool WinFileSystem::RemoveFile(const std::string& path) {
    return DeleteFileA(path.c_str()) != 0;
}

void WinFileSystem::ShowHourglass() {
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
}

void WinFileSystem::ShowArrow() {
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
}

} // namespace kelvad
