#pragma once
#include "output/file_system.h"

namespace kelvad {

// The platform's file system and mouse cursor. Opening and reading errors are raised as FileError.
class WinFileSystem : public FileSystem {
public:
    unsigned SetErrorMode(unsigned mode) override;
    bool QueryFreeSpace(const std::wstring& rootPath) override;
    unsigned DriveType(const std::wstring& rootPath) override;
    std::optional<std::uint64_t> FindFirst(const std::wstring& pattern) override;
    std::optional<FileStamp> Stamp(const std::wstring& path) override;
    std::unique_ptr<ByteSource> OpenRead(const std::wstring& path) override;
    bool RemoveFile(const std::wstring& path) override;
    void ShowHourglass() override;
    void ShowArrow() override;
};

} // namespace kelvad
