#include "output/output_checks.h"

#include <optional>

#include "base/message_flags.h"

namespace kelvad {

namespace {

const wchar_t* const kLongPrefix = L"\\\\?\\";
const wchar_t* const kLongUncPrefix = L"\\\\?\\UNC\\";

wchar_t UpperAscii(wchar_t c) {
    return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
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

bool IsSharePath(const std::wstring& path) {
    return path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\';
}

} // namespace

bool IsDriveReady(char drive, FileSystem& fs) {
    return IsRootReady(std::wstring(1, UpperAscii(static_cast<unsigned char>(drive))) + L":\\", fs);
}

bool IsRootReady(const std::wstring& root, FileSystem& fs) {
    CriticalErrorsSilenced silenced(fs);
    if (!fs.QueryFreeSpace(root)) {
        return false;
    }
    if (fs.DriveType(root) == FileSystem::kDriveRemote) {
        return fs.FindFirst(root + L"*.*").has_value();
    }
    return true;
}

std::wstring DriveRootOf(const std::wstring& path) {
    if (IsSharePath(path)) {
        // \\server\share\ (\\?\UNC\server\share\ in the long form): up to the backslash that ends the share
        // name; a path that ends before it is taken whole.
        const int parts = path.rfind(kLongUncPrefix, 0) == 0 ? 4 : 2;
        std::size_t end = 1;
        for (int i = 0; i < parts && end != std::wstring::npos; ++i) {
            end = path.find(L'\\', end + 1);
        }
        return end == std::wstring::npos ? path + L"\\" : path.substr(0, end + 1);
    }
    return path.empty() ? std::wstring() : std::wstring(1, UpperAscii(path[0])) + L":\\";
}

FileCheck CheckOutputFile(const std::wstring& path, FileSystem& fs, MessageSink& messages) {
    const std::wstring root = DriveRootOf(path);
    // An empty path has no drive at all.
    if (path.empty() || !IsRootReady(root, fs)) {
        // A drive is named by its letter, a share by its root.
        const std::wstring drive = IsSharePath(path) ? root : root.substr(0, 1);
        messages.ShowWideMessageBox(NamedText(drive, std::string(" ドライブの準備ができていません") + kLineBreakStop),
                                    path, kStopIcon);
        return {FileOutcome::Skipped};
    }
    // The directory search matches patterns, but no file is named by one ("\\?\" starts a long path).
    const std::size_t nameStart = path.rfind(kLongPrefix, 0) == 0 ? 4 : 0;
    const bool pattern = path.find_first_of(L"*?", nameStart) != std::wstring::npos;
    const std::optional<std::uint64_t> size = pattern ? std::nullopt : fs.FindFirst(path);
    if (!size) {
        messages.ShowWideMessageBox(NamedText(path, " が見つかりません"), path, kStopIcon);
        return {FileOutcome::NotFound};
    }
    if (*size == 0) {
        messages.ShowWideMessageBox(NamedText(path, std::string(" はサイズが０です") + kLineBreakStop), path,
                                    kStopIcon);
        return {FileOutcome::Skipped};
    }
    return {FileOutcome::Output, *size};
}

FileOutcome ReportUnreadable(const std::wstring& path, const std::wstring& errorText, MessageSink& messages) {
    messages.ShowWideMessageBox(NamedText(errorText, kLineBreakStop), path, kStopIcon);
    return FileOutcome::Unreadable;
}

} // namespace kelvad
