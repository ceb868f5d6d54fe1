#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "base/codepage.h"

namespace kelvad {

// What tells one version of a file from another: its size and its last-write time (the system's units).
struct FileStamp {
    std::uint64_t size = 0;
    std::uint64_t writeTime = 0;
    bool operator==(const FileStamp&) const = default;
};

// An error opening or reading a file. Its text names the file and gives the system's reason.
class FileError : public std::runtime_error {
public:
    explicit FileError(const std::wstring& text) : std::runtime_error(ToShiftJis(text).bytes), text_(text) {}
    const std::wstring& Text() const noexcept { return text_; }

private:
    std::wstring text_;
};

// A file opened for reading; it is closed when the object is destroyed.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads up to size bytes into buffer; 0 at the end of the file. Throws FileError on a read error.
    virtual std::size_t Read(char* buffer, std::size_t size) = 0;
};

// The file-system probes, file operations and cursor changes that the output steps make.
class FileSystem {
public:
    static constexpr unsigned kFailCriticalErrors = 1; // SEM_FAILCRITICALERRORS
    static constexpr unsigned kDriveRemote = 4;        // DRIVE_REMOTE

    virtual ~FileSystem() = default;
    // Sets the process error mode and returns the previous one.
    virtual unsigned SetErrorMode(unsigned mode) = 0;
    // Paths are UTF-16, as the system names files: a name is never narrowed on its way to the file system.
    // True when the free-space query on a root path such as "A:\" succeeds.
    virtual bool QueryFreeSpace(const std::wstring& rootPath) = 0;
    virtual unsigned DriveType(const std::wstring& rootPath) = 0;
    // Searches with all attributes; the size of the first entry found, nothing when none is found.
    virtual std::optional<std::uint64_t> FindFirst(const std::wstring& pattern) = 0;
    // The file's size and last-write time, asked without opening it; nothing when it cannot be had.
    virtual std::optional<FileStamp> Stamp(const std::wstring& path) = 0;
    // Opens for reading, sharing reading and writing; throws FileError when the file cannot be opened.
    virtual std::unique_ptr<ByteSource> OpenRead(const std::wstring& path) = 0;
    virtual bool RemoveFile(const std::wstring& path) = 0;
    virtual void ShowHourglass() = 0;
    virtual void ShowArrow() = 0;
};

} // namespace kelvad
