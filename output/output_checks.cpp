#include "output/output_checks.h"

#include <optional>

#include "base/message_flags.h"
#include "base/sjis.h"

namespace kelvad {

namespace {

const char* const kLongPrefix = "\\\\?\\";
const char* const kLongUncPrefix = "\\\\?\\UNC\\";

char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Restores the process error mode when the drive probe is over, however it ends.
class CriticalErrorsSilenced {
public:
    explicit CriticalErrorsSilenced(FileSystem& fs)
        : fs_(fs), previous_(fs.SetErrorMode(FileSystem::kFailCriticalErrors)) {}
    ~CriticalErrorsSilenced() { fs_.SetErrorMode(previous_); }
    CriticalErrorsSilenced(const CriticalErrorsSilenced&) = delete;
    CriticalErrorsSilenced& operator=(const CriticalErrorsSilenced&) = delete;

private:
    FileSystem& fs_;
    unsigned previous_;
};

bool IsSharePath(const std::string& path) {
    return path.size() >= 2 && path[0] == '\\' && path[1] == '\\';
}

} // namespace

bool IsDriveReady(char drive, FileSystem& fs) {
    return IsRootReady(std::string(1, UpperAscii(drive)) + ":\\", fs);
}

bool IsRootReady(const std::string& root, FileSystem& fs) {
    CriticalErrorsSilenced silenced(fs);
    if (!fs.QueryFreeSpace(root)) {
        return false;
    }
    if (fs.DriveType(root) == FileSystem::kDriveRemote) {
        return fs.FindFirst(root + "*.*").has_value();
    }
    return true;
}

std::string DriveRootOf(const std::string& path) {
    if (IsSharePath(path)) {
        // \\server\share\ (\\?\UNC\server\share\ in the long form): up to the backslash that ends the share
        // name; a path that ends before it is taken whole.
        const int parts = path.rfind(kLongUncPrefix, 0) == 0 ? 4 : 2;
        std::size_t end = 1;
        for (int i = 0; i < parts && end != std::string::npos; ++i) {
            end = FindSingleByte(path, '\\', end + 1);
        }
        return end == std::string::npos ? path + "\\" : path.substr(0, end + 1);
    }
    return path.empty() ? std::string() : std::string(1, UpperAscii(path[0])) + ":\\";
}

FileCheck CheckOutputFile(const std::string& path, FileSystem& fs, MessageSink& messages) {
    const std::string root = DriveRootOf(path);
    // An empty path has no drive at all.
    if (path.empty() || !IsRootReady(root, fs)) {
        // A drive is named by its letter, a share by its root.
        const std::string drive = IsSharePath(path) ? root : root.substr(0, 1);
        messages.ShowMessageBox(drive + " ドライブの準備ができていません" + kLineBreakStop, path, kStopIcon);
        return {FileOutcome::Skipped};
    }
    // The directory search matches patterns, but no file is named by one ("\\?\" starts a long path).
    const std::size_t nameStart = path.rfind(kLongPrefix, 0) == 0 ? 4 : 0;
    const bool pattern = path.find_first_of("*?", nameStart) != std::string::npos;
    const std::optional<std::uint64_t> size = pattern ? std::nullopt : fs.FindFirst(path);
    if (!size) {
        messages.ShowMessageBox(path + " が見つかりません", path, kStopIcon);
        return {FileOutcome::NotFound};
    }
    if (*size == 0) {
        messages.ShowMessageBox(path + " はサイズが０です" + kLineBreakStop, path, kStopIcon);
        return {FileOutcome::Skipped};
    }
    return {FileOutcome::Output, *size};
}

} // namespace kelvad
