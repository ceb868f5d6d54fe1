#pragma once
#include "output/file_system.h"

namespace kelvad {

// The platform's file system and mouse cursor. Opening and reading errors are raised as ui::Error.
class WinFileSystem : public FileSystem {
public:
    unsigned SetErrorMode(unsigned mode) override;
    bool QueryFreeSpace(const std::string& rootPath) override;
    unsigned DriveType(const std::string& rootPath) override;
    std::optional<std::uint64_t> FindFirst(const std::string& pattern) override;
    std::unique_ptr<ByteSource> OpenRead(const std::string& path) override;
    bool RemoveFile(const std::string& path) override;
    void ShowHourglass() override;
    void ShowArrow() override;
};

} // namespace kelvad
